// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmdesktopusers.h"

#include "scanlog.h"

#include <QFile>

PalmDesktopUsers::PalmDesktopUsers(const QString& desktopFolder) : m_desktopFolder(desktopFolder)
{
    if (desktopFolder.isEmpty()) {
        m_error = QStringLiteral("no Palm Desktop folder was found");
        return;
    }
    auto users = palmfile::readUsers(QFile::encodeName(desktopFolder).toStdString());
    if (!users) {
        m_error = QString::fromStdString(users.error());
        qCWarning(lcScan).noquote() << m_error;
        return;
    }
    m_users = std::move(users).value();
}

int PalmDesktopUsers::count() const
{
    return int(m_users.size());
}

int PalmDesktopUsers::idAt(int position) const
{
    return position >= 0 && position < count() ? m_users[std::size_t(position)].id : -1;
}

const palmfile::PalmUser* PalmDesktopUsers::find(int id) const
{
    for (const palmfile::PalmUser& user : m_users) {
        if (user.id == id)
            return &user;
    }
    return nullptr;
}

QString PalmDesktopUsers::name(int id) const
{
    const palmfile::PalmUser* user = find(id);
    return user ? QString::fromStdString(user->name) : QString();
}

QString PalmDesktopUsers::userFolder(int id) const
{
    const palmfile::PalmUser* user = find(id);
    return user ? QLatin1Char('/') + QFile::decodeName(user->folder.c_str()) : QString();
}

QString PalmDesktopUsers::desktopFolder() const
{
    return m_desktopFolder;
}

QString PalmDesktopUsers::dataPath(int id, palmfile::DataFile file) const
{
    const palmfile::PalmUser* user = find(id);
    if (!user)
        return QString();
    return QFile::decodeName(
        palmfile::dataFilePath(QFile::encodeName(m_desktopFolder).toStdString(), user->folder, file)
            .c_str());
}

QString PalmDesktopUsers::datebookPath(int id) const
{
    return dataPath(id, palmfile::DataFile::Datebook);
}

QString PalmDesktopUsers::todoPath(int id) const
{
    return dataPath(id, palmfile::DataFile::Todo);
}
