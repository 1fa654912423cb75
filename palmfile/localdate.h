// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records.h"

#include <chrono>

#ifdef _WIN32
struct _TIME_ZONE_INFORMATION;
#endif

namespace palmfile {

// Calendar dates are local to the machine's time zone (TZ applies); all arithmetic on them is
// done on calendar days, never by adding 86,400 s.
using LocalDate = std::chrono::year_month_day;

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

LocalDate localDateOf(TimeValue t);
// The local wall-clock time of day of `t`.
TimeOfDay localTimeOfDay(TimeValue t);
// Local midnight of `date`, daylight saving decided by the C library.
TimeValue localMidnight(LocalDate date);
// `date` at the given local wall-clock time, daylight saving decided by the C library.
TimeValue localTime(LocalDate date, int hour, int minute, int second);
// The date a date-only value stands for: its local time rounded to the nearest midnight.
LocalDate roundedDateOf(TimeValue t);
#ifdef _WIN32
// Windows takes a process's zone from the system when the process starts; tests pin other
// zones' rules here (kept by the caller). Null returns to the system's zone.
void pinTimeZone(const _TIME_ZONE_INFORMATION* zone);
#endif
// Palm Desktop's "no date" marker: a local date on or after 2031-12-31.
bool isNoDate(TimeValue t);

} // namespace palmfile
