// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The Palm Desktop's users and where their data lies: the role of the Palm user-data library.
class PalmUsers
{
public:
    virtual ~PalmUsers() = default;
    // 0 or less: no Palm Desktop user.
    virtual int count() const = 0;
    virtual int idAt(int position) const = 0;
    virtual QString name(int id) const = 0;

    // The full paths of the user's data files, "<user's folder>/datebook/datebook.dat" and
    // "<user's folder>/todo/todo.dat"; "" for an id the Palm Desktop does not know.
    virtual QString datebookPath(int id) const = 0;
    virtual QString todoPath(int id) const = 0;
};
