// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/localdate.h"

#include <algorithm>
#include <ctime>

namespace palmfile {

namespace {

// Years 1..9999: far beyond what a Palm file can hold (its values are 32-bit) and safely inside
// what the C library and std::chrono::year convert.
constexpr TimeValue earliestTime = -62135596800;
constexpr TimeValue latestTime = 253402300799;

std::tm localFields(TimeValue t)
{
    const std::time_t clamped = std::clamp(t, earliestTime, latestTime);
    std::tm fields{};
    localtime_r(&clamped, &fields);
    return fields;
}

LocalDate dateOfFields(const std::tm& fields)
{
    return LocalDate{std::chrono::year{fields.tm_year + 1900},
                     std::chrono::month{static_cast<unsigned>(fields.tm_mon + 1)},
                     std::chrono::day{static_cast<unsigned>(fields.tm_mday)}};
}

} // namespace

LocalDate localDateOf(TimeValue t)
{
    return dateOfFields(localFields(t));
}

TimeOfDay localTimeOfDay(TimeValue t)
{
    const std::tm fields = localFields(t);
    return TimeOfDay{fields.tm_hour, fields.tm_min, fields.tm_sec};
}

TimeValue localTime(LocalDate date, int hour, int minute, int second)
{
    std::tm fields{};
    fields.tm_year = static_cast<int>(date.year()) - 1900;
    fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

TimeValue localMidnight(LocalDate date)
{
    return localTime(date, 0, 0, 0);
}

// Rounded on the wall clock, not by adding 12 h of seconds: a value written as local midnight
// in another zone is off by whole hours of wall-clock time, whatever DST does in between.
LocalDate roundedDateOf(TimeValue t)
{
    const std::tm fields = localFields(t);
    const LocalDate date = dateOfFields(fields);
    if (fields.tm_hour < 12)
        return date;
    return LocalDate{std::chrono::sys_days{date} + std::chrono::days{1}};
}

bool isNoDate(TimeValue t)
{
    // Before 2031-12-31 00:00 at UTC+14 no zone has reached that date yet.
    constexpr TimeValue earliestMarker = 1956441600 - 14 * 3600;
    using namespace std::chrono;
    return t >= earliestMarker && localDateOf(t) >= LocalDate{year{2031}, December, day{31}};
}

} // namespace palmfile
