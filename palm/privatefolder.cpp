// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatefolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Why a file with this status (from lstat) is no folder of this user alone; none when it is.
std::optional<QString> notPrivate(const struct stat& status)
{
    if (S_ISLNK(status.st_mode))
        return QCoreApplication::translate("PrivateFolder", "it is a symbolic link");
    if (!S_ISDIR(status.st_mode))
        return QCoreApplication::translate("PrivateFolder", "it is not a folder");
    if (status.st_uid != geteuid())
        return QCoreApplication::translate("PrivateFolder", "it belongs to another user");
    if ((status.st_mode & 077) != 0)
        return QCoreApplication::translate("PrivateFolder", "other users may use it");
    return std::nullopt;
}
#endif

} // namespace

PrivateFolderPlaces PrivateFolderPlaces::current()
{
    PrivateFolderPlaces places;
    places.runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    places.cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(places.cache))
        places.cache = QDir::homePath() + QStringLiteral("/.cache");
    places.temp = QDir::tempPath();
    return places;
}

QString privateFolderPath(const PrivateFolderPlaces& places)
{
#ifdef Q_OS_UNIX
    struct stat status
    {};
    if (QDir::isAbsolutePath(places.runtime) &&
        ::lstat(QFile::encodeName(places.runtime).constData(), &status) == 0 && !notPrivate(status))
        return QDir(places.runtime).filePath(QStringLiteral("chimewell"));
    return QDir(places.cache).filePath(QStringLiteral("chimewell/run"));
#else
    return QDir(places.temp).filePath(QStringLiteral("chimewell"));
#endif
}

bool ensurePrivateFolder(const QString& path, QString& error)
{
    const auto refuse = [&](const QString& why) {
        error = QCoreApplication::translate("PrivateFolder", "cannot use the folder %1: %2")
                    .arg(path, why);
        return false;
    };
    QDir().mkpath(QFileInfo(path).absolutePath());
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat status
    {};
    if (::lstat(name.constData(), &status) != 0)
        return refuse(QString::fromLocal8Bit(std::strerror(errno)));
    if (const std::optional<QString> why = notPrivate(status))
        return refuse(*why);
    return true;
#else
    return QDir().mkpath(path) ||
           refuse(QCoreApplication::translate("PrivateFolder", "it cannot be made"));
#endif
}
