// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmusers.h"

#include "palmfile/users.h"

#include <vector>

// The users of a Palm Desktop folder as its users.dat (or, without one, its user folders)
// lists them, read once when constructed.
class PalmDesktopUsers : public PalmUsers
{
public:
    // An empty `desktopFolder` (none was found) gives no user.
    explicit PalmDesktopUsers(const QString& desktopFolder);

    int count() const override;
    int idAt(int position) const override;
    QString name(int id) const override;
    QString userFolder(int id) const override;
    QString desktopFolder() const override;
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
