// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/startup.h"
#include "ui/messageboxnotice.h"

#include <memory>

class MainWindow;

// The windows of the desktop program: the main window with its tray icon, message boxes, and
// this desktop's autostart entry.
class DesktopWindows : public WindowLayer
{
public:
    DesktopWindows();
    ~DesktopWindows() override;

    NoPalmDesktopNotice& noPalmDesktopNotice() override { return m_notice; }
    Autostart& autostart() override { return *m_autostart; }
    void openMainWindow(const RunContext& context) override;
    void showMainWindow() override;
    void runUntilQuit() override;
    void endRun() override;

    MainWindow* mainWindow() const { return m_window.get(); }

private:
    MessageBoxNotice m_notice;
    std::unique_ptr<Autostart> m_autostart;
    std::unique_ptr<MainWindow> m_window;
};
