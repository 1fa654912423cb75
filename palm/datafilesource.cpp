// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilesource.h"

#include "scanlog.h"

Q_LOGGING_CATEGORY(lcScan, "chimewell.scan", QtInfoMsg)

namespace {

// Smaller files are taken for ones Palm Desktop is still writing.
constexpr std::int64_t kMinimumSize = 100;

} // namespace

DataFileSource::DataFileSource(const char* kind, const char* copyName)
    : m_kind(kind), m_copyName(copyName)
{}

DataFileSource::Fetched DataFileSource::fetch(const QString& path, bool force,
                                              const PrivateCopies& copies)
{
    Fetched fetched;
    if (path.isEmpty()) {
        reportFailure(QStringLiteral("no %1 file: no Palm user is selected").arg(m_kind));
        return fetched;
    }
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp) {
        reportFailure(QStringLiteral("cannot read the status of %1").arg(path));
        return fetched;
    }
    fetched.stamp = *stamp;
    if (stamp->size < kMinimumSize || (!force && m_lastRead == stamp)) {
        fetched.status = Status::Unchanged;
        return fetched;
    }
    QString error;
    // Without a private folder no copy can ever be made: that is a failure the user must see,
    // not a copy to retry quietly.
    if (!copies.ensurePrivateFolder(error)) {
        reportFailure(error);
        return fetched;
    }
    std::optional<QByteArray> bytes = copies.copy(path, *stamp, m_copyName, error);
    if (!bytes) {
        fetched.status = Status::CopyFailed;
        reportFailure(error);
        return fetched;
    }
    fetched.status = Status::Copied;
    fetched.bytes = std::move(*bytes);
    return fetched;
}

int DataFileSource::Fetched::resultWithoutReading(qsizetype heldLines) const
{
    switch (status) {
    case Status::Failed:
        return -1;
    case Status::CopyFailed:
        return int(heldLines);
    case Status::Unchanged:
    case Status::Copied:
        break;
    }
    return 0;
}

void DataFileSource::reportFailure(const QString& message)
{
    if (message == m_lastFailure)
        return;
    m_lastFailure = message;
    qCWarning(lcScan).noquote() << message;
}
