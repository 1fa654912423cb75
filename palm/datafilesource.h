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

// The steps both scans take before reading a Palm data file: the 100-byte rule, the memory
// of the version last read, and the private copy.
class DataFileSource
{
    Q_DECLARE_TR_FUNCTIONS(DataFileSource)

public:
    enum class Status
    {
        Failed,     // no path, no readable file, or no private folder
        Missing,    // no such file, which counts as an empty one (WhenMissing::IsEmpty)
        Unchanged,  // too small, or the version last read and no rescan forced
        CopyFailed, // the copy could not be made (or the file changed meanwhile): try again
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

    // `kind` names the file in messages ("datebook", "to-do list").
    DataFileSource(const char* kind, const char* copyName, WhenMissing whenMissing);

    // A missing file that counts as empty is Missing once, then Unchanged until it appears or
    // a rescan is forced.
    Fetched fetch(const QString& path, bool force, const PrivateCopies& copies);
    // True when the reader could read the fetched version, which then counts as unchanged from
    // now on; otherwise the reader's reason is logged.
    template <typename T> bool accept(const palmfile::Result<T>& read, const Fetched& fetched)
    {
        if (!read) {
            reportFailure(QString::fromStdString(read.error()));
            return false;
        }
        m_lastRead = fetched.stamp;
        m_lastFailure.clear();
        return true;
    }

    // Why the latest fetch or read failed: the file and the reason.
    const QString& failure() const { return m_lastFailure; }

private:
    // Logs a failure with qWarning once, not again on every pass until something else happens.
    void reportFailure(const QString& message);

    const char* m_kind;
    const char* m_copyName;
    WhenMissing m_whenMissing;
    std::optional<FileStamp> m_lastRead;
    QString m_lastFailure;
};
