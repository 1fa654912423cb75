// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

// The Palm Desktop's users and where their data lies: the role of the Palm user-data library.
// The user's folder text follows the desktop folder text directly (it starts with a separator),
// and "/datebook/datebook.dat" or "/todo/todo.dat" follows that.
class PalmUsers
{
public:
    virtual ~PalmUsers() = default;
    // 0 or less: no Palm Desktop user.
    virtual int count() const = 0;
    virtual int idAt(int position) const = 0;
    virtual QString name(int id) const = 0;
    // Empty for an id the Palm Desktop does not know.
    virtual QString userFolder(int id) const = 0;
    virtual QString desktopFolder() const = 0;

    // The full paths of the user's data files; "" for an id the Palm Desktop does not know.
    // A Palm Desktop folder copied from Windows may spell them in another case: an
    // implementation that can look at the folder finds them.
    virtual QString datebookPath(int id) const { return dataPath(id, "/datebook/datebook.dat"); }
    virtual QString todoPath(int id) const { return dataPath(id, "/todo/todo.dat"); }

private:
    QString dataPath(int id, const char* file) const
    {
        const QString folder = userFolder(id);
        return folder.isEmpty() ? QString() : desktopFolder() + folder + QLatin1String(file);
    }
};
