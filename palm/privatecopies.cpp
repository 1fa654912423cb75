// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatecopies.h"

#include "palmfile/reader.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

std::optional<FileStamp> fileStampOf(const QString& path)
{
    std::error_code error;
    const std::filesystem::path file = fsPath(path);
    if (!std::filesystem::is_regular_file(file, error))
        return std::nullopt;
    const auto size = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error)
        return std::nullopt;
    return FileStamp{static_cast<std::int64_t>(size),
                     static_cast<std::int64_t>(modified.time_since_epoch().count())};
}

PrivateCopies::PrivateCopies(QString folder) : m_folder(std::move(folder)) {}

QString PrivateCopies::defaultFolder()
{
#ifdef Q_OS_WIN
    // The user's own temporary folder.
    return QDir(QDir::tempPath()).filePath(QStringLiteral("chimewell"));
#else
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return QDir(runtime).filePath(QStringLiteral("chimewell"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("chimewell-%1").arg(geteuid()));
#endif
}

bool PrivateCopies::ensurePrivateFolder(QString& error) const
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(m_folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        error = tr("cannot create the private folder %1: %2")
                    .arg(m_folder, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    struct stat status
    {};
    if (::lstat(path.constData(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        error = tr("%1 is not a folder").arg(m_folder);
        return false;
    }
    // Someone else's folder, or one others may write to, could swap our copies.
    if (status.st_uid != geteuid() || (status.st_mode & (S_IWGRP | S_IWOTH))) {
        error = tr("refusing the folder %1: it is not private to this user").arg(m_folder);
        return false;
    }
    return true;
#else
    if (!QDir().mkpath(m_folder)) {
        error = tr("cannot create the private folder %1").arg(m_folder);
        return false;
    }
    return true;
#endif
}

std::optional<QByteArray> PrivateCopies::copy(const QString& source, const FileStamp& expected,
                                              const char* name, QString& error) const
{
    const auto read = palmfile::readFileBytes(QFile::encodeName(source).toStdString());
    if (!read) {
        error = tr("cannot read %1").arg(QFile::decodeName(read.error().c_str()));
        return std::nullopt;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(read.value().data()),
                           qsizetype(read.value().size()));
    if (fileStampOf(source) != expected || bytes.size() != expected.size) {
        error = tr("%1 changed while it was copied").arg(source);
        return std::nullopt;
    }
    QFile out(QDir(m_folder).filePath(QLatin1String(name)));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(bytes) != bytes.size() || !out.flush()) {
        error = tr("cannot write %1: %2").arg(out.fileName(), out.errorString());
        return std::nullopt;
    }
    return bytes;
}

void PrivateCopies::deleteCopies() const
{
    const QDir dir(m_folder);
    QFile::remove(dir.filePath(QLatin1String(kDatebookCopy)));
    QFile::remove(dir.filePath(QLatin1String(kToDoCopy)));
}
