// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms.h"

#include "palm/timetexts.h"
#include "stringtable.h"

std::optional<std::int64_t> dueTime(const AlarmEntry& entry, int warntime, int warnagaintime)
{
    if (entry.acknowledged)
        return std::nullopt;
    if (entry.snoozed)
        return entry.snoozedAt + std::int64_t(warnagaintime) * 60;
    const int lead = entry.alarmAdvance >= 0 ? entry.alarmAdvance : warntime;
    return entry.startTime - std::int64_t(lead) * 60;
}

AlarmEntry* findDueAlarm(AlarmList& alarms, int warntime, int warnagaintime, std::int64_t now)
{
    for (AlarmEntry& entry : alarms) {
        const std::optional<std::int64_t> due = dueTime(entry, warntime, warnagaintime);
        if (due && *due <= now)
            return &entry;
    }
    return nullptr;
}

std::optional<std::int64_t> nextDueTime(const AlarmList& alarms, int warntime, int warnagaintime)
{
    std::optional<std::int64_t> next;
    for (const AlarmEntry& entry : alarms) {
        const std::optional<std::int64_t> due = dueTime(entry, warntime, warnagaintime);
        if (due && (!next || *due < *next))
            next = due;
    }
    return next;
}

QString formatAlarmText(const AlarmEntry& entry, const QLocale& locale)
{
    QString text = formatTimeText(entry.startTime, locale) + QLatin1Char(' ') + entry.description;
    if (!entry.note.isEmpty())
        text += QStringLiteral("\r\n") + entry.note;
    return text;
}

QString firstLineText(const AlarmList& alarms, const QLocale& locale)
{
    for (const AlarmEntry& entry : alarms) {
        if (!entry.acknowledged)
            return formatAlarmText(entry, locale);
    }
    return loadText(alarms.empty() ? IDS_NO_APPOINTMENTS : IDS_NO_MORE_APPOINTMENTS);
}

QString tooltipText(const QString& firstLine)
{
    constexpr qsizetype kMaximum = 60;
    QString text = firstLine.left(kMaximum);
    if (text.size() == kMaximum && text.back().isHighSurrogate())
        text.chop(1);
    if (text.size() < 30)
        flattenLineBreaks(text);
    return text;
}
