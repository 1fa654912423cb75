// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QSocketNotifier;

// One running copy per user. The first copy holds a lock file and listens on a local socket,
// both in the user's private folder; a later copy finds the lock taken, asks the first one
// through the socket to show its window, and must end. A lock left behind by a crashed copy
// does not block a new start.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT
public:
    enum class Check
    {
        Run,         // this is the only copy
        AnotherRuns, // the running copy has been asked to show its window, when it was reached
        CannotGuard, // no lock can be made: error() says why
    };

    // `folder` is the per-user private folder (privatefolder.h); `name` the program's name
    // (executable base name).
    SingleInstanceGuard(const QString& folder, const QString& name, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    Check checkSingleInstance();
    const QString& error() const { return m_error; }

signals:
    // A later copy asked this one to show its window.
    void activationRequested();

private:
    void listen();
    bool askRunningCopyToShow() const;

    QString m_socketName;
    QLockFile m_lock;
    QString m_error;
#ifdef Q_OS_WIN
    std::unique_ptr<QLocalServer> m_server;
#else
    // A Unix-domain socket of our own: Qt's local sockets would bring in Qt Network and the
    // libraries it needs, for one connection per start of a second copy.
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
#endif
};
