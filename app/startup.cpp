// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "app/alarmstate.h"
#include "app/datafilewatcher.h"
#include "app/logcategories.h"
#include "app/palmuserswatcher.h"
#include "app/platform/terminationsignals.h"
#include "app/refreshworker.h"
#include "app/settingsstorage.h"
#include "app/sharedsettings.h"
#include "app/singleinstance.h"
#include "app/stringtable.h"
#include "palm/palmdesktopusers.h"
#include "palm/privatefolder.h"
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "palmfile/desktopfolder.h"

#include <QLoggingCategory>
#include <QSemaphore>
#include <QSettings>
#include <QThread>

namespace {

// How long shutdown lets a scan in progress finish, so that it leaves no private copy behind.
constexpr unsigned long kScanFinishMs = 2000;

QString palmDesktopFolder(const QSettings& profile)
{
    const QString configured = profile.value(QStringLiteral("Options/palmdesktop")).toString();
    const auto found =
        palmfile::findDesktopFolder(palmfile::desktopFolderInputs(configured.toStdString()));
    if (!found) {
        qCDebug(lcStartup) << "no Palm Desktop folder found";
        return {};
    }
    qCDebug(lcStartup) << "Palm Desktop folder:" << QString::fromStdString(*found);
    return QString::fromStdString(*found);
}

} // namespace

Startup::Startup(StartupOptions options, const Clock& clock, WindowLayer& windows)
    : m_options(std::move(options)), m_clock(clock), m_windows(windows)
{}

Startup::~Startup() = default;

int Startup::initInstance()
{
    // Without a folder of its own, or a lock in it, another user could stop or blind this copy,
    // or a second one could run beside it: end as when another copy runs.
    QString folderError;
    if (!ensurePrivateFolder(m_options.privateFolder, folderError))
        return cannotRun(folderError);
    m_guard =
        std::make_unique<SingleInstanceGuard>(m_options.privateFolder, m_options.applicationName);
    switch (m_guard->checkSingleInstance()) {
    case SingleInstanceGuard::Check::Run:
        break;
    case SingleInstanceGuard::Check::AnotherRuns:
        return -1;
    case SingleInstanceGuard::Check::CannotGuard:
        return cannotRun(m_guard->error());
    }
    QObject::connect(m_guard.get(), &SingleInstanceGuard::activationRequested,
                     [this] { m_windows.showMainWindow(); });
    m_termination = std::make_unique<TerminationSignals>();
    QObject::connect(m_termination.get(), &TerminationSignals::received, [this] { endOnSignal(); });

    m_profile = openProfile(m_options.applicationName);
    QThread::msleep(static_cast<unsigned long>(m_options.pause.count()));

    m_users = std::make_unique<PalmDesktopUsers>(palmDesktopFolder(*m_profile));
    m_usersWatcher = std::make_unique<PalmUsersWatcher>(*m_users);
    Settings settings(m_users.get(), &m_windows.noPalmDesktopNotice());
    SettingsStorage(*m_profile, &m_windows.autostart()).load(settings);
    m_settings = std::make_unique<SharedSettings>(std::move(settings));

    m_rescan = std::make_unique<QSemaphore>(0);
    m_shutdown = false;
    m_builder = std::make_unique<TodayListBuilder>(m_clock, m_options.privateFolder,
                                                   loadText(IDS_TODO_PREFIX));
    if (!m_options.stateFolder.isEmpty())
        m_stateFile = std::make_unique<AlarmStateFile>(m_options.stateFolder);
    m_worker = std::make_unique<RefreshWorker>(*m_settings, *m_rescan, m_shutdown, *m_builder,
                                               m_clock, m_stateFile.get());
    m_watcher = std::make_unique<DataFileWatcher>(*m_settings, *m_rescan);
    QObject::connect(m_worker.get(), &RefreshWorker::listUpdated, m_watcher.get(),
                     &DataFileWatcher::updatePaths);

    const auto save = [this](SaveScope scope) { saveSettings(scope); };
    const RunContext context{*m_settings, *m_rescan, *m_users, *m_profile,
                             save,        *m_worker, m_clock,  *m_usersWatcher};
    m_windows.openMainWindow(context);
    // Only now is everything the worker hands over wired to the window: a first pass made
    // earlier would post its list into nothing and find no window for its alarm.
    m_worker->start();
    // A termination signal handled during the start-up (in a message box's loop) has already
    // asked for the end.
    if (!m_endRequested)
        m_windows.runUntilQuit();

    shutdown();
    return 0;
}

int Startup::cannotRun(const QString& reason)
{
    qCCritical(lcStartup).noquote() << reason;
    m_windows.showError(loadText(IDS_NO_PRIVATE_FOLDER).arg(reason));
    return -1;
}

bool Startup::saveSettings(SaveScope scope)
{
    Autostart* autostart =
        scope == SaveScope::ValuesAndAutostart ? &m_windows.autostart() : nullptr;
    // A profile object of its own: QSettings keeps the first error it met, which would make
    // every later save look failed, or hide a failure behind a damaged file read at start.
    const std::unique_ptr<QSettings> profile = openProfile(m_options.applicationName);
    const int status = SettingsStorage(*profile, autostart).save(m_settings->snapshot());
    if (status != 0)
        qCWarning(lcStartup) << "the settings could not be saved completely, status" << status;
    // After a termination signal no message box may hold up the end: the session may be ending.
    if (status != SettingsStorage::kNotWritten) {
        m_saveFailureTold = false;
    } else if (!m_saveFailureTold && !m_endRequested) {
        m_saveFailureTold = true;
        m_windows.showError(loadText(IDS_SETTINGS_NOT_SAVED).arg(profile->fileName()));
    }
    return status == 0;
}

void Startup::endOnSignal()
{
    qCInfo(lcStartup) << "termination signal: ending as after Quit";
    m_endRequested = true;
    m_windows.endRun();
}

void Startup::shutdown()
{
    saveSettings(SaveScope::ValuesAndAutostart);
    m_shutdown = true;
    m_rescan->release();
    // A scan that is copying a data file right now would leave its copy behind.
    if (!m_worker->wait(kScanFinishMs))
        qCWarning(lcStartup) << "the refresh worker did not stop in time";
    m_builder->deleteCopies();
    // The process ends without destructors: let go of the instance lock now.
    m_guard.reset();
}
