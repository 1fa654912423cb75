// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/alarmanswers.h"

#include <QMap>
#include <QString>

#include <cstdint>

// What Chimewell keeps of one Palm user between runs: the instant up to which it watched his
// alarms, and his answers to today's alarms.
struct UserAlarmState
{
    std::int64_t watchedUntil = 0; // 0: never watched
    AlarmAnswers answers;
};

// By Palm user id.
using AlarmState = QMap<int, UserAlarmState>;

// The file "alarmstate.json" in a folder of Chimewell's own, readable by the user alone and
// replaced in one step, so a crash leaves the old or the new state, never half of one.
class AlarmStateFile
{
public:
    explicit AlarmStateFile(QString folder);

    // The state kept, without answers to appointments that started before `dayStart`. A file
    // that is missing, damaged or not Chimewell's gives an empty state (logged).
    AlarmState load(std::int64_t dayStart) const;
    // Writes `state` without answers to appointments before `dayStart`. False (logged) when
    // it did not reach the disk.
    bool save(const AlarmState& state, std::int64_t dayStart) const;

    QString fileName() const;

private:
    QString m_folder;
};

// Where the state lives: $XDG_STATE_HOME/chimewell, else ~/.local/state/chimewell; on Windows
// %LOCALAPPDATA%\chimewell.
QString alarmStateFolder();
