// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

class Autostart;
class Clock;
class DataFileWatcher;
class NoPalmDesktopNotice;
class PalmDesktopUsers;
class PalmUsers;
class PalmUsersWatcher;
class QSemaphore;
class QSettings;
class RefreshWorker;
class SharedSettings;
class SingleInstanceGuard;
class AlarmStateFile;
class TerminationSignals;
class TodayListBuilder;

// What a save of the settings writes: the profile's values alone, as soon as one of them
// changed, or also the autostart entry that the autostart option asks for.
enum class SaveScope
{
    Values,
    ValuesAndAutostart
};

// Everything the main window is wired to; it lives until the process ends.
struct RunContext
{
    SharedSettings& settings;
    QSemaphore& rescan;
    const PalmUsers& users;
    QSettings& profile;
    std::function<void(SaveScope)> saveSettings;
    RefreshWorker& worker;
    const Clock& clock;
    // Tells when the Palm users were read again (a user was added in Palm Desktop).
    const PalmUsersWatcher& usersWatcher;
};

// What the start-up needs from the windows; the desktop implementation lives with the widgets,
// tests use their own.
class WindowLayer
{
public:
    virtual ~WindowLayer() = default;
    virtual NoPalmDesktopNotice& noPalmDesktopNotice() = 0;
    virtual Autostart& autostart() = 0;
    // Creates and shows the main window wired to the worker, which starts once this returns;
    // the window's set-up requests the worker's first pass.
    virtual void openMainWindow(const RunContext& context) = 0;
    // A later copy of the program was started: bring the main window to the front.
    virtual void showMainWindow() = 0;
    // Runs the event loop until the user quits or endRun() is called.
    virtual void runUntilQuit() = 0;
    // Ends runUntilQuit() as Quit does, also from within a modal window's loop.
    virtual void endRun() = 0;
    // A message box (stop icon, OK) that returns once the user closed it.
    virtual void showError(const QString& text) = 0;
};

struct StartupOptions
{
    QString applicationName; // the executable's base name: profile and instance names
    QString privateFolder;   // per user: the instance lock, its socket and the private copies
    std::chrono::milliseconds pause{1000};
    QString stateFolder; // the alarm state kept across restarts; empty: none is kept
};

// The life of the process: one copy per user, settings loaded, the worker beside the main
// window, and after Quit, SIGTERM or SIGINT the settings saved, the worker told to stop and the
// private copies, the instance lock and its socket deleted. The caller ends the process right
// after initInstance() returns, without waiting for the worker (which may be blocked in a scan).
class Startup
{
public:
    Startup(StartupOptions options, const Clock& clock, WindowLayer& windows);
    ~Startup();

    // -1 when another copy runs (it was asked to show its window) or when the private folder
    // or the lock in it cannot be had (the user was told why), 0 after Quit or a termination
    // signal.
    int initInstance();

    // For tests: the worker, which has been told to stop when initInstance() returned 0.
    RefreshWorker* worker() const { return m_worker.get(); }

private:
    // Tells the user why this copy cannot run; -1.
    int cannotRun(const QString& reason);
    bool saveSettings(SaveScope scope);
    void endOnSignal();
    void shutdown();

    StartupOptions m_options;
    const Clock& m_clock;
    WindowLayer& m_windows;
    std::unique_ptr<SingleInstanceGuard> m_guard;
    std::unique_ptr<TerminationSignals> m_termination;
    bool m_endRequested = false;
    std::unique_ptr<QSettings> m_profile;
    std::unique_ptr<PalmDesktopUsers> m_users;
    std::unique_ptr<PalmUsersWatcher> m_usersWatcher;
    std::unique_ptr<SharedSettings> m_settings;
    std::unique_ptr<QSemaphore> m_rescan;
    std::atomic<bool> m_shutdown{false};
    std::unique_ptr<TodayListBuilder> m_builder;
    std::unique_ptr<AlarmStateFile> m_stateFile;
    std::unique_ptr<RefreshWorker> m_worker;
    std::unique_ptr<DataFileWatcher> m_watcher;
    // A failed save is told once, not again until a save succeeds.
    bool m_saveFailureTold = false;
};
