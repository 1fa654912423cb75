// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/records.h"

#include <QString>

#include <vector>

// One timed appointment of today that had not started when it was scanned, with its alarm
// state. Vocabulary: *start* is the occurrence's start, *lead* the minutes before it, *due*
// the instant the alarm rings (start minus lead, or snooze time plus the snooze interval).
struct AlarmEntry
{
    palmfile::TimeValue startTime = 0;
    QString description; // line breaks flattened
    QString note;        // line breaks kept
    int snoozed = 0;
    int alarmAdvance = -1; // minutes; negative: the `warntime` setting applies
    palmfile::TimeValue snoozedAt = 0;
    int acknowledged = 0;
    int seen = 0;                    // produced by the latest scan
    palmfile::TimeValue endTime = 0; // the appointment's end (its start when it has none)
    bool isPrivate = false;          // its text rings only where private items are shown
    bool missed = false;             // it came due while Chimewell was not watching
};

// Ordered by start after every scan that changed anything; kept across scans.
using AlarmList = std::vector<AlarmEntry>;

// Minutes 0..99 from a trailing "REM n" or "REM nn" in a description, else -1.
int parseReminderSuffix(const QString& description);

// Marks the entry with the candidate's start, description and note as seen, so it keeps its
// alarm state; without one, appends the candidate as a new entry.
void mergeAlarmEntry(AlarmList& alarms, AlarmEntry candidate);

// Orders by start with the exchange procedure of the today list; entries with equal starts end
// up in the order that procedure gives, which decides which of them rings first.
void sortAlarmList(AlarmList& alarms);
