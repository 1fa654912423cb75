// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "appointmentscan.h"

#include "palm/clock.h"
#include "palm/settings.h"
#include "palmfile/localdate.h"
#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "timetexts.h"

#include <QFile>

#include <algorithm>
#include <span>

using namespace palmfile;

namespace {

struct Day
{
    TimeValue start; // 00:00:00
    TimeValue end;   // 23:59:59
    bool contains(TimeValue t) const { return start <= t && t <= end; }
};

} // namespace

AppointmentScan::AppointmentScan(const Clock& clock, const QLocale& locale,
                                 const PrivateCopies& copies)
    : m_clock(clock), m_locale(locale), m_copies(copies),
      m_source("datebook", PrivateCopies::kDatebookCopy, DataFileSource::WhenMissing::Fails, clock)
{}

int AppointmentScan::scanAppointments(const Settings& settings, QStringList& lines, bool force,
                                      AlarmList& alarms)
{
    const DataFileSource::Fetched fetched = m_source.fetch(settings.datebookpath, force, m_copies);
    if (fetched.status != DataFileSource::Status::Copied)
        return fetched.resultWithoutReading(lines.size());

    const Result<Datebook> datebook =
        readDatebook(fetched.content(), QFile::encodeName(settings.datebookpath).toStdString());
    if (const std::optional<int> result = m_source.refusal(datebook, fetched))
        return *result;

    lines.clear();
    m_started.clear();
    for (AlarmEntry& entry : alarms)
        entry.seen = 0;
    AlarmIndex alarmIndex(alarms);

    const TimeValue now = m_clock.now();
    const LocalDate today = localDateOf(now);
    const Day day{localMidnight(today), localTime(today, 23, 59, 59)};

    for (const DatebookRecord& record : datebook.value().records) {
        if (record.isDeleted() || record.isArchived() || record.description.empty())
            continue;
        if (record.untimed && !settings.showuntimedappts)
            continue;
        // Hidden from the list, but its alarm rings with the text withheld.
        const bool hidden = record.isPrivate && !settings.showprivate;
        const TimeValue ref = record.untimed ? day.start : now;

        // The start of today's occurrence, whether it is listed, and whether it may ring.
        TimeValue start = record.start;
        bool listed = false;
        bool alarm = false;
        bool started = false;
        if (!record.repeat) {
            if (record.untimed) {
                // A date-only start written in another time zone is not local midnight.
                listed = roundedDateOf(record.start) == today;
            } else {
                const TimeValue lower = settings.showalltodaysappts ? day.start : ref;
                listed = lower <= start && start <= day.end;
                alarm = listed && start >= ref;
                started = day.contains(start) && start < ref;
            }
        } else {
            // Occurrences are asked from today's date on, so only one on today can follow.
            const std::optional<LocalDate> next = nextOccurrence(record, today);
            if (!next || *next != today || isException(record, today))
                continue;
            const TimeOfDay time = localTimeOfDay(record.start);
            start = localTime(today, time.hour, time.minute, time.second);
            if (!day.contains(start))
                continue;
            alarm = !record.untimed && start >= ref;
            started = !record.untimed && start < ref;
            listed = record.untimed || alarm || settings.showalltodaysappts;
        }
        if (!alarm && !started && (!listed || hidden))
            continue;

        QString description = QString::fromStdString(record.description);
        flattenLineBreaks(description);
        if (listed && !hidden)
            lines.append(record.untimed
                             ? QLatin1Char(' ') + description
                             : formatTimeText(start, m_locale) + QLatin1Char(' ') + description);
        if (!alarm && !started)
            continue;
        AlarmEntry candidate;
        candidate.startTime = start;
        candidate.endTime = start + std::max<TimeValue>(record.end - record.start, 0);
        candidate.isPrivate = record.isPrivate;
        candidate.note = QString::fromStdString(record.note);
        candidate.alarmAdvance = parseReminderSuffix(description);
        if (candidate.alarmAdvance < 0)
            candidate.alarmAdvance = alarmAdvanceMinutes(record);
        candidate.description = std::move(description);
        if (alarm)
            mergeAlarmEntry(alarms, std::move(candidate), alarmIndex);
        else
            m_started.push_back(std::move(candidate));
    }
    std::stable_sort(
        m_started.begin(), m_started.end(),
        [](const AlarmEntry& a, const AlarmEntry& b) { return a.startTime < b.startTime; });

    std::erase_if(alarms, [](const AlarmEntry& entry) { return entry.seen == 0; });
    return 1;
}
