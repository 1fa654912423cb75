// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarmstate.h"
#include "palm/alarmlist.h"

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class Clock;
class QSemaphore;
class Settings;
class SharedSettings;
class TodayListBuilder;

// The background thread that rescans the Palm data and raises the alarms. It passes every
// 5 seconds, at once on every release of the rescan semaphore (that pass reads the files even
// when unchanged), and at the next due alarm when that comes sooner. With a state file it keeps
// each Palm user's answers and the instant up to which it watched across restarts; at its
// start, and after the clock jumped forward (the machine slept), it rings the alarms that came
// due meanwhile, marked as missed.
class RefreshWorker : public QThread
{
    Q_OBJECT

public:
    // `stateFile` may be null: then nothing is kept across restarts.
    RefreshWorker(SharedSettings& settings, QSemaphore& rescan, std::atomic<bool>& shutdown,
                  TodayListBuilder& builder, const Clock& clock,
                  const AlarmStateFile* stateFile = nullptr, QObject* parent = nullptr);

signals:
    // A new tooltip text and today's lines; connect queued (the arguments are copies).
    void listUpdated(const QString& tooltip, const QStringList& lines);
    // An alarm is due. Connect with Qt::BlockingQueuedConnection; the receiver shows the alarm
    // window and, once it is closed, writes 1 into `answer` when the user acknowledged it, 0 to
    // be reminded again. An answer left at -1 means no window showed it: it stays due.
    void alarmDue(const QString& alarmText, int* answer);

protected:
    void run() override;

private:
    // Scans and posts what changed; buildTodayList's result.
    int scan(const Settings& settings, bool force);
    // Queues the alarms that came due after the user's watermark, up to `now`.
    void lookForMissedAlarms(const Settings& settings, std::int64_t now);
    // Raises the first due alarm, missed ones first, and keeps the answer among `answers` of
    // `palmUser`. False when one was due but no window showed it.
    bool raiseDueAlarm(int palmUser, AlarmAnswers& answers);
    // Writes the state when an answer changed it, else at most once a minute while alarms come
    // due: the watermark decides which alarms ring as missed after a restart, and between two
    // instants where none came due its value changes nothing (so idle minutes write nothing).
    void saveState(bool now);
    // Whether an alarm of the list came due since the last save, or the Palm user changed.
    bool alarmCameDue(std::int64_t now) const;
    // Waits for a release (true) or until the poll interval ends, or with `endAtNextDue` the
    // next due alarm when that comes sooner.
    bool waitForNextPass(bool endAtNextDue);

    SharedSettings& m_settings;
    QSemaphore& m_rescan;
    std::atomic<bool>& m_shutdown;
    TodayListBuilder& m_builder;
    const Clock& m_clock;
    const AlarmStateFile* m_stateFile;
    AlarmState m_state;
    bool m_stateChanged = false;
    std::int64_t m_stateSavedAt = 0;
    int m_savedUser = -1;
    // Missed alarms of appointments that had started; they ring before AlarmList's.
    AlarmList m_missed;
    int m_missedUser = -1;
};
