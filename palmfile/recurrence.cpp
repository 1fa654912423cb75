// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/recurrence.h"

#include <algorithm>

namespace palmfile {

namespace {

using namespace std::chrono;

// Occurrences are searched no further than the end of year 9999: beyond it the calendar types
// cannot represent the date, and a huge interval must not wrap around into the past.
constexpr int lastYear = 9999;
constexpr std::int64_t lastDayNumber = 2932896; // 9999-12-31

std::int64_t dayNumberOf(LocalDate date)
{
    return sys_days{date}.time_since_epoch().count();
}

std::optional<LocalDate> dateOfDayNumber(std::int64_t dayNumber)
{
    if (dayNumber > lastDayNumber)
        return std::nullopt;
    return LocalDate{sys_days{days{dayNumber}}};
}

unsigned weekdayOf(std::int64_t dayNumber)
{
    return weekday{sys_days{days{dayNumber}}}.c_encoding();
}

// The smallest base + k * step (k >= 0) that is >= target; step > 0.
std::int64_t firstStepAtOrAfter(std::int64_t base, std::int64_t target, std::int64_t step)
{
    if (target <= base)
        return base;
    return base + (target - base + step - 1) / step * step;
}

std::int64_t monthNumberOf(LocalDate date)
{
    return static_cast<int>(date.year()) * std::int64_t{12} + static_cast<unsigned>(date.month()) -
           1;
}

// The date on which a monthly or yearly rule falls in a given month.
using DayInMonth = LocalDate (*)(const Repeat&, year_month);

LocalDate nthWeekdayInMonth(const Repeat& rule, year_month ym)
{
    const weekday wd{static_cast<unsigned>(rule.dayIndex)};
    if (rule.weekIndex == 4)
        return LocalDate{sys_days{ym / wd[last]}};
    return LocalDate{sys_days{ym / wd[static_cast<unsigned>(rule.weekIndex) + 1]}};
}

// A day number past the month's end falls on the month's last day: the 31st on 30 April,
// 29 February on 28 February in common years.
LocalDate dateInMonth(const Repeat& rule, year_month ym)
{
    const day lastDay = year_month_day_last{ym / last}.day();
    return LocalDate{ym / std::min(day{static_cast<unsigned>(rule.dayNumber)}, lastDay)};
}

// The rule's date in the first month M whose distance from the start's month is a multiple of
// `step` months and whose date is on or after `first`.
std::optional<LocalDate> firstInMonths(const Repeat& rule, LocalDate start, LocalDate first,
                                       std::int64_t step, DayInMonth dayInMonth)
{
    std::int64_t n = firstStepAtOrAfter(monthNumberOf(start), monthNumberOf(first), step);
    // The occurrence in the first such month may lie before `first`; the next one cannot.
    for (int attempt = 0; attempt < 2; ++attempt, n += step) {
        if (n / 12 > lastYear)
            return std::nullopt;
        const LocalDate date = dayInMonth(rule, year{static_cast<int>(n / 12)} /
                                                    month{static_cast<unsigned>(n % 12) + 1});
        if (date >= first)
            return date;
    }
    return std::nullopt;
}

std::optional<LocalDate> firstDaily(const Repeat& rule, LocalDate start, LocalDate first)
{
    return dateOfDayNumber(
        firstStepAtOrAfter(dayNumberOf(start), dayNumberOf(first), rule.interval));
}

std::optional<LocalDate> firstWeekly(const Repeat& rule, LocalDate start, LocalDate first)
{
    const unsigned mask = rule.daysMask & 0x7F;
    if (mask == 0)
        return std::nullopt;
    const auto firstMatchFrom = [mask](std::int64_t from, std::int64_t until) {
        for (std::int64_t d = from; d <= until; ++d) {
            if (mask & (1u << weekdayOf(d)))
                return std::optional<std::int64_t>{d};
        }
        return std::optional<std::int64_t>{};
    };

    const std::int64_t firstDay = dayNumberOf(first);
    if (rule.interval == 1)
        return dateOfDayNumber(*firstMatchFrom(firstDay, firstDay + 6));

    if (rule.firstDayOfWeek < 0 || rule.firstDayOfWeek > 6)
        return std::nullopt;
    const auto weekStartOf = [&rule](std::int64_t d) {
        return d - (weekdayOf(d) + 7 - static_cast<unsigned>(rule.firstDayOfWeek)) % 7;
    };
    const std::int64_t startWeek = weekStartOf(dayNumberOf(start));
    const std::int64_t firstWeek = weekStartOf(firstDay);
    const std::int64_t step = std::int64_t{7} * rule.interval;
    if ((firstWeek - startWeek) % step == 0) {
        if (const auto d = firstMatchFrom(firstDay, firstWeek + 6))
            return dateOfDayNumber(*d);
    }
    const std::int64_t nextWeek = firstStepAtOrAfter(startWeek, firstWeek + 7, step);
    return dateOfDayNumber(*firstMatchFrom(nextWeek, nextWeek + 6));
}

std::optional<LocalDate> firstMonthlyByDay(const Repeat& rule, LocalDate start, LocalDate first)
{
    if (rule.dayIndex < 0 || rule.dayIndex > 6 || rule.weekIndex < 0 || rule.weekIndex > 4)
        return std::nullopt;
    return firstInMonths(rule, start, first, rule.interval, nthWeekdayInMonth);
}

std::optional<LocalDate> firstMonthlyByDate(const Repeat& rule, LocalDate start, LocalDate first)
{
    if (rule.dayNumber < 1 || rule.dayNumber > 31)
        return std::nullopt;
    return firstInMonths(rule, start, first, rule.interval, dateInMonth);
}

std::optional<LocalDate> firstYearly(const Repeat& rule, LocalDate start, LocalDate first)
{
    if (rule.dayNumber < 1 || rule.dayNumber > 31 || rule.monthIndex < 0 || rule.monthIndex > 11)
        return std::nullopt;
    // Yearly is monthly in steps of 12 months, anchored in the rule's month of the start year.
    const LocalDate anchor{start.year(), month{static_cast<unsigned>(rule.monthIndex) + 1}, day{1}};
    return firstInMonths(rule, anchor, first, std::int64_t{12} * rule.interval, dateInMonth);
}

// A local date lies within about a day of the same date in UTC (zones reach from UTC-12 to
// UTC+14) and rounding moves it by at most another day: values further than this from a date
// cannot fall on it, which spares the conversion to local time.
constexpr TimeValue safetyMargin = 3 * 86400;

TimeValue utcMidnight(LocalDate date)
{
    return TimeValue{dayNumberOf(date)} * 86400;
}

// The record's first and last possible dates: S and the inclusive end E (none: no end).
struct Span
{
    LocalDate start;
    std::optional<LocalDate> end;
};

Span spanOf(const DatebookRecord& record)
{
    Span span{record.untimed ? roundedDateOf(record.start) : localDateOf(record.start), {}};
    if (record.repeat && !isNoDate(record.repeat->end))
        span.end = roundedDateOf(record.repeat->end);
    return span;
}

// True when the record certainly has no occurrence on or after `from`.
bool endsBefore(const DatebookRecord& record, LocalDate from)
{
    const TimeValue limit = utcMidnight(from) - safetyMargin;
    if (!record.repeat)
        return record.start < limit;
    return record.repeat->end < limit && !isNoDate(record.repeat->end);
}

std::optional<LocalDate> nextInSpan(const DatebookRecord& record, const Span& span, LocalDate from)
{
    if (!record.repeat)
        return span.start >= from ? std::optional{span.start} : std::nullopt;
    const Repeat& rule = *record.repeat;
    const LocalDate first = std::max(span.start, from);
    if (rule.interval <= 0 || (span.end && first > *span.end))
        return std::nullopt;

    std::optional<LocalDate> date;
    switch (rule.kind) {
    case RepeatKind::Daily:
        date = firstDaily(rule, span.start, first);
        break;
    case RepeatKind::Weekly:
        date = firstWeekly(rule, span.start, first);
        break;
    case RepeatKind::MonthlyByDay:
        date = firstMonthlyByDay(rule, span.start, first);
        break;
    case RepeatKind::MonthlyByDate:
        date = firstMonthlyByDate(rule, span.start, first);
        break;
    case RepeatKind::Yearly:
        date = firstYearly(rule, span.start, first);
        break;
    }
    if (date && span.end && *date > *span.end)
        return std::nullopt;
    return date;
}

} // namespace

// The dates the record's exceptions cancel. An exception is usually stored as local midnight
// of the cancelled day, possibly written in another time zone, so it is rounded to the nearest
// midnight. One stored at the occurrence's own time of day stands for its plain date. Untimed
// records always round: their start and exceptions carry the writer's midnight, and in another
// zone both show the same time of day, which says nothing about the date.
std::vector<LocalDate> cancelledDates(const DatebookRecord& record)
{
    std::vector<LocalDate> dates;
    if (record.exceptions.empty())
        return dates;
    const std::optional<TimeOfDay> startTime =
        record.untimed ? std::nullopt : std::optional{localTimeOfDay(record.start)};
    for (TimeValue t : record.exceptions) {
        const bool atStartTime = startTime && localTimeOfDay(t) == *startTime;
        dates.push_back(atStartTime ? localDateOf(t) : roundedDateOf(t));
    }
    return dates;
}

std::optional<LocalDate> nextOccurrence(const DatebookRecord& record, LocalDate from)
{
    if (!from.ok() || endsBefore(record, from))
        return std::nullopt;
    return nextInSpan(record, spanOf(record), from);
}

bool isException(const DatebookRecord& record, LocalDate date)
{
    const std::vector<LocalDate> cancelled = cancelledDates(record);
    return std::find(cancelled.begin(), cancelled.end(), date) != cancelled.end();
}

std::vector<LocalDate> occurrencesBetween(const DatebookRecord& record, LocalDate from,
                                          LocalDate to)
{
    std::vector<LocalDate> dates;
    if (!from.ok() || !to.ok() || endsBefore(record, from) ||
        record.start > utcMidnight(to) + safetyMargin)
        return dates;
    const Span span = spanOf(record);
    for (auto date = nextInSpan(record, span, from); date && *date <= to;
         date = nextInSpan(record, span, LocalDate{sys_days{*date} + days{1}}))
        dates.push_back(*date);
    if (!dates.empty() && !record.exceptions.empty()) {
        const std::vector<LocalDate> cancelled = cancelledDates(record);
        std::erase_if(dates, [&](LocalDate d) {
            return std::find(cancelled.begin(), cancelled.end(), d) != cancelled.end();
        });
    }
    return dates;
}

std::int32_t alarmAdvanceMinutes(const DatebookRecord& record)
{
    constexpr std::int32_t minutesPerUnit[] = {1, 60, 24 * 60};
    if (!record.alarmSet || record.alarmAmount < 0 || record.alarmAmount > 99 ||
        record.alarmUnit < 0 || record.alarmUnit > 2)
        return -1;
    return record.alarmAmount * minutesPerUnit[record.alarmUnit];
}

} // namespace palmfile
