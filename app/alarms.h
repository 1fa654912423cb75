// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/alarmlist.h"

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

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
// are entries) or "No appointments today".
QString firstLineText(const AlarmList& alarms, const QLocale& locale);

// The tooltip made of a first-line text: at most 60 characters, cut between characters (never
// inside a surrogate pair); a text shorter than 30 characters has its line breaks flattened.
QString tooltipText(const QString& firstLine);
