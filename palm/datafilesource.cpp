// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "datafilesource.h"

#include "palm/clock.h"
#include "scanlog.h"

#include <filesystem>
#include <system_error>

Q_LOGGING_CATEGORY(lcScan, "chimewell.scan", QtInfoMsg)

namespace {

// A smaller file that does not read whole is taken for one Palm Desktop is still writing, for
// a while: an empty datebook or to-do list reads whole at less than that.
constexpr std::int64_t kMinimumSize = 100;
constexpr std::int64_t kIncompleteGraceSeconds = 30;
// A copy that fails this often in a row, for whatever reason, will not work by itself.
constexpr int kCopyAttempts = 3;

// What stands for a missing file among the versions read: no file has a negative size.
const FileStamp kNoFile{};

// Why `path` has no stamp; none when there is no such file.
std::optional<QString> unreadableReason(const QString& path)
{
    std::error_code error;
    const auto status =
        std::filesystem::status(std::filesystem::path(path.toStdU16String()), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return std::nullopt;
    if (error)
        return QString::fromLocal8Bit(error.message());
    return DataFileSource::tr("not a plain file");
}

} // namespace

DataFileSource::DataFileSource(const char* kind, const char* copyName, WhenMissing whenMissing,
                               const Clock& clock)
    : m_kind(kind), m_copyName(copyName), m_whenMissing(whenMissing), m_clock(clock)
{}

DataFileSource::Fetched DataFileSource::fetch(const QString& path, bool force,
                                              const PrivateCopies& copies)
{
    Fetched fetched;
    if (path.isEmpty()) {
        reportFailure(tr("no known Palm user is selected"));
        return fetched;
    }
    const std::optional<FileStamp> stamp = fileStampOf(path);
    if (!stamp) {
        const std::optional<QString> reason = unreadableReason(path);
        if (!reason && m_whenMissing == WhenMissing::IsEmpty) {
            if (!force && m_lastRead == kNoFile) {
                fetched.status = Status::Unchanged;
                return fetched;
            }
            qCDebug(lcScan).noquote() << "no" << m_kind << "file" << path << "- nothing to list";
            m_lastRead = kNoFile;
            m_lastFailure.clear();
            fetched.status = Status::Missing;
            return fetched;
        }
        reportFailure(path + QStringLiteral(": ") + reason.value_or(tr("no such file")));
        return fetched;
    }
    fetched.stamp = *stamp;
    if (!force && m_lastRead == stamp) {
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
    CopyFailure failure;
    std::optional<QByteArray> bytes = copies.copy(path, *stamp, m_copyName, failure);
    if (!bytes) {
        // A file being written right now is read at the next pass; anything else is told once
        // it is bound to stay.
        const bool told =
            failure.kind == CopyFailure::Kind::Lasting ||
            (failure.kind == CopyFailure::Kind::Other && ++m_copyFailures >= kCopyAttempts);
        if (told) {
            reportFailure(failure.reason);
            return fetched;
        }
        qCDebug(lcScan).noquote() << "the" << m_kind
                                  << "is read again at the next pass:" << failure.reason;
        fetched.status = Status::CopyFailed;
        return fetched;
    }
    m_copyFailures = 0;
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
    case Status::Missing:
    case Status::Unchanged:
    case Status::Copied:
        break;
    }
    return 0;
}

std::optional<int> DataFileSource::refuse(const QString& reason, const Fetched& fetched)
{
    if (fetched.stamp.size < kMinimumSize) {
        const std::int64_t now = m_clock.now();
        if (!m_incompleteSince)
            m_incompleteSince = now;
        if (now - *m_incompleteSince < kIncompleteGraceSeconds) {
            qCDebug(lcScan).noquote() << "the" << m_kind << "is still being written:" << reason;
            return 0;
        }
    }
    reportFailure(reason);
    return -1;
}

void DataFileSource::reportFailure(const QString& message)
{
    if (message == m_lastFailure)
        return;
    m_lastFailure = message;
    qCWarning(lcScan).noquote() << "cannot read the" << m_kind << "-" << message;
}
