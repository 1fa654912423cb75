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

// The per-user private folder where the scans keep their copies of the Palm data files, so
// that Palm Desktop's own files are only ever read, and only for the moment of the copy.
class PrivateCopies
{
    Q_DECLARE_TR_FUNCTIONS(PrivateCopies)

public:
    static constexpr const char* kDatebookCopy = "datebooktmp.dat";
    static constexpr const char* kToDoCopy = "todotmp.dat";

    // `folder` is created (mode 0700) when missing.
    explicit PrivateCopies(QString folder);

    // $XDG_RUNTIME_DIR/chimewell, else chimewell-<user id> in the temporary folder.
    static QString defaultFolder();

    // Creates the folder when missing and checks that it is a folder of this user that no one
    // else may write to; false (with the reason in `error`) otherwise.
    bool ensurePrivateFolder(QString& error) const;

    // Copies `source` to `name` in the folder and returns the bytes copied. Fails (with the
    // reason in `error`) when `source` is not a regular file of at most
    // palmfile::kMaxDataFileSize bytes, when the copy cannot be written, or when `source` no
    // longer has the stamp `expected`, as when it changes meanwhile. Call ensurePrivateFolder()
    // first.
    std::optional<QByteArray> copy(const QString& source, const FileStamp& expected,
                                   const char* name, QString& error) const;

    // Deletes both copies; a missing one is no error.
    void deleteCopies() const;

    const QString& folder() const { return m_folder; }

private:
    QString m_folder;
};
