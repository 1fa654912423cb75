// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilewatcher.h"

#include "logcategories.h"
#include "sharedsettings.h"

#include <QFileInfo>
#include <QSemaphore>

DataFileWatcher::DataFileWatcher(SharedSettings& settings, QSemaphore& rescan, QObject* parent)
    : QObject(parent), m_settings(settings), m_rescan(rescan)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &DataFileWatcher::changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &DataFileWatcher::changed);
    updatePaths();
}

void DataFileWatcher::updatePaths()
{
    const Settings settings = m_settings.snapshot();
    QStringList files;
    for (const QString& path : {settings.datebookpath, settings.todopath}) {
        if (!path.isEmpty())
            files << path;
    }
    if (files != m_files) {
        if (!m_watcher.files().isEmpty())
            m_watcher.removePaths(m_watcher.files());
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
        m_files = files;
        qCDebug(lcWorker) << "watching" << m_files;
    }
    arm();
}

void DataFileWatcher::arm()
{
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    const auto watch = [&](const QString& path) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher.addPath(path);
    };
    for (const QString& file : std::as_const(m_files)) {
        watch(file);
        // A user without a to-do list yet gets its folder later: watch the user's folder.
        const QFileInfo folder(QFileInfo(file).absolutePath());
        watch(folder.exists() ? folder.absoluteFilePath() : folder.absolutePath());
    }
}

void DataFileWatcher::changed()
{
    arm();
    // A pass that is still pending reads the files anyway; several events of one save give
    // one rescan.
    if (m_rescan.available() == 0)
        m_rescan.release();
}
