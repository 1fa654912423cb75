// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "singleinstance.h"

#include "logcategories.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLoggingCategory>

#ifdef Q_OS_WIN
#include <QLocalServer>
#include <QLocalSocket>
#else
#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
constexpr QByteArrayView showRequest = "show\n";
constexpr int connectTimeoutMs = 1000;
#else
// The address of the socket at `path`; false when the path is too long for one.
bool socketAddress(const QString& path, sockaddr_un& address)
{
    const QByteArray name = QFile::encodeName(path);
    address = {};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    return true;
}
#endif

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

SingleInstanceGuard::~SingleInstanceGuard()
{
#ifndef Q_OS_WIN
    if (m_listener >= 0) {
        m_notifier.reset();
        ::close(m_listener);
        ::unlink(QFile::encodeName(m_socketName).constData());
    }
#endif
}

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

#ifdef Q_OS_WIN
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
#else
void SingleInstanceGuard::listen()
{
    sockaddr_un address;
    if (!socketAddress(m_socketName, address)) {
        qCWarning(lcInstance) << "cannot listen for later copies: the path is too long:"
                              << m_socketName;
        return;
    }
    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    // We hold the lock, so a socket left behind is from a copy that crashed.
    ::unlink(address.sun_path);
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 4) != 0) {
        qCWarning(lcInstance) << "cannot listen for later copies:" << std::strerror(errno);
        if (listener >= 0)
            ::close(listener);
        return;
    }
    m_listener = listener;
    m_notifier = std::make_unique<QSocketNotifier>(listener, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        // A connection is the request to show the window: only this user can reach the socket,
        // in the private folder.
        bool requested = false;
        for (int connection; (connection = ::accept(m_listener, nullptr, nullptr)) >= 0;) {
            ::close(connection);
            requested = true;
        }
        if (requested)
            emit activationRequested();
    });
}

bool SingleInstanceGuard::askRunningCopyToShow() const
{
    sockaddr_un address;
    if (!socketAddress(m_socketName, address))
        return false;
    // Without waiting: a copy that hangs with its queue full must not hang this one too.
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return false;
    const bool reached =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(socket);
    return reached;
}
#endif
