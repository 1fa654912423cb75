// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdint>
#include <optional>

// What tells a data file's versions apart: its size and modification time (to the
// nanosecond where the file system keeps it, so two saves within one second differ).
struct FileStamp
{
    std::int64_t size = -1;
    std::int64_t modified = 0;

    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of an existing regular file, or none when its status cannot be read.
std::optional<FileStamp> fileStampOf(const QString& path);

// Why a copy could not be made.
struct CopyFailure
{
    enum class Kind
    {
        Changed, // the file changed (or went) while it was copied: it is being written
        Lasting, // the same version cannot be read, or there is no room for the copy
        Other,
    };
    Kind kind = Kind::Other;
    QString reason;
};

// The per-user private folder where the scans keep their copies of the Palm data files, so
// that Palm Desktop's own files are only ever read, and only for the moment of the copy.
class PrivateCopies
{
    Q_DECLARE_TR_FUNCTIONS(PrivateCopies)

public:
    static constexpr const char* kDatebookCopy = "datebooktmp.dat";
    static constexpr const char* kToDoCopy = "todotmp.dat";

    // `folder`: the private folder (privatefolder.h), created when missing.
    explicit PrivateCopies(QString folder);

    // ::ensurePrivateFolder() of the folder.
    bool ensurePrivateFolder(QString& error) const;

    // Copies `source` to `name` in the folder and returns the bytes copied. Fails (saying why
    // in `failure`) when `source` is not a regular file of at most palmfile::kMaxDataFileSize
    // bytes or cannot be read, when the copy cannot be written, or when `source` no longer has
    // the stamp `expected`, as when it changes meanwhile. Call ensurePrivateFolder() first.
    std::optional<QByteArray> copy(const QString& source, const FileStamp& expected,
                                   const char* name, CopyFailure& failure) const;

    // Deletes both copies; a missing one is no error.
    void deleteCopies() const;

    const QString& folder() const { return m_folder; }

private:
    QString m_folder;
};
