// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat dump and make: a Palm file as JSON and back.

#include "commands.h"
#include "palmdatjson.h"

#include "palmfile/layout.h"
#include "palmfile/reader.h"
#include "palmfile/writer.h"

#include <QFile>
#include <QJsonDocument>

using namespace palmfile;

namespace palmdat {

bool hasTodoTag(const std::vector<std::uint8_t>& bytes)
{
    return bytes.size() >= 4 && (bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                 std::uint32_t(bytes[3]) << 24) == layout::kTodoTag;
}

int runDump(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return ExitUsage;
    const std::string path = QFile::encodeName(arguments[0]).toStdString();
    const auto bytes = readFileBytes(path);
    if (!bytes) {
        printError(QString::fromStdString(bytes.error()));
        return ExitUnreadable;
    }
    QJsonObject json;
    // Anything that is not a to-do file goes to the datebook reader, which says what it is.
    if (hasTodoTag(bytes.value())) {
        const auto todo = readTodoList(bytes.value(), path);
        if (!todo) {
            printError(QString::fromStdString(todo.error()));
            return ExitUnreadable;
        }
        json = todoListToJson(todo.value());
    } else {
        const auto datebook = readDatebook(bytes.value(), path);
        if (!datebook) {
            printError(QString::fromStdString(datebook.error()));
            return ExitUnreadable;
        }
        json = datebookToJson(datebook.value());
    }
    printOutput(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return ExitOk;
}

int runMake(const QStringList& arguments)
{
    if (arguments.size() != 2)
        return ExitUsage;
    const QString& inName = arguments[0];
    QFile in(inName);
    if (!in.open(QIODevice::ReadOnly)) {
        printError(inName + QStringLiteral(": ") + in.errorString());
        return ExitUnreadable;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(in.readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        const QString why =
            document.isNull() ? parseError.errorString() : QStringLiteral("expected a JSON object");
        printError(QStringLiteral("%1: %2 at offset %3").arg(inName, why).arg(parseError.offset));
        return ExitUnreadable;
    }

    const QJsonObject json = document.object();
    const QString format = json.value("format").toString();
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (format == QLatin1String("datebook")) {
        const auto datebook = datebookFromJson(json);
        if (datebook)
            bytes = writeDatebook(datebook.value());
        error = datebook.error();
    } else if (format == QLatin1String("todo")) {
        const auto todo = todoListFromJson(json);
        if (todo)
            bytes = writeTodoList(todo.value());
        error = todo.error();
    } else {
        error = "format: expected \"datebook\" or \"todo\"";
    }
    if (!error.empty()) {
        printError(inName + QStringLiteral(": ") + QString::fromStdString(error));
        return ExitUnreadable;
    }
    const auto written = writeFileAtomically(QFile::encodeName(arguments[1]).toStdString(), bytes);
    if (!written) {
        printError(QString::fromStdString(written.error()));
        return ExitUnreadable;
    }
    return ExitOk;
}

} // namespace palmdat
