// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "privatecopies.h"

#include "palmfile/reader.h"
#include "privatefolder.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <system_error>

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

bool PrivateCopies::ensurePrivateFolder(QString& error) const
{
    return ::ensurePrivateFolder(m_folder, error);
}

std::optional<QByteArray> PrivateCopies::copy(const QString& source, const FileStamp& expected,
                                              const char* name, CopyFailure& failure) const
{
    const auto changed = [&] {
        failure = {CopyFailure::Kind::Changed, tr("%1 changed while it was copied").arg(source)};
        return std::nullopt;
    };
    const auto read = palmfile::readFileBytes(QFile::encodeName(source).toStdString());
    if (!read) {
        // A version that stays the same will not read better next time (no permission, not a
        // regular file, too large).
        if (fileStampOf(source) != expected)
            return changed();
        failure = {CopyFailure::Kind::Lasting,
                   tr("cannot read %1").arg(QFile::decodeName(read.error().c_str()))};
        return std::nullopt;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(read.value().data()),
                           qsizetype(read.value().size()));
    if (fileStampOf(source) != expected || bytes.size() != expected.size)
        return changed();
    QFile out(QDir(m_folder).filePath(QLatin1String(name)));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(bytes) != bytes.size() || !out.flush()) {
        // Qt's resource error on writing is a full disk.
        failure = {out.error() == QFileDevice::ResourceError ? CopyFailure::Kind::Lasting
                                                             : CopyFailure::Kind::Other,
                   tr("cannot write %1: %2").arg(out.fileName(), out.errorString())};
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
