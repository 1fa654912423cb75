// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class PalmUsers;

// Told when the Palm Desktop knows no user at all; the window layer shows the message box.
class NoPalmDesktopNotice
{
public:
    virtual ~NoPalmDesktopNotice() = default;
    virtual void showNoPalmDesktop() = 0;
};

// Every user option, the selected Palm user and that user's two data files. Field names are
// the profile's value names. No field has its range enforced: whatever is loaded or entered
// is used unchanged.
class Settings
{
public:
    // Default values only; no Palm user selected, paths empty.
    Settings() = default;
    // Default values, then the first Palm user is selected, or `notice` is told there is none.
    Settings(const PalmUsers* users, NoPalmDesktopNotice* notice);

    // Records `id` and derives the datebook and to-do paths from it. An id the Palm Desktop
    // does not know gives empty paths, so the scans report a failure.
    void selectPalmUser(int id);

    const PalmUsers* palmUsers() const { return m_users; }

    int showalltodaysappts = 0;
    int warnagaintime = 1;
    int warnred = 1;
    int showuntimedappts = 1;
    int autostart = 0; // 1 shortcut present, 0 absent, -1 no autostart folder (counts as on)
    int autohide = 1;
    QString password;
    int rememberpassword = 0;
    int showprivate = 0;
    int showtodosnodate = 0;
    int showtodos = 1;
    int maxprio = 1;
    int warntime = 5;
    int beep = 0;
    QString datebookpath;
    QString todopath;
    int palmuserid = -1;
    int ringmissed = 1; // alarms that came due while Chimewell was not watching ring late

private:
    const PalmUsers* m_users = nullptr;
};
