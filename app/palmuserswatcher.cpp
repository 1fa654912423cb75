// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmuserswatcher.h"

#include "logcategories.h"
#include "palm/palmdesktopusers.h"

#include <QFileInfo>

namespace {

constexpr int kSettleMs = 200;

} // namespace

PalmUsersWatcher::PalmUsersWatcher(PalmDesktopUsers& users, QObject* parent)
    : QObject(parent), m_users(users)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PalmUsersWatcher::reload);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
    arm();
}

void PalmUsersWatcher::arm()
{
    const QStringList wanted = m_users.watchPaths();
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    QStringList stale;
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            stale << path;
    }
    if (!stale.isEmpty())
        m_watcher.removePaths(stale);
    for (const QString& path : wanted) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher.addPath(path);
    }
}

void PalmUsersWatcher::reload()
{
    // users.dat may have appeared, or been replaced, or a user folder added.
    arm();
    if (!m_users.reload())
        return;
    qCDebug(lcStartup) << "the Palm users changed";
    emit usersChanged();
}
