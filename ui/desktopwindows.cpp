// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktopwindows.h"

#include "app/palmuserswatcher.h"
#include "app/refreshworker.h"
#include "app/stringtable.h"
#include "ui/mainwindow.h"
#include "ui/platform/platformautostart.h"

#include <QApplication>
#include <QMessageBox>
#include <QSessionManager>

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
    QObject::connect(
        m_window.get(), &MainWindow::quitRequested, qApp, [this] { endRun(); },
        Qt::QueuedConnection);
    // The session is about to end (log-out, shutdown); it may still be cancelled, and what
    // comes after may be a kill.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, m_window.get(),
        [save = context.saveSettings](QSessionManager&) { save(SaveScope::ValuesAndAutostart); });
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

void DesktopWindows::endRun()
{
    // exit(), not quit(): quit() first asks every window to close, and the main window
    // refuses, since closing it only hides it. exit() also ends the loop of a modal window.
    QCoreApplication::exit(0);
}

void DesktopWindows::showError(const QString& text)
{
    QMessageBox::critical(nullptr, loadText(IDS_APP_TITLE), text, QMessageBox::Ok);
}
