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

QString socketNameFor(const QString& folder, const QString& name)
{
#ifdef Q_OS_UNIX
    // A socket in the private folder: no other user can bind it first or reach it.
    return QDir(folder).absoluteFilePath(name + QStringLiteral(".socket"));
#else
    // Pipe names are global; a hash of the private folder keeps them per user.
    const QByteArray hash =
        QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1);
    return name + QLatin1Char('-') + QString::fromLatin1(hash.toHex().left(16));
#endif
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

SingleInstanceGuard::Check SingleInstanceGuard::checkSingleInstance()
{
    if (m_lock.tryLock(0)) {
        listen();
        return Check::Run;
    }
    if (m_lock.error() != QLockFile::LockFailedError) {
        m_error = tr("cannot create the lock file %1: %2")
                      .arg(m_lock.fileName(), m_lock.error() == QLockFile::PermissionError
                                                  ? tr("no permission")
                                                  : tr("it cannot be written"));
        qCWarning(lcInstance).noquote() << m_error;
        return Check::CannotGuard;
    }
    if (!askRunningCopyToShow())
        qCInfo(lcInstance) << "another copy runs but could not be reached";
    return Check::AnotherRuns;
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
