// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include "logcategories.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QLoggingCategory>

namespace {

constexpr QByteArrayView showRequest = "show\n";
constexpr int connectTimeoutMs = 1000;

// Local socket names are global on some systems; a hash of the private folder keeps them
// per user and short enough for the socket path limit.
QString socketNameFor(const QString& folder, const QString& name)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1);
    return name + QLatin1Char('-') + QString::fromLatin1(hash.toHex().left(16));
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString& folder, const QString& name,
                                         QObject* parent)
    : QObject(parent), m_socketName(socketNameFor(folder, name)),
      m_lock(QDir(folder).filePath(name + QStringLiteral(".lock")))
{
    // Only a lock whose owner process is gone counts as stale, however old it is.
    m_lock.setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard() = default;

bool SingleInstanceGuard::CheckSingleInstance()
{
    if (m_lock.tryLock(0)) {
        listen();
        return true;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        // No lock file can be made (no folder, no rights): running twice is the lesser evil
        // than not reminding at all.
        qCWarning(lcInstance) << "cannot create the instance lock file; running unguarded";
        listen();
        return true;
    }
    if (!askRunningCopyToShow())
        qCInfo(lcInstance) << "another copy runs but could not be reached";
    return false;
}

void SingleInstanceGuard::listen()
{
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket left behind is from a copy that crashed.
    QLocalServer::removeServer(m_socketName);
    if (!m_server->listen(m_socketName)) {
        qCWarning(lcInstance) << "cannot listen for later copies:" << m_server->errorString();
        return;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().startsWith(showRequest.toByteArray()))
                    emit activationRequested();
                socket->disconnectFromServer();
            });
        }
    });
}

bool SingleInstanceGuard::askRunningCopyToShow() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketName);
    if (!socket.waitForConnected(connectTimeoutMs))
        return false;
    socket.write(showRequest.toByteArray());
    const bool sent = socket.waitForBytesWritten(connectTimeoutMs);
    socket.waitForDisconnected(connectTimeoutMs);
    return sent;
}
