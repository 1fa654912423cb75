// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms.h"

#include "palm/settings.h"
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

QString firstLineText(const AlarmList& alarms, const QLocale& locale, bool showPrivate)
{
    bool any = false;
    for (const AlarmEntry& entry : alarms) {
        if (entry.isPrivate && !showPrivate)
            continue;
        any = true;
        if (!entry.acknowledged)
            return formatAlarmText(entry, locale);
    }
    return loadText(any ? IDS_NO_MORE_APPOINTMENTS : IDS_NO_APPOINTMENTS);
}

QString alarmWindowText(const AlarmEntry& entry, bool showPrivate, const QLocale& locale)
{
    const QString text = entry.isPrivate && !showPrivate
                             ? formatTimeText(entry.startTime, locale) + QLatin1Char(' ') +
                                   loadText(IDS_PRIVATE_APPOINTMENT)
                             : formatAlarmText(entry, locale);
    return entry.missed ? loadText(IDS_MISSED_ALARM).arg(text) : text;
}

AlarmList selectMissedAlarms(AlarmList& alarms, const AlarmList& started,
                             const AlarmAnswers& answers, const Settings& settings,
                             std::int64_t watchedUntil, std::int64_t now)
{
    AlarmList missed;
    if (!settings.ringmissed || watchedUntil <= 0)
        return missed;
    const auto cameDue = [&](const AlarmEntry& entry) {
        const std::optional<std::int64_t> due =
            dueTime(entry, settings.warntime, settings.warnagaintime);
        return due && watchedUntil < *due && *due <= now;
    };
    for (AlarmEntry& entry : alarms) {
        if (cameDue(entry))
            entry.missed = true;
    }
    constexpr std::int64_t kStillRelevant = 3600;
    for (AlarmEntry entry : started) {
        applyAnswer(entry, answers);
        if (entry.endTime + kStillRelevant < now || !cameDue(entry))
            continue;
        entry.missed = true;
        missed.push_back(std::move(entry));
    }
    return missed;
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
