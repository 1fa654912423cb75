// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"

#include "palmfile/codepage.h"

#include <algorithm>
#include <cstdio>

namespace palmfile {

namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;
constexpr std::uint16_t kUnicodeMarker = 0xFFFE;

} // namespace

std::string ArchiveError::message(std::string_view fileName) const
{
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%zx", offset);
    std::string out(fileName);
    out += ": ";
    if (!context.empty())
        out += context + ": ";
    out += what;
    out += " at offset ";
    out += hex;
    return out;
}

void ArchiveReader::fail(std::string what, std::size_t offset)
{
    if (!ok())
        return;
    m_error.offset = offset;
    m_error.what = std::move(what);
    if (m_contextLabel) {
        m_error.context = m_contextLabel;
        if (m_contextIndex >= 0)
            m_error.context += ' ' + std::to_string(m_contextIndex);
    }
}

void ArchiveReader::seek(std::size_t offset)
{
    m_offset = std::min(offset, m_bytes.size());
    m_error = {};
}

void ArchiveReader::failAgain(const char* what, std::size_t start)
{
    m_error = {};
    m_offset = start;
    fail(what, start);
}

bool ArchiveReader::need(std::size_t count, const char* what)
{
    if (!ok())
        return false;
    if (count > remaining()) {
        fail(std::string(what) + " runs past end of file");
        return false;
    }
    return true;
}

std::uint8_t ArchiveReader::u8()
{
    if (!need(1, "value"))
        return 0;
    return m_bytes[m_offset++];
}

std::uint16_t ArchiveReader::u16()
{
    if (!need(2, "value"))
        return 0;
    const std::uint16_t v = m_bytes[m_offset] | (m_bytes[m_offset + 1] << 8);
    m_offset += 2;
    return v;
}

std::uint32_t ArchiveReader::u32()
{
    if (!need(4, "value"))
        return 0;
    const auto* p = m_bytes.data() + m_offset;
    const std::uint32_t v = std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                            (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
    m_offset += 4;
    return v;
}

std::span<const std::uint8_t> ArchiveReader::bytes(std::size_t count)
{
    if (!need(count, "data"))
        return {};
    const auto out = m_bytes.subspan(m_offset, count);
    m_offset += count;
    return out;
}

std::string ArchiveReader::text()
{
    if (!ok())
        return {};
    const std::size_t start = m_offset;
    auto readLength = [this]() -> std::uint64_t {
        const std::uint8_t b = u8();
        if (b < 0xFF)
            return b;
        const std::uint16_t w = u16();
        if (w < 0xFFFF)
            return w;
        return u32();
    };
    bool utf16 = false;
    std::uint64_t length = u8();
    if (length == 0xFF) {
        const std::uint16_t w = u16();
        if (w == kUnicodeMarker) {
            utf16 = true;
            length = readLength();
        } else {
            length = w < 0xFFFF ? w : u32();
        }
    }
    const std::uint64_t byteCount = utf16 ? 2 * length : length;
    if (!ok() || byteCount > remaining()) {
        failAgain("string runs past end of file", start);
        return {};
    }
    const auto data = m_bytes.subspan(m_offset, byteCount);
    m_offset += byteCount;
    if (utf16)
        return utf16leToUtf8(data);
    return cp1252ToUtf8({reinterpret_cast<const char*>(data.data()), data.size()});
}

std::uint32_t ArchiveReader::count()
{
    const std::uint16_t small = u16();
    return small == 0xFFFF ? u32() : small;
}

ObjectTag ArchiveReader::objectTag()
{
    if (!ok())
        return {};
    const std::size_t start = m_offset;
    const std::uint16_t tag = u16();
    if (!ok()) {
        failAgain("object tag runs past end of file", start);
        return {};
    }
    if (tag == kNullTag)
        return {};

    ObjectTag out;
    if (tag == kNewClassTag) {
        u16(); // class schema: the data carries its own version
        const std::uint16_t nameLength = u16();
        const auto name = bytes(nameLength);
        if (!ok()) {
            failAgain("class definition runs past end of file", start);
            return {};
        }
        out.classIndex = static_cast<std::uint32_t>(m_table.size());
        out.newClass = true;
        m_table.push_back(kClassEntry | static_cast<std::uint32_t>(m_classes.size()));
        m_classes.push_back({out.classIndex, std::string(name.begin(), name.end())});
    } else {
        std::uint32_t big = 0;
        if (tag == kBigObjectTag)
            big = u32();
        else
            big = (std::uint32_t(tag & kClassTag) << 16) | (tag & ~kClassTag);
        if (!ok()) {
            failAgain("object tag runs past end of file", start);
            return {};
        }
        const std::uint32_t index = big & ~kBigClassTag;
        if (big == 0)
            return {};
        if (!(big & kBigClassTag)) {
            if (index >= m_table.size() || (m_table[index] & kClassEntry)) {
                fail("object reference " + std::to_string(index) + " to no object read before",
                     start);
                return {};
            }
            out.kind = ObjectTag::Kind::Reference;
            out.objectIndex = index;
            out.classIndex = m_table[index];
            return out;
        }
        if (index >= m_table.size() || !(m_table[index] & kClassEntry)) {
            fail("unknown class index " + std::to_string(index), start);
            return {};
        }
        out.classIndex = index;
    }
    out.kind = ObjectTag::Kind::NewObject;
    out.objectIndex = static_cast<std::uint32_t>(m_table.size());
    m_table.push_back(out.classIndex);
    return out;
}

std::string_view ArchiveReader::className(std::uint32_t classIndex) const
{
    if (classIndex >= m_table.size() || !(m_table[classIndex] & kClassEntry))
        return {};
    return m_classes[m_table[classIndex] & ~kClassEntry].name;
}

void ArchiveWriter::u16(std::uint16_t value)
{
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void ArchiveWriter::u32(std::uint32_t value)
{
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void ArchiveWriter::bytes(std::span<const std::uint8_t> data)
{
    m_bytes.insert(m_bytes.end(), data.begin(), data.end());
}

void ArchiveWriter::text(std::string_view utf8)
{
    const std::string encoded = utf8ToCp1252(utf8);
    const std::size_t n = encoded.size();
    if (n < 0xFF) {
        u8(static_cast<std::uint8_t>(n));
    } else {
        u8(0xFF);
        if (n < kUnicodeMarker) {
            u16(static_cast<std::uint16_t>(n));
        } else {
            u16(0xFFFF);
            u32(static_cast<std::uint32_t>(n));
        }
    }
    m_bytes.insert(m_bytes.end(), encoded.begin(), encoded.end());
}

void ArchiveWriter::count(std::uint32_t value)
{
    if (value < 0xFFFF) {
        u16(static_cast<std::uint16_t>(value));
    } else {
        u16(0xFFFF);
        u32(value);
    }
}

std::uint32_t ArchiveWriter::newObjectTag(std::string_view className, std::uint16_t schema)
{
    auto known = std::find_if(m_classes.begin(), m_classes.end(),
                              [&](const auto& c) { return c.first == className; });
    if (known != m_classes.end()) {
        classReference(known->second);
    } else {
        u16(kNewClassTag);
        u16(schema);
        u16(static_cast<std::uint16_t>(className.size()));
        m_bytes.insert(m_bytes.end(), className.begin(), className.end());
        m_classes.emplace_back(std::string(className), m_nextIndex++);
    }
    return m_nextIndex++;
}

void ArchiveWriter::classReference(std::uint32_t classIndex)
{
    if (classIndex < kBigObjectTag) {
        u16(static_cast<std::uint16_t>(kClassTag | classIndex));
    } else {
        u16(kBigObjectTag);
        u32(kBigClassTag | classIndex);
    }
}

void ArchiveWriter::objectReference(std::uint32_t objectIndex)
{
    if (objectIndex < kBigObjectTag) {
        u16(static_cast<std::uint16_t>(objectIndex));
    } else {
        u16(kBigObjectTag);
        u32(objectIndex);
    }
}

} // namespace palmfile
