// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/localdate.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace palmfile {

namespace {

// Up to the year 9999: far beyond what a Palm file can hold (its values are 32-bit) and safely
// inside what the system and std::chrono::year convert.
constexpr TimeValue latestTime = 253402300799;

#ifdef _WIN32
// Windows keeps its zone rules to itself: the C runtime's localtime/mktime follow a TZ
// variable in POSIX form instead when one is set. The system's own conversions run on
// FILETIME, whose range begins in 1601; a day later leaves room for any zone's offset.
constexpr TimeValue fileTimeEpoch = -11644473600;
constexpr TimeValue earliestWindowsTime = fileTimeEpoch + 86400;

const TIME_ZONE_INFORMATION* pinnedZone = nullptr;

SYSTEMTIME systemTimeOf(TimeValue t)
{
    const auto ticks = static_cast<std::uint64_t>(t - fileTimeEpoch) * 10'000'000u;
    const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    FileTimeToSystemTime(&fileTime, &time);
    return time;
}

TimeValue timeValueOf(const SYSTEMTIME& time)
{
    FILETIME fileTime{};
    SystemTimeToFileTime(&time, &fileTime);
    const std::uint64_t ticks =
        (std::uint64_t(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
    return static_cast<TimeValue>(ticks / 10'000'000u) + fileTimeEpoch;
}

std::tm localFields(TimeValue t)
{
    const SYSTEMTIME utc = systemTimeOf(std::clamp(t, earliestWindowsTime, latestTime));
    SYSTEMTIME local = utc;
    SystemTimeToTzSpecificLocalTime(pinnedZone, &utc, &local);
    std::tm fields{};
    fields.tm_year = local.wYear - 1900;
    fields.tm_mon = local.wMonth - 1;
    fields.tm_mday = local.wDay;
    fields.tm_hour = local.wHour;
    fields.tm_min = local.wMinute;
    fields.tm_sec = local.wSecond;
    return fields;
}
#else
// From the year 1.
constexpr TimeValue earliestTime = -62135596800;

std::tm localFields(TimeValue t)
{
    const std::time_t clamped = std::clamp(t, earliestTime, latestTime);
    std::tm fields{};
    localtime_r(&clamped, &fields);
    return fields;
}
#endif

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
#ifdef _WIN32
    // The wall-clock time counted like a UTC one, so that out-of-range fields carry over as
    // mktime's do, then taken as local time.
    const auto wallClock = [](LocalDate day, int h, int m, int s) {
        return std::chrono::sys_days{day}.time_since_epoch().count() * TimeValue{86400} +
               h * TimeValue{3600} + m * TimeValue{60} + s;
    };
    const TimeValue wanted =
        std::clamp(wallClock(date, hour, minute, second), earliestWindowsTime, latestTime);
    const SYSTEMTIME local = systemTimeOf(wanted);
    SYSTEMTIME utc = local;
    TzSpecificLocalTimeToSystemTime(pinnedZone, &local, &utc);
    const TimeValue t = timeValueOf(utc);
    // A time that the change to summer time skips counts in standard time, as mktime has it;
    // the system may take it in summer time, and then it reads back early.
    const std::tm back = localFields(t);
    const TimeValue readBack =
        wallClock(dateOfFields(back), back.tm_hour, back.tm_min, back.tm_sec);
    return readBack < wanted ? t + (wanted - readBack) : t;
#else
    std::tm fields{};
    fields.tm_year = static_cast<int>(date.year()) - 1900;
    fields.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    fields.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
#endif
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

#ifdef _WIN32
void pinTimeZone(const TIME_ZONE_INFORMATION* zone)
{
    pinnedZone = zone;
}
#endif

bool isNoDate(TimeValue t)
{
    // Before 2031-12-31 00:00 at UTC+14 no zone has reached that date yet.
    constexpr TimeValue earliestMarker = 1956441600 - 14 * 3600;
    using namespace std::chrono;
    return t >= earliestMarker && localDateOf(t) >= LocalDate{year{2031}, December, day{31}};
}

} // namespace palmfile
