// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/writer.h"

#include "palmfile/archive.h"
#include "palmfile/layout.h"
#include "palmfile/paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <random>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace palmfile {

using namespace layout;

namespace {

std::int32_t clampTime(TimeValue t)
{
    return static_cast<std::int32_t>(std::clamp<TimeValue>(
        t, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

class FieldWriter
{
public:
    explicit FieldWriter(ArchiveWriter& out) : m_out(out) {}

    void integer(std::int32_t value)
    {
        m_out.u32(TypeInteger);
        m_out.i32(value);
    }
    void date(TimeValue value)
    {
        m_out.u32(TypeDate);
        m_out.i32(clampTime(value));
    }
    void text(const std::string& value)
    {
        m_out.u32(TypeString);
        m_out.u32(0);
        m_out.text(value);
    }
    void boolean(bool value)
    {
        m_out.u32(TypeBoolean);
        m_out.u32(value ? 1 : 0);
    }
    void repeat(const DatebookRecord& record)
    {
        m_out.u32(TypeRepeat);
        m_out.count(static_cast<std::uint32_t>(record.exceptions.size()));
        for (const TimeValue t : record.exceptions)
            m_out.i32(clampTime(t));
        if (!record.repeat) {
            m_out.nullTag();
            return;
        }
        const Repeat& r = *record.repeat;
        m_out.newObjectTag(repeatClassName(r.kind));
        m_out.i32(static_cast<std::int32_t>(r.kind));
        m_out.i32(r.interval);
        m_out.i32(clampTime(r.end));
        m_out.i32(r.firstDayOfWeek);
        switch (r.kind) {
        case RepeatKind::Daily:
            m_out.i32(r.dayIndex);
            break;
        case RepeatKind::Weekly:
            m_out.i32(r.dayIndex);
            m_out.u8(r.daysMask);
            break;
        case RepeatKind::MonthlyByDay:
            m_out.i32(r.dayIndex);
            m_out.i32(r.weekIndex);
            break;
        case RepeatKind::MonthlyByDate:
            m_out.i32(r.dayNumber);
            break;
        case RepeatKind::Yearly:
            m_out.i32(r.dayNumber);
            m_out.i32(r.monthIndex);
            break;
        }
    }

private:
    ArchiveWriter& m_out;
};

void writeHeader(ArchiveWriter& out, std::uint32_t tag, const FileHeader& header,
                 std::span<const std::uint16_t> schema, std::size_t recordCount)
{
    out.u32(tag);
    out.text(header.fileName);
    out.text(header.tableString);
    out.i32(header.nextFreeCategoryId);
    out.u32(static_cast<std::uint32_t>(header.categories.size()));
    for (const Category& c : header.categories) {
        out.i32(c.index);
        out.i32(c.id);
        out.i32(c.dirty);
        out.text(c.name);
        out.text(c.shortName);
    }
    out.i32(header.schemaResourceId);
    out.u32(static_cast<std::uint32_t>(schema.size()));
    out.i32(header.recordIdPosition);
    out.i32(header.statusPosition);
    out.i32(header.placementPosition);
    out.u16(static_cast<std::uint16_t>(schema.size()));
    for (const std::uint16_t type : schema)
        out.u16(type);
    out.u32(static_cast<std::uint32_t>(recordCount * schema.size()));
}

std::string errorText(const std::string& path, int error)
{
    return path + ": " + std::strerror(error);
}

} // namespace

std::vector<std::uint8_t> writeDatebook(const Datebook& datebook)
{
    ArchiveWriter out;
    writeHeader(out, kDatebookTag, datebook.header, kDatebookSchema, datebook.records.size());
    FieldWriter f(out);
    for (const DatebookRecord& r : datebook.records) {
        f.integer(r.id);
        f.integer(static_cast<std::int32_t>(r.status));
        f.integer(r.position);
        f.date(r.start);
        f.integer(clampTime(r.end)); // stored as a plain integer, in the same encoding
        f.text(r.description);
        f.integer(r.duration);
        f.text(r.note);
        f.boolean(r.untimed);
        f.boolean(r.isPrivate);
        f.integer(r.category);
        f.boolean(r.alarmSet);
        f.integer(r.alarmAmount);
        f.integer(r.alarmUnit);
        f.repeat(r);
    }
    return out.take();
}

std::vector<std::uint8_t> writeTodoList(const TodoList& todoList)
{
    ArchiveWriter out;
    writeHeader(out, kTodoTag, todoList.header, kTodoSchema, todoList.records.size());
    FieldWriter f(out);
    for (const TodoRecord& r : todoList.records) {
        f.integer(r.id);
        f.integer(static_cast<std::int32_t>(r.status));
        f.integer(r.position);
        f.text(r.description);
        f.date(r.due);
        f.boolean(r.completed);
        f.integer(r.priority);
        f.boolean(r.isPrivate);
        f.integer(r.category);
        f.text(r.note);
    }
    return out.take();
}

Result<std::size_t> writeFileAtomically(const std::string& path,
                                        std::span<const std::uint8_t> bytes)
{
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", static_cast<unsigned>(random()));
    const std::string temp = path + suffix;

    std::FILE* file = openFile(temp, "wbx");
    if (!file)
        return Result<std::size_t>::failure(errorText(path, errno));
    bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() && std::fflush(file) == 0;
    int error = written ? 0 : errno;
#ifndef _WIN32
    if (written && ::fsync(fileno(file)) != 0) {
        written = false;
        error = errno;
    }
#endif
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = errno;
    }
    std::error_code ec;
    if (written) {
        std::filesystem::rename(temp, path, ec);
        if (!ec)
            return bytes.size();
        error = ec.value();
    }
    std::filesystem::remove(temp, ec);
    return Result<std::size_t>::failure(errorText(path, error != 0 ? error : EIO));
}

} // namespace palmfile
