// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QThread>

#include <atomic>

class Clock;
class QSemaphore;
class SharedSettings;
class TodayListBuilder;

// The background thread that rescans the Palm data and raises the alarms. It passes every
// 5 seconds, at once on every release of the rescan semaphore (that pass reads the files even
// when unchanged), and at the next due alarm when that comes sooner.
class RefreshWorker : public QThread
{
    Q_OBJECT

public:
    RefreshWorker(SharedSettings& settings, QSemaphore& rescan, std::atomic<bool>& shutdown,
                  TodayListBuilder& builder, const Clock& clock, QObject* parent = nullptr);

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
    // Scans and posts what changed. False when a scan failed.
    bool scan(bool force);
    // Raises the first due alarm. False when one was due but no window showed it.
    bool raiseDueAlarm();
    // Waits for a release (true) or until the poll interval ends, or with `endAtNextDue` the
    // next due alarm when that comes sooner.
    bool waitForNextPass(bool endAtNextDue);

    SharedSettings& m_settings;
    QSemaphore& m_rescan;
    std::atomic<bool>& m_shutdown;
    TodayListBuilder& m_builder;
    const Clock& m_clock;
};
