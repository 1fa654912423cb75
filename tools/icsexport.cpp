// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "icsexport.h"

#include "palm/alarmlist.h"
#include "palm/timetexts.h"
#include "palmfile/localdate.h"
#include "palmfile/recurrence.h"

#include <QString>

#include <libical/ical.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <set>

using namespace palmfile;
using namespace std::chrono;

namespace palmdat {

namespace {

using Component = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// libical writes no dates much beyond the year 3000.
constexpr LocalDate lastDate{year{2999}, December, day{31}};

LocalDate addDays(LocalDate date, std::int64_t count)
{
    return LocalDate{sys_days{date} + days{count}};
}

icaltimetype dateValue(LocalDate date)
{
    icaltimetype value = icaltime_null_date();
    value.year = static_cast<int>(date.year());
    value.month = static_cast<int>(static_cast<unsigned>(date.month()));
    value.day = static_cast<int>(static_cast<unsigned>(date.day()));
    return value;
}

icaltimetype utcValue(TimeValue t)
{
    return icaltime_from_timet_with_zone(static_cast<time_t>(t), 0,
                                         icaltimezone_get_utc_timezone());
}

std::string flattened(const std::string& text)
{
    QString line = QString::fromStdString(text);
    flattenLineBreaks(line);
    return line.toStdString();
}

std::string withPlainLineBreaks(const std::string& text)
{
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), '\n');
    return lines.toStdString();
}

const Category* categoryAt(const FileHeader& header, std::int32_t index)
{
    const auto found = std::find_if(header.categories.begin(), header.categories.end(),
                                    [index](const Category& c) { return c.index == index; });
    return index != 0 && found != header.categories.end() ? &*found : nullptr;
}

// The by_day encoding libical decodes with icalrecurrencetype_day_day_of_week and _position.
short encodedDay(std::int32_t weekdayFromSunday, int position)
{
    const int code = (position < 0 ? -position : position) * 8 + weekdayFromSunday + 1;
    return static_cast<short>(position < 0 ? -code : code);
}

icalproperty* newRdate(icaltimetype value)
{
    icaldatetimeperiodtype date{};
    date.time = value;
    date.period = icalperiodtype_null_period();
    return icalproperty_new_rdate(date);
}

void endList(short* list, int count)
{
    list[count] = ICAL_RECURRENCE_ARRAY_MAX;
}

// Palm moves a day number past the month's end to the month's last day, where BYMONTHDAY alone
// would skip that month. Every day from the month's shortest length up to the day number, of
// which BYSETPOS=-1 takes the last that exists, says the same.
void setDayOfMonth(icalrecurrencetype& rule, int dayNumber, int shortestMonth)
{
    int count = 0;
    for (int d = std::min(dayNumber, shortestMonth); d <= dayNumber; ++d)
        rule.by_month_day[count++] = static_cast<short>(d);
    endList(rule.by_month_day, count);
    if (count > 1) {
        rule.by_set_pos[0] = -1;
        endList(rule.by_set_pos, 1);
    }
}

icalrecurrencetype repeatRule(const Repeat& repeat)
{
    icalrecurrencetype rule;
    icalrecurrencetype_clear(&rule);
    rule.interval = static_cast<short>(repeat.interval);
    switch (repeat.kind) {
    case RepeatKind::Daily:
        rule.freq = ICAL_DAILY_RECURRENCE;
        break;
    case RepeatKind::Weekly: {
        rule.freq = ICAL_WEEKLY_RECURRENCE;
        // Only counting weeks needs their first day; Palm's rule ignores it otherwise.
        if (repeat.interval > 1)
            rule.week_start = static_cast<icalrecurrencetype_weekday>(repeat.firstDayOfWeek + 1);
        int count = 0;
        for (int d = 0; d < 7; ++d) {
            if (repeat.daysMask & (1u << d))
                rule.by_day[count++] = encodedDay(d, 0);
        }
        endList(rule.by_day, count);
        break;
    }
    case RepeatKind::MonthlyByDay:
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        rule.by_day[0] =
            encodedDay(repeat.dayIndex, repeat.weekIndex == 4 ? -1 : repeat.weekIndex + 1);
        endList(rule.by_day, 1);
        break;
    case RepeatKind::MonthlyByDate:
        rule.freq = ICAL_MONTHLY_RECURRENCE;
        setDayOfMonth(rule, repeat.dayNumber, 28);
        break;
    case RepeatKind::Yearly: {
        static constexpr int shortestLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        rule.freq = ICAL_YEARLY_RECURRENCE;
        rule.by_month[0] = static_cast<short>(repeat.monthIndex + 1);
        endList(rule.by_month, 1);
        setDayOfMonth(rule, repeat.dayNumber, shortestLength[repeat.monthIndex]);
        break;
    }
    }
    return rule;
}

// The appointment's own alarm: a trailing "REM n" code, else the Palm alarm in its own unit
// (a day before is a calendar day, also across a change of daylight saving).
std::optional<icaldurationtype> alarmLead(const DatebookRecord& record)
{
    icaldurationtype lead = icaldurationtype_null_duration();
    lead.is_neg = 1;
    const int reminder = parseReminderSuffix(QString::fromStdString(record.description));
    if (reminder >= 0) {
        lead.minutes = static_cast<unsigned>(reminder);
        return lead;
    }
    if (alarmAdvanceMinutes(record) < 0)
        return std::nullopt;
    const auto amount = static_cast<unsigned>(record.alarmAmount);
    switch (AlarmUnit(record.alarmUnit)) {
    case AlarmUnit::Minutes:
        lead.minutes = amount;
        break;
    case AlarmUnit::Hours:
        lead.hours = amount;
        break;
    case AlarmUnit::Days:
        lead.days = amount;
        break;
    }
    return lead;
}

// UIDs stay the same from one run to the next, so a calendar that subscribes to the file
// updates its items instead of adding new ones: the record id, or for records never
// synchronised (id 0) a hash of what identifies them.
class UidMaker
{
public:
    std::string make(const char* kind, std::int32_t id, TimeValue when,
                     const std::string& description)
    {
        std::string base = std::string(kind) + '-';
        if (id != 0) {
            base += std::to_string(static_cast<std::uint32_t>(id));
        } else {
            char hex[17];
            std::snprintf(
                hex, sizeof hex, "%016llx",
                static_cast<unsigned long long>(fnv1a(std::to_string(when) + '\n' + description)));
            base += hex;
        }
        std::string uid = base + "@chimewell";
        for (int n = 2; !m_used.insert(uid).second; ++n)
            uid = base + '-' + std::to_string(n) + "@chimewell";
        return uid;
    }

private:
    static std::uint64_t fnv1a(const std::string& text)
    {
        std::uint64_t hash = 14695981039346656037ull;
        for (unsigned char c : text)
            hash = (hash ^ c) * 1099511628211ull;
        return hash;
    }

    std::set<std::string> m_used;
};

class CalendarWriter
{
public:
    CalendarWriter(icaltimezone* zone, std::string tzid, TimeValue stamp)
        : m_calendar(icalcomponent_new_vcalendar(), icalcomponent_free), m_zone(zone),
          m_tzid(std::move(tzid)), m_stamp(stamp)
    {
        icalcomponent_add_property(m_calendar.get(), icalproperty_new_version("2.0"));
        icalcomponent_add_property(m_calendar.get(),
                                   icalproperty_new_prodid("-//Chimewell//palmdat//EN"));
        icalcomponent_add_property(m_calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    }

    void setName(const std::string& name)
    {
        icalproperty* property = icalproperty_new_x(name.c_str());
        icalproperty_set_x_name(property, "X-WR-CALNAME");
        icalcomponent_add_property(m_calendar.get(), property);
    }

    void addEvent(const DatebookRecord& record, const FileHeader& header);
    void addTodo(const TodoRecord& record, const FileHeader& header);
    std::string text();

private:
    using TimeProperty = icalproperty* (*)(icaltimetype);
    // `date` as an all-day value, or at `time` on the local wall clock.
    icalproperty* timeProperty(TimeProperty make, LocalDate date,
                               const std::optional<TimeOfDay>& time) const;
    void addRepeat(icalcomponent* event, const DatebookRecord& record, LocalDate first,
                   const std::optional<TimeOfDay>& time) const;
    icalcomponent* newItem(icalcomponent* item, std::string uid, const std::string& summary);
    static void addCommon(icalcomponent* item, bool isPrivate, const std::string& note,
                          const FileHeader& header, std::int32_t category);

    Component m_calendar;
    icaltimezone* m_zone;
    std::string m_tzid; // empty: the zone is UTC
    TimeValue m_stamp;
    std::vector<Component> m_items; // events and to-dos, added after the time zone
    UidMaker m_uids;
    std::optional<LocalDate> m_earliestTime; // of a date-time in the local zone
};

icalproperty* CalendarWriter::timeProperty(TimeProperty make, LocalDate date,
                                           const std::optional<TimeOfDay>& time) const
{
    icaltimetype value = dateValue(date);
    if (!time)
        return make(value);
    value.is_date = 0;
    value.hour = time->hour;
    value.minute = time->minute;
    value.second = time->second;
    if (m_tzid.empty()) {
        value.zone = icaltimezone_get_utc_timezone();
        return make(value);
    }
    value.zone = m_zone;
    icalproperty* property = make(value);
    icalproperty_add_parameter(property, icalparameter_new_tzid(m_tzid.c_str()));
    return property;
}

icalcomponent* CalendarWriter::newItem(icalcomponent* item, std::string uid,
                                       const std::string& summary)
{
    icalcomponent_add_property(item, icalproperty_new_uid(uid.c_str()));
    icalcomponent_add_property(item, icalproperty_new_dtstamp(utcValue(m_stamp)));
    if (!summary.empty())
        icalcomponent_add_property(item, icalproperty_new_summary(summary.c_str()));
    m_items.emplace_back(item, icalcomponent_free);
    return item;
}

void CalendarWriter::addCommon(icalcomponent* item, bool isPrivate, const std::string& note,
                               const FileHeader& header, std::int32_t category)
{
    if (isPrivate)
        icalcomponent_add_property(item, icalproperty_new_class(ICAL_CLASS_PRIVATE));
    if (!note.empty()) {
        icalcomponent_add_property(item,
                                   icalproperty_new_description(withPlainLineBreaks(note).c_str()));
    }
    if (const Category* found = categoryAt(header, category))
        icalcomponent_add_property(item, icalproperty_new_categories(found->name.c_str()));
}

void CalendarWriter::addEvent(const DatebookRecord& record, const FileHeader& header)
{
    // The series starts on its first date that is not cancelled: calendars always show the
    // first date, whatever the rule says. A record that never occurs (as far as libical
    // writes dates) is left out.
    std::optional<LocalDate> first = nextOccurrence(record, LocalDate{year{1}, January, day{1}});
    while (first && isException(record, *first))
        first = nextOccurrence(record, addDays(*first, 1));
    if (!first || *first > lastDate)
        return;

    const std::optional<TimeOfDay> time =
        record.untimed ? std::nullopt : std::optional{localTimeOfDay(record.start)};
    const std::string summary = flattened(record.description);
    icalcomponent* event =
        newItem(icalcomponent_new_vevent(),
                m_uids.make("datebook", record.id, record.start, record.description), summary);
    icalcomponent_add_property(event, timeProperty(icalproperty_new_dtstart, *first, time));
    if (!time) {
        icalcomponent_add_property(event,
                                   timeProperty(icalproperty_new_dtend, addDays(*first, 1), time));
    } else if (record.end > record.start) {
        const auto dayCount =
            sys_days{localDateOf(record.end)} - sys_days{localDateOf(record.start)};
        icalcomponent_add_property(event, timeProperty(icalproperty_new_dtend,
                                                       addDays(*first, dayCount.count()),
                                                       localTimeOfDay(record.end)));
    }
    if (time && (!m_earliestTime || *first < *m_earliestTime))
        m_earliestTime = first;
    if (record.repeat)
        addRepeat(event, record, *first, time);
    addCommon(event, record.isPrivate, record.note, header, record.category);

    if (const auto lead = alarmLead(record)) {
        icalcomponent* alarm = icalcomponent_new_valarm();
        icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
        icaltriggertype trigger{icaltime_null_time(), *lead};
        icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
        icalcomponent_add_property(alarm, icalproperty_new_description(summary.c_str()));
        icalcomponent_add_component(event, alarm);
    }
}

void CalendarWriter::addRepeat(icalcomponent* event, const DatebookRecord& record, LocalDate first,
                               const std::optional<TimeOfDay>& time) const
{
    const Repeat& repeat = *record.repeat;
    // Beyond what a rule holds (the handheld allows up to 99): the dates themselves.
    if (repeat.interval > std::numeric_limits<short>::max()) {
        for (LocalDate date : occurrencesBetween(record, addDays(first, 1), lastDate))
            icalcomponent_add_property(event, timeProperty(newRdate, date, time));
        return;
    }
    icalrecurrencetype rule = repeatRule(repeat);
    if (!isNoDate(repeat.end)) {
        const LocalDate end = roundedDateOf(repeat.end);
        rule.until = time ? utcValue(localTime(end, 23, 59, 59)) : dateValue(end);
    }
    icalcomponent_add_property(event, icalproperty_new_rrule(rule));

    std::vector<LocalDate> cancelled = cancelledDates(record);
    std::sort(cancelled.begin(), cancelled.end());
    cancelled.erase(std::unique(cancelled.begin(), cancelled.end()), cancelled.end());
    for (LocalDate date : cancelled) {
        if (date > first && nextOccurrence(record, date) == date)
            icalcomponent_add_property(event, timeProperty(icalproperty_new_exdate, date, time));
    }
}

void CalendarWriter::addTodo(const TodoRecord& record, const FileHeader& header)
{
    icalcomponent* todo = newItem(icalcomponent_new_vtodo(),
                                  m_uids.make("todo", record.id, record.due, record.description),
                                  flattened(record.description));
    if (!isNoDate(record.due)) {
        icalcomponent_add_property(
            todo, timeProperty(icalproperty_new_due, roundedDateOf(record.due), std::nullopt));
    }
    icalcomponent_add_property(todo,
                               icalproperty_new_status(record.completed ? ICAL_STATUS_COMPLETED
                                                                        : ICAL_STATUS_NEEDSACTION));
    // Palm's priorities 1 (highest) to 5 spread over iCalendar's 1 (highest) to 9.
    if (record.priority >= 1 && record.priority <= 5)
        icalcomponent_add_property(todo, icalproperty_new_priority(2 * record.priority - 1));
    addCommon(todo, record.isPrivate, record.note, header, record.category);
}

std::string CalendarWriter::text()
{
    if (!m_tzid.empty() && m_earliestTime) {
        icalcomponent* zone = icalcomponent_new_clone(icaltimezone_get_component(m_zone));
        icalproperty_set_tzid(icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY),
                              m_tzid.c_str());
        // The zone's history from a year before the first local time on; the year covers
        // alarms up to 99 days ahead of it.
        const LocalDate from{m_earliestTime->year() - years{1}, January, day{1}};
        icaltimezone_truncate_vtimezone(zone, utcValue(localMidnight(from)), icaltime_null_time(),
                                        0);
        icalcomponent_add_component(m_calendar.get(), zone);
    }
    for (Component& item : m_items)
        icalcomponent_add_component(m_calendar.get(), item.release());
    m_items.clear();
    char* text = icalcomponent_as_ical_string_r(m_calendar.get());
    std::string result(text);
    icalmemory_free_buffer(text);
    return result;
}

} // namespace

Result<std::string> iCalendarText(const CalendarData& data, const std::string& zoneId)
{
    icaltimezone* zone = icaltimezone_get_builtin_timezone(zoneId.c_str());
    if (!zone) {
        return Result<std::string>::failure(
            "the time zone \"" + zoneId +
            "\" is not in the zone database: set TZ to a zone name such as Europe/Berlin");
    }
    CalendarWriter writer(zone, zone == icaltimezone_get_utc_timezone() ? std::string() : zoneId,
                          data.stamp);
    writer.setName(data.name);
    if (data.datebook) {
        for (const DatebookRecord& record : data.datebook->records) {
            if (!record.isDeleted() && !record.isArchived())
                writer.addEvent(record, data.datebook->header);
        }
    }
    if (data.todoList) {
        for (const TodoRecord& record : data.todoList->records) {
            if (!record.isDeleted() && !record.isArchived())
                writer.addTodo(record, data.todoList->header);
        }
    }
    return writer.text();
}

} // namespace palmdat
