// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "refreshworker.h"

#include "alarms.h"
#include "logcategories.h"
#include "palm/clock.h"
#include "palm/todaylist.h"
#include "palmfile/localdate.h"
#include "sharedsettings.h"
#include "todaypass.h"

#include <QSemaphore>

#include <algorithm>

namespace {

constexpr int kStartDelayMs = 500;
constexpr int kPollMs = 5000;
// A wait that took this much longer than the poll means the machine slept or the clock was set
// forward: alarms may have come due unseen.
constexpr std::int64_t kClockJumpSeconds = 60;
constexpr std::int64_t kStateSaveSeconds = 60;

std::int64_t dayStartOf(std::int64_t now)
{
    return palmfile::localMidnight(palmfile::localDateOf(now));
}

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
                             const Clock& clock, const AlarmStateFile* stateFile, QObject* parent)
    : QThread(parent), m_settings(settings), m_rescan(rescan), m_shutdown(shutdown),
      m_builder(builder), m_clock(clock), m_stateFile(stateFile)
{}

void RefreshWorker::run()
{
    msleep(kStartDelayMs);
    // The window releases the semaphore once when it is ready; that release starts the first
    // pass, which is forced whatever ended the wait.
    m_rescan.tryAcquire(1, kPollMs);
    if (m_stateFile)
        m_state = m_stateFile->load(dayStartOf(m_clock.now()));
    bool force = true;
    // Until a pass has read the datebook, the alarms missed before the start are not known.
    bool lookForMissed = true;
    std::int64_t waitStarted = 0;
    std::int64_t lastPassMs = 0;
    std::int64_t lastPassSteadyMs = 0;
    while (!m_shutdown.load()) {
        const std::int64_t now = m_clock.now();
        // Where the steady clock stands still during a sleep, a sleep while the alarm window
        // was open shows too; elsewhere the wait that lasted far too long tells.
        const std::int64_t nowMs = m_clock.nowMs();
        const std::int64_t steadyMs = m_clock.steadyMs();
        const std::int64_t jumpMs = std::max((nowMs - lastPassMs) - (steadyMs - lastPassSteadyMs),
                                             (now - waitStarted) * 1000);
        if (waitStarted && jumpMs > kClockJumpSeconds * 1000) {
            qCInfo(lcAlarm) << "the clock jumped forward by" << jumpMs / 1000
                            << "seconds: looking for missed alarms";
            lookForMissed = true;
        }
        lastPassMs = nowMs;
        lastPassSteadyMs = steadyMs;
        const Settings settings = m_settings.snapshot();
        UserAlarmState& user = m_state[settings.palmuserid];
        m_builder.setAnswers(&user.answers);
        const int result = scan(settings, force || lookForMissed);
        force = result < 0;
        if (lookForMissed && result != 0 && m_builder.datebookFailure().isEmpty()) {
            lookForMissedAlarms(settings, now);
            lookForMissed = false;
        }
        // An alarm that found no window would otherwise be raised again at once, over and over.
        const bool alarmHandedOver = raiseDueAlarm(settings.palmuserid, user.answers);
        if (!lookForMissed)
            user.watchedUntil = now;
        saveState(false);
        waitStarted = m_clock.now();
        if (waitForNextPass(alarmHandedOver)) {
            if (m_shutdown.load())
                break;
            force = true;
        }
    }
    saveState(true);
    qCDebug(lcWorker) << "refresh worker ends";
}

int RefreshWorker::scan(const Settings& settings, bool force)
{
    const TodayPass pass = runTodayPass(m_builder, settings, force);
    qCDebug(lcWorker) << "pass" << (force ? "(forced)" : "") << "result" << pass.result;
    if (pass.post)
        emit listUpdated(pass.tooltip, pass.lines);
    return pass.result;
}

void RefreshWorker::lookForMissedAlarms(const Settings& settings, std::int64_t now)
{
    UserAlarmState& user = m_state[settings.palmuserid];
    if (m_missedUser != settings.palmuserid)
        m_missed.clear();
    m_missedUser = settings.palmuserid;
    AlarmList found = selectMissedAlarms(m_builder.alarms(), m_builder.startedToday(), user.answers,
                                         settings, user.watchedUntil, now);
    for (AlarmEntry& entry : found) {
        const QString key = alarmKey(entry);
        if (std::any_of(m_missed.begin(), m_missed.end(),
                        [&key](const AlarmEntry& queued) { return alarmKey(queued) == key; }))
            continue;
        qCDebug(lcAlarm) << "missed alarm of start" << entry.startTime << "watched until"
                         << user.watchedUntil << ":" << entry.description;
        m_missed.push_back(std::move(entry));
    }
    std::stable_sort(
        m_missed.begin(), m_missed.end(),
        [](const AlarmEntry& a, const AlarmEntry& b) { return a.startTime < b.startTime; });
}

void RefreshWorker::saveState(bool now)
{
    if (!m_stateFile)
        return;
    const std::int64_t time = m_clock.now();
    const std::int64_t elapsed = time - m_stateSavedAt;
    if (!now && !m_stateChanged &&
        (std::abs(elapsed) < kStateSaveSeconds || (elapsed > 0 && !alarmCameDue(time))))
        return;
    m_stateFile->save(m_state, dayStartOf(time));
    m_stateChanged = false;
    m_stateSavedAt = time;
    m_savedUser = m_settings.snapshot().palmuserid;
}

bool RefreshWorker::alarmCameDue(std::int64_t now) const
{
    const Settings settings = m_settings.snapshot();
    if (settings.palmuserid != m_savedUser)
        return true;
    const auto cameDue = [&](const AlarmEntry& entry) {
        const std::optional<std::int64_t> due =
            dueTime(entry, settings.warntime, settings.warnagaintime);
        return due && m_stateSavedAt < *due && *due <= now;
    };
    return std::any_of(m_builder.alarms().begin(), m_builder.alarms().end(), cameDue) ||
           std::any_of(m_builder.startedToday().begin(), m_builder.startedToday().end(), cameDue);
}

bool RefreshWorker::raiseDueAlarm(int palmUser, AlarmAnswers& answers)
{
    // The alarm window may have changed the snooze interval: read the settings anew.
    const Settings settings = m_settings.snapshot();
    const std::int64_t now = m_clock.now();
    const std::int64_t dayStart = dayStartOf(now);
    std::erase_if(m_missed, [dayStart](const AlarmEntry& entry) {
        return entry.acknowledged || entry.startTime < dayStart;
    });
    AlarmEntry* entry = m_missedUser == palmUser
                            ? findDueAlarm(m_missed, settings.warntime, settings.warnagaintime, now)
                            : nullptr;
    if (!entry)
        entry = findDueAlarm(m_builder.alarms(), settings.warntime, settings.warnagaintime, now);
    if (!entry)
        return true;
    const QString text = alarmWindowText(*entry, settings.showprivate != 0, m_builder.locale());
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
    recordAnswer(answers, *entry);
    m_stateChanged = true;
    return true;
}

bool RefreshWorker::waitForNextPass(bool endAtNextDue)
{
    int timeoutMs = kPollMs;
    const Settings settings = m_settings.snapshot();
    std::optional<std::int64_t> due;
    if (endAtNextDue) {
        due = nextDueTime(m_builder.alarms(), settings.warntime, settings.warnagaintime);
        const auto missedDue = nextDueTime(m_missed, settings.warntime, settings.warnagaintime);
        if (missedDue && (!due || *missedDue < *due))
            due = missedDue;
    }
    if (due) {
        const std::int64_t untilDue = *due * 1000 - m_clock.nowMs();
        timeoutMs = int(std::clamp<std::int64_t>(untilDue, 0, kPollMs));
        qCDebug(lcAlarm) << "next alarm due at" << *due << "waiting" << timeoutMs << "ms";
    }
    return m_rescan.tryAcquire(1, timeoutMs);
}
