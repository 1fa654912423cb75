// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmusers.h"

#include "palmfile/users.h"

#include <QStringList>

#include <vector>

// The users of a Palm Desktop folder as its users.dat (or, without one, its user folders)
// lists them, read when constructed and again on reload(). Used on one thread.
class PalmDesktopUsers : public PalmUsers
{
public:
    // An empty `desktopFolder` (none was found) gives no user.
    explicit PalmDesktopUsers(const QString& desktopFolder);

    // Reads the users again; true when they changed. A read that finds no user keeps the
    // users known so far: users.dat may be caught half written.
    bool reload();
    // The files and folders whose change can change the users: the Palm Desktop folder and
    // its users.dat, or without one the user folders and their datebook folders.
    QStringList watchPaths() const;

    int count() const override;
    int idAt(int position) const override;
    QString name(int id) const override;
    // A Palm Desktop folder copied from Windows may spell the paths in another case: they
    // are the files as they exist.
    QString datebookPath(int id) const override;
    QString todoPath(int id) const override;

    // Why there is no user, when count() is 0.
    const QString& error() const { return m_error; }

private:
    const palmfile::PalmUser* find(int id) const;
    QString dataPath(int id, palmfile::DataFile file) const;

    QString m_desktopFolder;
    std::vector<palmfile::PalmUser> m_users;
    QString m_error;
};
