// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat users and locate: the Palm Desktop folder and its users.

#include "commands.h"

#include "palmfile/desktopfolder.h"
#include "palmfile/users.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

using namespace palmfile;

namespace palmdat {

int runUsers(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return ExitUsage;
    const auto users = readUsers(QFile::encodeName(arguments[0]).toStdString());
    if (!users) {
        printError(QString::fromStdString(users.error()));
        return ExitUnreadable;
    }
    QJsonArray list;
    for (const PalmUser& user : users.value()) {
        list.append(QJsonObject{{"id", user.id},
                                {"name", QString::fromStdString(user.name)},
                                {"folder", QString::fromStdString(user.folder)}});
    }
    const QJsonObject json{{"desktop", arguments[0]}, {"users", list}};
    printOutput(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return ExitOk;
}

int runLocate(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return ExitUsage;
    // Chimewell's own profile: the folder the user may have set there.
    const QSettings profile(QSettings::NativeFormat, QSettings::UserScope,
                            QStringLiteral("Corvander"), QStringLiteral("chimewell"));
    const QString profileValue = profile.value(QStringLiteral("Options/palmdesktop")).toString();
    const auto folder =
        findDesktopFolder(desktopFolderInputs(QFile::encodeName(profileValue).toStdString()));
    if (!folder) {
        printError(QStringLiteral(
            "palmdat: no Palm Desktop folder found (set CHIMEWELL_PALM_DESKTOP, or install Palm "
            "Desktop in a Wine prefix)"));
        return ExitUnreadable;
    }
    printOutput(QFile::decodeName(folder->c_str()).toUtf8() + '\n');
    return ExitOk;
}

} // namespace palmdat
