// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

// One running copy per user. The first copy holds a lock file and listens on a local socket;
// a later copy finds the lock taken, asks the first one through the socket to show its window,
// and must end. A lock left behind by a crashed copy does not block a new start.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT
public:
    // `folder` is a per-user private folder; `name` the program's name (executable base name).
    SingleInstanceGuard(const QString& folder, const QString& name, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // True when this copy may run. Otherwise the running copy has been asked to show its
    // window (when it could be reached).
    bool CheckSingleInstance();

signals:
    // A later copy asked this one to show its window.
    void activationRequested();

private:
    void listen();
    bool askRunningCopyToShow() const;

    QString m_socketName;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
