// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmdesktopusers.h"

#include "scanlog.h"

#include <QDir>
#include <QFile>

namespace {

// The entries of `folder` called `name` in any case, as Palm Desktop's names are matched. (Not
// a name filter: its wildcard engine would stay in memory for the whole run.)
QStringList entriesNamed(const QDir& folder, const QString& name, QDir::Filters filters)
{
    QStringList entries = folder.entryList(filters | QDir::NoDotAndDotDot);
    entries.removeIf(
        [&name](const QString& entry) { return entry.compare(name, Qt::CaseInsensitive) != 0; });
    return entries;
}

} // namespace

PalmDesktopUsers::PalmDesktopUsers(const QString& desktopFolder) : m_desktopFolder(desktopFolder)
{
    reload();
}

bool PalmDesktopUsers::reload()
{
    if (m_desktopFolder.isEmpty()) {
        m_error = QStringLiteral("no Palm Desktop folder was found");
        return false;
    }
    auto users = palmfile::readUsers(QFile::encodeName(m_desktopFolder).toStdString());
    if (!users) {
        m_error = QString::fromStdString(users.error());
        qCWarning(lcScan).noquote() << m_error;
        return false;
    }
    m_error.clear();
    if (users.value() == m_users)
        return false;
    m_users = std::move(users).value();
    qCDebug(lcScan) << "Palm users read:" << m_users.size();
    return true;
}

QStringList PalmDesktopUsers::watchPaths() const
{
    if (m_desktopFolder.isEmpty())
        return {};
    const QDir desktop(m_desktopFolder);
    QStringList paths{m_desktopFolder};
    const QStringList usersFile = entriesNamed(desktop, QStringLiteral("users.dat"), QDir::Files);
    if (!usersFile.isEmpty())
        return paths << desktop.filePath(usersFile.first());
    for (const QString& folder : desktop.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QDir user(desktop.filePath(folder));
        paths << user.path();
        for (const QString& datebook : entriesNamed(user, QStringLiteral("datebook"), QDir::Dirs))
            paths << user.filePath(datebook);
    }
    return paths;
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
