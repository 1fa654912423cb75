// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "refreshworker.h"

#include "alarms.h"
#include "logcategories.h"
#include "palm/clock.h"
#include "palm/todaylist.h"
#include "sharedsettings.h"
#include "todaypass.h"

#include <QSemaphore>

#include <algorithm>

namespace {

constexpr int kStartDelayMs = 500;
constexpr int kPollMs = 5000;

// The window thread wrote the answer before the blocking call returned; Qt's own (for the
// thread sanitizer invisible) synchronisation orders the two, so scripts/sanitizers/tsan.supp
// names this function.
[[gnu::noinline]] int readAlarmAnswer(const int& answer)
{
    return answer;
}

} // namespace

RefreshWorker::RefreshWorker(SharedSettings& settings, QSemaphore& rescan,
                             std::atomic<bool>& shutdown, TodayListBuilder& builder,
                             const Clock& clock, QObject* parent)
    : QThread(parent), m_settings(settings), m_rescan(rescan), m_shutdown(shutdown),
      m_builder(builder), m_clock(clock)
{}

void RefreshWorker::run()
{
    msleep(kStartDelayMs);
    // The window releases the semaphore once when it is ready; that release starts the first
    // pass, which is forced whatever ended the wait.
    m_rescan.tryAcquire(1, kPollMs);
    bool force = true;
    while (!m_shutdown.load()) {
        force = !scan(force);
        // An alarm that found no window would otherwise be raised again at once, over and over.
        const bool alarmHandedOver = raiseDueAlarm();
        if (waitForNextPass(alarmHandedOver)) {
            if (m_shutdown.load())
                break;
            force = true;
        }
    }
    qCDebug(lcWorker) << "refresh worker ends";
}

bool RefreshWorker::scan(bool force)
{
    const TodayPass pass = runTodayPass(m_builder, m_settings.snapshot(), force);
    qCDebug(lcWorker) << "pass" << (force ? "(forced)" : "") << "result" << pass.result;
    if (pass.post)
        emit listUpdated(pass.tooltip, pass.lines);
    return pass.result >= 0;
}

bool RefreshWorker::raiseDueAlarm()
{
    // The alarm window may have changed the snooze interval: read the settings anew.
    const Settings settings = m_settings.snapshot();
    const std::int64_t now = m_clock.now();
    AlarmEntry* entry =
        findDueAlarm(m_builder.alarms(), settings.warntime, settings.warnagaintime, now);
    if (!entry)
        return true;
    const QString text = formatAlarmText(*entry, m_builder.locale());
    qCDebug(lcAlarm) << "alarm due at" << now << "for start" << entry->startTime << "lead"
                     << entry->alarmAdvance << "warntime" << settings.warntime << "snoozed"
                     << entry->snoozed << entry->description;
    int answer = -1;
    emit alarmDue(text, &answer);
    const int given = readAlarmAnswer(answer);
    if (given < 0) {
        qCWarning(lcAlarm) << "no window showed the alarm; it stays due:" << entry->description;
        return false;
    }
    if (given != 0) {
        entry->acknowledged = 1;
        qCDebug(lcAlarm) << "alarm acknowledged:" << entry->description;
    } else {
        // The snooze counts from the moment the alarm window closed.
        entry->snoozed = 1;
        entry->snoozedAt = m_clock.now();
        qCDebug(lcAlarm) << "alarm snoozed at" << entry->snoozedAt << ":" << entry->description;
    }
    return true;
}

bool RefreshWorker::waitForNextPass(bool endAtNextDue)
{
    int timeoutMs = kPollMs;
    const Settings settings = m_settings.snapshot();
    if (const auto due = endAtNextDue ? nextDueTime(m_builder.alarms(), settings.warntime,
                                                    settings.warnagaintime)
                                      : std::nullopt) {
        const std::int64_t untilDue = *due * 1000 - m_clock.nowMs();
        timeoutMs = int(std::clamp<std::int64_t>(untilDue, 0, kPollMs));
        qCDebug(lcAlarm) << "next alarm due at" << *due << "waiting" << timeoutMs << "ms";
    }
    return m_rescan.tryAcquire(1, timeoutMs);
}
