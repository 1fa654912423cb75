// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Palm Desktop's files are Microsoft MFC CArchive streams: little-endian numbers without
// padding, length-prefixed strings, and polymorphic objects introduced by 16-bit tags that
// number classes and objects with one counter for the whole file.

namespace palmfile {

// The first thing that went wrong while reading, and where.
struct ArchiveError
{
    std::size_t offset = 0;
    std::string what;    // "string runs past end of file"
    std::string context; // "record 12"; empty outside any record

    // "datebook.dat: record 12: string runs past end of file at offset 0x1a3"
    std::string message(std::string_view fileName) const;
};

// An object tag as read.
struct ObjectTag
{
    enum class Kind
    {
        Null,      // a null pointer: nothing follows
        NewObject, // the object's data follows
        Reference, // an object read earlier: nothing follows
    };
    Kind kind = Kind::Null;
    std::uint32_t classIndex = 0;  // the object's class in the file's class table
    std::uint32_t objectIndex = 0; // the new object's index, or the one referred to
    bool newClass = false;         // this tag defined the class
};

// Reads a byte stream front to back with strict bounds. The first failure is kept; every read
// after it returns zero or empty and leaves the position alone, so a parser may check ok() at
// its own pace. Nothing is allocated beyond what the remaining bytes can justify.
class ArchiveReader
{
public:
    explicit ArchiveReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    bool ok() const { return m_error.what.empty(); }
    const ArchiveError& error() const { return m_error; }
    // Records a failure found by the caller; an earlier failure wins.
    void fail(std::string what, std::size_t offset);
    void fail(std::string what) { fail(std::move(what), m_offset); }
    // What failures are attributed to, e.g. ("record", 12); a null label clears it. The label
    // must outlive the reader (a string literal).
    void setContext(const char* label, std::int64_t index = -1)
    {
        m_contextLabel = label;
        m_contextIndex = index;
    }

    std::size_t offset() const { return m_offset; }
    std::size_t size() const { return m_bytes.size(); }
    std::size_t remaining() const { return m_bytes.size() - m_offset; }
    bool atEnd() const { return m_offset == m_bytes.size(); }
    // Moves to `offset` (at most size()) and forgets an earlier failure; the class table stays.
    void seek(std::size_t offset);

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::span<const std::uint8_t> bytes(std::size_t count);

    // A length-prefixed string, decoded to UTF-8 (Windows-1252 bytes, or UTF-16 after the
    // 0xFFFE marker).
    std::string text();
    // An element count: a short, or 0xFFFF and a long.
    std::uint32_t count();
    // An object tag, checked against the class table and registered in it.
    ObjectTag objectTag();
    // Name of a class read before (empty for an unknown index).
    std::string_view className(std::uint32_t classIndex) const;

private:
    bool need(std::size_t count, const char* what);
    // Replaces the failure of a partial read by one that names the whole item at its start.
    void failAgain(const char* what, std::size_t start);

    struct Class
    {
        std::uint32_t index;
        std::string name;
    };
    // Index 0 is the null object; a class entry holds kClassEntry | position in m_classes, an
    // object entry holds its class index.
    static constexpr std::uint32_t kClassEntry = 0x80000000u;

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_offset = 0;
    ArchiveError m_error;
    const char* m_contextLabel = nullptr;
    std::int64_t m_contextIndex = -1;
    std::vector<std::uint32_t> m_table{0};
    std::vector<Class> m_classes;
};

// Writes the same stream as ArchiveReader reads.
class ArchiveWriter
{
public:
    void u8(std::uint8_t value) { m_bytes.push_back(value); }
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
    void bytes(std::span<const std::uint8_t> data);

    // UTF-8 text written as Windows-1252 with the shortest length prefix.
    void text(std::string_view utf8);
    void count(std::uint32_t value);
    void nullTag() { u16(0); }
    // The tag of a new object of `className`: the class definition on first use, a reference
    // to it afterwards. Returns the object's index.
    std::uint32_t newObjectTag(std::string_view className, std::uint16_t schema = 1);
    // A back-reference to an object written before.
    void objectReference(std::uint32_t objectIndex);

    const std::vector<std::uint8_t>& data() const { return m_bytes; }
    std::vector<std::uint8_t> take() { return std::move(m_bytes); }

private:
    void classReference(std::uint32_t classIndex);

    std::vector<std::uint8_t> m_bytes;
    std::vector<std::pair<std::string, std::uint32_t>> m_classes;
    std::uint32_t m_nextIndex = 1;
};

} // namespace palmfile
