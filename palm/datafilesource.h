#pragma once

#include "privatecopies.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The steps both scans take before reading a Palm data file: the 100-byte rule, the memory
// of the version last read, and the private copy.
class DataFileSource
{
public:
    enum class Status
    {
        Failed,     // no path, no readable file, or no private folder
        Unchanged,  // too small, or the version last read and no rescan forced
        CopyFailed, // the copy could not be made (or the file changed meanwhile): try again
        Copied,
    };

    struct Fetched
    {
        Status status = Status::Failed;
        QByteArray bytes;
        FileStamp stamp;
    };

    // `kind` names the file in messages ("datebook", "to-do list").
    DataFileSource(const char* kind, const char* copyName);

    Fetched fetch(const QString& path, bool force, const PrivateCopies& copies);
    // The fetched version was read successfully; it counts as unchanged from now on.
    void markRead(const FileStamp& stamp);
    // Logs a failure with qWarning once, not again on every pass until something else happens.
    void reportFailure(const QString& message);

private:
    const char* m_kind;
    const char* m_copyName;
    std::optional<FileStamp> m_lastRead;
    QString m_lastFailure;
};
