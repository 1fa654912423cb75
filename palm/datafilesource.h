// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "privatecopies.h"

#include "palmfile/result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>

class Clock;

// The steps both scans take around reading a Palm data file: the memory of the version last
// read, the private copy, and the patience with a small file that does not read whole yet.
class DataFileSource
{
    Q_DECLARE_TR_FUNCTIONS(DataFileSource)

public:
    enum class Status
    {
        Failed,     // no path, no readable file, or no private folder
        Missing,    // no such file, which counts as an empty one (WhenMissing::IsEmpty)
        Unchanged,  // the version last read, and no rescan forced
        CopyFailed, // the file changed while it was copied, or a copy may work next time
        Copied,
    };

    struct Fetched
    {
        Status status = Status::Failed;
        QByteArray bytes;
        FileStamp stamp;

        // What a scan answers when it stops before reading: -1, 0, or after a failed copy the
        // number of lines it still holds.
        int resultWithoutReading(qsizetype heldLines) const;
        std::span<const std::uint8_t> content() const
        {
            return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                    std::size_t(bytes.size())};
        }
    };

    enum class WhenMissing
    {
        Fails,
        IsEmpty, // a missing file is an empty one (a to-do list never used)
    };

    // `kind` names the file in messages ("datebook", "to-do list"); `clock` times the patience
    // with a file that is still being written.
    DataFileSource(const char* kind, const char* copyName, WhenMissing whenMissing,
                   const Clock& clock);

    // A missing file that counts as empty is Missing once, then Unchanged until it appears or
    // a rescan is forced.
    Fetched fetch(const QString& path, bool force, const PrivateCopies& copies);
    // None when the reader could read the fetched version, which then counts as unchanged from
    // now on. Otherwise what the scan answers: 0 (its lines stay) while a small file may still
    // be being written, else -1 with the reader's reason as the failure.
    template <typename T>
    std::optional<int> refusal(const palmfile::Result<T>& read, const Fetched& fetched)
    {
        if (!read)
            return refuse(QString::fromStdString(read.error()), fetched);
        m_lastRead = fetched.stamp;
        m_lastFailure.clear();
        m_incompleteSince.reset();
        return std::nullopt;
    }

    // Why the latest fetch or read failed: the file and the reason.
    const QString& failure() const { return m_lastFailure; }

private:
    std::optional<int> refuse(const QString& reason, const Fetched& fetched);
    // Logs a failure with qWarning once, not again on every pass until something else happens.
    void reportFailure(const QString& message);

    const char* m_kind;
    const char* m_copyName;
    WhenMissing m_whenMissing;
    const Clock& m_clock;
    std::optional<FileStamp> m_lastRead;
    // Since when a small file has not read whole.
    std::optional<std::int64_t> m_incompleteSince;
    // Copies in a row that failed, neither for a lasting reason nor because the file changed.
    int m_copyFailures = 0;
    QString m_lastFailure;
};
