// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/records.h"

#include <QHash>
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

// Where an AlarmList's entries are, by start, description and note (the first entry of each),
// so that a scan merges each candidate in constant time. It stays right while the list changes
// only through mergeAlarmEntry.
class AlarmIndex
{
public:
    explicit AlarmIndex(const AlarmList& alarms);
    // The position of the entry with the same start, description and note, or -1.
    qsizetype find(const AlarmEntry& entry) const;
    void add(const AlarmEntry& entry, qsizetype position);

private:
    struct Key
    {
        palmfile::TimeValue startTime;
        QString description;
        QString note;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& key, size_t seed)
        {
            return qHashMulti(seed, key.startTime, key.description, key.note);
        }
    };
    QHash<Key, qsizetype> m_positions;
};

// Marks the entry with the candidate's start, description and note as seen, so it keeps its
// alarm state; without one, appends the candidate as a new entry. `index` is the list's.
void mergeAlarmEntry(AlarmList& alarms, AlarmEntry candidate, AlarmIndex& index);

// Orders by start as the exchange procedure of the today list does (each entry in turn swapped
// with every earlier one that starts later); entries with equal starts end up in the order that
// procedure gives, which decides which of them rings first. Takes O(n log n).
void sortAlarmList(AlarmList& alarms);
