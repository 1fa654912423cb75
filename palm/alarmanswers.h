// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarmlist.h"

#include <QHash>
#include <QString>

// The user's last answer to one alarm: acknowledged, or snoozed when the window closed.
struct AlarmAnswer
{
    palmfile::TimeValue start = 0;
    bool acknowledged = false;
    palmfile::TimeValue snoozedAt = 0;

    friend bool operator==(const AlarmAnswer&, const AlarmAnswer&) = default;
};

// One Palm user's answers, by alarmKey(). They outlive the AlarmList entries, which a restart,
// a switch of the Palm user or a rescan after the start drop.
using AlarmAnswers = QHash<QString, AlarmAnswer>;

// An entry's identity (start, description, note) as a digest, so that no appointment text is
// kept beside the answer.
QString alarmKey(const AlarmEntry& entry);

// Keeps the answer `entry` holds (acknowledged or snoozed); an entry without one is ignored.
void recordAnswer(AlarmAnswers& answers, const AlarmEntry& entry);

// Gives every entry that has no answer of its own the one kept for it.
void applyAnswers(AlarmList& alarms, const AlarmAnswers& answers);
void applyAnswer(AlarmEntry& entry, const AlarmAnswers& answers);

// Drops the answers to appointments that started before `dayStart`.
void pruneAnswers(AlarmAnswers& answers, palmfile::TimeValue dayStart);
