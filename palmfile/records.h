// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace palmfile {

// Seconds since 1970-01-01 00:00:00 UTC. The files hold signed 32-bit values; the program
// works with 64 bits.
using TimeValue = std::int64_t;

// Texts are UTF-8 inside the program; the files hold Windows-1252 bytes.

enum RecordStatus : std::uint32_t
{
    StatusAdded = 0x01,
    StatusModified = 0x02,
    StatusDeleted = 0x04,
    StatusPending = 0x08,
    StatusArchived = 0x80,
};

struct Category
{
    std::int32_t index = 0;
    std::int32_t id = 0;
    std::int32_t dirty = 0;
    std::string name;
    std::string shortName;
};

// What precedes the records in every datebook and to-do file.
struct FileHeader
{
    std::string fileName;
    std::string tableString;
    std::int32_t nextFreeCategoryId = 128;
    std::vector<Category> categories; // "Unfiled" (index 0) is implied, never stored
    std::int32_t schemaResourceId = 0;
    std::int32_t recordIdPosition = 0;
    std::int32_t statusPosition = 1;
    std::int32_t placementPosition = 2;
    std::vector<std::uint16_t> schema; // field type codes of one record
};

enum class RepeatKind : std::int32_t
{
    Daily = 1,
    Weekly = 2,
    MonthlyByDay = 3,
    MonthlyByDate = 4,
    Yearly = 5,
};

struct Repeat
{
    RepeatKind kind = RepeatKind::Daily;
    std::int32_t interval = 1;
    TimeValue end = 0; // last day it may occur (inclusive); local date >= 2031-12-31 = none
    std::int32_t firstDayOfWeek = 0; // 0 = Sunday, 1 = Monday
    std::int32_t dayIndex = 0;       // weekday 0 = Sunday (daily, weekly, monthly by day)
    std::uint8_t daysMask = 0;       // weekly: bit 0 = Sunday ... bit 6 = Saturday
    std::int32_t weekIndex = 0;      // monthly by day: 0..3 = first..fourth, 4 = last
    std::int32_t dayNumber = 1;      // monthly by date, yearly: 1..31
    std::int32_t monthIndex = 0;     // yearly: 0 = January
};

enum class AlarmUnit : std::int32_t
{
    Minutes = 0,
    Hours = 1,
    Days = 2
};

struct DatebookRecord
{
    std::int32_t id = 0;
    std::uint32_t status = StatusAdded;
    std::int32_t position = 0x7FFFFFFF;
    TimeValue start = 0;
    TimeValue end = 0;
    std::string description;
    std::int32_t duration = 0;
    std::string note;
    bool untimed = false;
    bool isPrivate = false;
    std::int32_t category = 0;
    bool alarmSet = false;
    std::int32_t alarmAmount = -1;
    std::int32_t alarmUnit = 0;
    std::vector<TimeValue> exceptions;
    std::optional<Repeat> repeat;

    bool isDeleted() const { return status & StatusDeleted; }
    bool isArchived() const { return status & StatusArchived; }
};

struct TodoRecord
{
    std::int32_t id = 0;
    std::uint32_t status = StatusAdded;
    std::int32_t position = 0x7FFFFFFF;
    std::string description;
    TimeValue due = 0; // local date >= 2031-12-31 = no due date
    bool completed = false;
    std::int32_t priority = 1;
    bool isPrivate = false;
    std::int32_t category = 0;
    std::string note;

    bool isDeleted() const { return status & StatusDeleted; }
    bool isArchived() const { return status & StatusArchived; }
};

struct Datebook
{
    FileHeader header;
    std::vector<DatebookRecord> records;
};

struct TodoList
{
    FileHeader header;
    std::vector<TodoRecord> records;
};

} // namespace palmfile
