// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

class PalmDesktopUsers;

// Reads the Palm users again when users.dat or the user folders change, so a user added in
// Palm Desktop appears while Chimewell runs. Lives on the thread that uses the users.
class PalmUsersWatcher : public QObject
{
    Q_OBJECT

public:
    explicit PalmUsersWatcher(PalmDesktopUsers& users, QObject* parent = nullptr);

signals:
    // The users were read again and differ from before.
    void usersChanged();

private:
    void arm();
    void reload();

    PalmDesktopUsers& m_users;
    QFileSystemWatcher m_watcher;
    // One save sends several events: read once they have settled.
    QTimer m_settle;
};
