// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat ics: a Palm user's datebook and to-dos as an iCalendar file for calendar programs.

#include "commands.h"
#include "icsexport.h"

#include "palmfile/reader.h"
#include "palmfile/users.h"
#include "palmfile/writer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>

#include <algorithm>

using namespace palmfile;

namespace palmdat {

namespace {

struct IcsOptions
{
    QString source; // a Palm Desktop folder or a datebook or to-do file
    std::optional<std::int32_t> userId;
    QString output; // empty: standard output
};

std::optional<IcsOptions> parseOptions(const QStringList& arguments)
{
    IcsOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--user-id") && hasValue) {
            bool ok = false;
            options.userId = arguments[++i].toInt(&ok);
            if (!ok)
                return std::nullopt;
        } else if (argument == QLatin1String("-o") && hasValue) {
            options.output = arguments[++i];
        } else if (!argument.startsWith(QLatin1Char('-')) && options.source.isEmpty()) {
            options.source = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.source.isEmpty())
        return std::nullopt;
    return options;
}

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Reads what the source holds into `data`; each file that cannot be read is reported and
// leaves its part empty. False when nothing could be read.
class SourceReader
{
public:
    explicit SourceReader(CalendarData& data) : m_data(data) {}

    bool readFolder(const QString& folder, std::optional<std::int32_t> userId)
    {
        const std::string desktop = nativePath(folder);
        const auto users = readUsers(desktop);
        if (!users) {
            printError(QString::fromStdString(users.error()));
            return false;
        }
        const auto& list = users.value();
        const auto user = userId ? std::find_if(list.begin(), list.end(),
                                                [&](const PalmUser& u) { return u.id == *userId; })
                                 : list.begin();
        if (user == list.end()) {
            printError(
                QStringLiteral("palmdat: %1: no Palm user with id %2").arg(folder).arg(*userId));
            return false;
        }
        m_data.name = user->name;
        const std::string datebook = dataFilePath(desktop, user->folder, DataFile::Datebook);
        const std::string todo = dataFilePath(desktop, user->folder, DataFile::Todo);
        m_data.datebook = keep(readDatebookFile(datebook), datebook);
        m_data.todoList = keep(readTodoListFile(todo), todo);
        return m_data.datebook || m_data.todoList;
    }

    bool readFile(const QString& file)
    {
        m_data.name = QFileInfo(file).completeBaseName().toStdString();
        const std::string path = nativePath(file);
        const auto bytes = readFileBytes(path);
        if (!bytes) {
            printError(QString::fromStdString(bytes.error()));
            return false;
        }
        if (hasTodoTag(bytes.value()))
            m_data.todoList = keep(readTodoList(bytes.value(), path), path);
        else
            m_data.datebook = keep(readDatebook(bytes.value(), path), path);
        return m_data.datebook || m_data.todoList;
    }

    bool failedAny() const { return m_failed; }

private:
    template <typename T> std::optional<T> keep(const Result<T>& read, const std::string& path)
    {
        if (!read) {
            printError(QString::fromStdString(read.error()));
            m_failed = true;
            return std::nullopt;
        }
        const QDateTime changed = QFileInfo(QFile::decodeName(path.c_str())).lastModified();
        m_data.stamp = std::max<TimeValue>(m_data.stamp, changed.toSecsSinceEpoch());
        return read.value();
    }

    CalendarData& m_data;
    bool m_failed = false;
};

} // namespace

int runIcs(const QStringList& arguments)
{
    const std::optional<IcsOptions> options = parseOptions(arguments);
    if (!options)
        return ExitUsage;
    const bool isFolder = QFileInfo(options->source).isDir();
    if (options->userId && !isFolder)
        return ExitUsage;

    CalendarData data;
    SourceReader reader(data);
    if (!(isFolder ? reader.readFolder(options->source, options->userId)
                   : reader.readFile(options->source)))
        return ExitUnreadable;

    // Palm times were read in the C library's local zone, which follows TZ as Qt does.
    const auto text = iCalendarText(data, QTimeZone::systemTimeZoneId().toStdString());
    if (!text) {
        printError(QStringLiteral("palmdat: ") + QString::fromStdString(text.error()));
        return ExitUnreadable;
    }
    const std::string& calendar = text.value();
    if (options->output.isEmpty()) {
        printOutput(QByteArray::fromStdString(calendar));
    } else {
        const auto written = writeFileAtomically(
            nativePath(options->output),
            {reinterpret_cast<const std::uint8_t*>(calendar.data()), calendar.size()});
        if (!written) {
            printError(QString::fromStdString(written.error()));
            return ExitUnreadable;
        }
    }
    return reader.failedAny() ? ExitUnreadable : ExitOk;
}

} // namespace palmdat
