// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/autostart.h"

#include <QString>

// Start at logon through the freedesktop.org autostart entry "Chimewell.desktop" in the
// user's autostart folder ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart).
class XdgAutostart : public Autostart
{
public:
    // An empty `autostartFolder` means none can be determined: every operation answers -1.
    XdgAutostart(const QString& autostartFolder, const QString& executable);

    int startupShortcutExists() override;
    int createStartupShortcut() override;
    int deleteStartupShortcut() override;

    QString entryPath() const;
    // The user's autostart folder, "" when neither XDG_CONFIG_HOME nor a home folder is known.
    static QString defaultFolder();

private:
    QString m_folder;
    QString m_executable;
};

// `path` as one argument of a desktop entry's Exec key, quoted and escaped where needed.
QString desktopExecArgument(const QString& path);
