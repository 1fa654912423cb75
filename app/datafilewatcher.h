// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

class QSemaphore;
class SharedSettings;

// Asks for a rescan as soon as the selected user's datebook or to-do file changes, so a new
// appointment shows without waiting for the worker's 5-second poll. Lives on the window
// thread. Watches the two files and their folders: an editor that saves by replacing the file
// ends the file's watch, and the folder's change arms it again.
class DataFileWatcher : public QObject
{
    Q_OBJECT

public:
    DataFileWatcher(SharedSettings& settings, QSemaphore& rescan, QObject* parent = nullptr);

    QStringList watchedFiles() const { return m_watcher.files(); }

public slots:
    // Follows the current settings' data files (after a change of the Palm user). Connected to
    // RefreshWorker::listUpdated it runs after every pass that posts, forced ones included.
    void updatePaths();

private:
    void arm();
    void changed();

    SharedSettings& m_settings;
    QSemaphore& m_rescan;
    QFileSystemWatcher m_watcher;
    QStringList m_files;
};
