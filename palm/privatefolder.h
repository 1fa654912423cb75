// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user folder that holds the instance lock, its socket and the private copies of the
// Palm data files. It must belong to the user alone: whoever could make it first, or write
// to it, could stop Chimewell, blind it, or have it write where it should not.

// Where such a folder may live.
struct PrivateFolderPlaces
{
    QString runtime; // $XDG_RUNTIME_DIR
    QString cache;   // $XDG_CACHE_HOME, else ~/.cache
    QString temp;    // the temporary folder, per user on Windows

    // From the environment.
    static PrivateFolderPlaces current();
};

// $XDG_RUNTIME_DIR/chimewell when the runtime folder is the user's own (owned by the user,
// 0700, a real folder); else <cache>/chimewell/run under the user's home. Windows:
// <temp>/chimewell.
QString privateFolderPath(const PrivateFolderPlaces& places);

// Makes the folder `path` (0700, its parents as needed) when missing. True when it is a real
// folder (no symbolic link) of this user that no one else may enter; otherwise false, with
// the reason in `error`, and nothing must be put there.
bool ensurePrivateFolder(const QString& path, QString& error);
