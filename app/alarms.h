// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/alarmanswers.h"
#include "palm/alarmlist.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

class Settings;

// When `entry` rings: its start minus its own lead (or `warntime` minutes when it has none),
// or, once snoozed, `warnagaintime` minutes after the alarm window closed. None when
// acknowledged.
std::optional<std::int64_t> dueTime(const AlarmEntry& entry, int warntime, int warnagaintime);

// The first entry in AlarmList order that is due at `now`, or null. There is no lower bound:
// an entry whose start has passed stays due until acknowledged or dropped by a rescan.
AlarmEntry* findDueAlarm(AlarmList& alarms, int warntime, int warnagaintime, std::int64_t now);

// The earliest instant at which an entry of the list is due, or none.
std::optional<std::int64_t> nextDueTime(const AlarmList& alarms, int warntime, int warnagaintime);

// The start's time text, a blank and the description, then CR LF and the note when there is
// one. Never cut, however long.
QString formatAlarmText(const AlarmEntry& entry, const QLocale& locale);

// The first entry not yet acknowledged as alarm text, else "No more appointments today" (there
// are entries) or "No appointments today". Private entries count only with `showPrivate`.
QString firstLineText(const AlarmList& alarms, const QLocale& locale, bool showPrivate = true);

// What the alarm window says: formatAlarmText(), for a private appointment while private items
// are hidden only its time and "Private appointment", and "Missed reminder: " before a missed
// one.
QString alarmWindowText(const AlarmEntry& entry, bool showPrivate, const QLocale& locale);

// The alarms that came due after `watchedUntil` and up to `now` while nobody watched (Chimewell
// was not running, or the machine slept) and were not acknowledged, unless `ringmissed` is off:
// such entries of `alarms` are marked missed and ring from there; copies of the appointments of
// `started` are returned marked missed, by start, but none of one that ended more than an
// hour before `now` (the list shows it). `watchedUntil` 0: nothing was watched before.
AlarmList selectMissedAlarms(AlarmList& alarms, const AlarmList& started,
                             const AlarmAnswers& answers, const Settings& settings,
                             std::int64_t watchedUntil, std::int64_t now);

// The tooltip made of a first-line text: at most 60 characters, cut between characters (never
// inside a surrogate pair); a text shorter than 30 characters has its line breaks flattened.
QString tooltipText(const QString& firstLine);
