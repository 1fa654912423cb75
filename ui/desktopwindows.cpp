// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopwindows.h"

#include "app/palmuserswatcher.h"
#include "app/refreshworker.h"
#include "ui/mainwindow.h"
#include "ui/platform/platformautostart.h"

#include <QApplication>

DesktopWindows::DesktopWindows() : m_autostart(makeAutostart()) {}

DesktopWindows::~DesktopWindows() = default;

void DesktopWindows::openMainWindow(const RunContext& context)
{
    m_window = std::make_unique<MainWindow>(context.settings, context.rescan, context.users,
                                            context.profile, context.saveSettings, context.clock);
    QObject::connect(&context.worker, &RefreshWorker::listUpdated, m_window.get(),
                     &MainWindow::updateList, Qt::QueuedConnection);
    // The worker waits for the user's answer; the window answers on its own thread.
    QObject::connect(&context.worker, &RefreshWorker::alarmDue, m_window.get(),
                     &MainWindow::answerAlarm, Qt::BlockingQueuedConnection);
    QObject::connect(&context.usersWatcher, &PalmUsersWatcher::usersChanged, m_window.get(),
                     &MainWindow::refillUsers);
    // exit(), not quit(): quit() first asks every window to close, and the main window
    // refuses, since closing it only hides it.
    QObject::connect(
        m_window.get(), &MainWindow::quitRequested, qApp, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    m_window->show();
}

void DesktopWindows::showMainWindow()
{
    if (m_window)
        m_window->showWindow();
}

void DesktopWindows::runUntilQuit()
{
    QApplication::exec();
}
