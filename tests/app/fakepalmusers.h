// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/palmusers.h"

#include <QMap>

// Palm users held in memory: id -> (name, folder).
class FakePalmUsers : public PalmUsers
{
public:
    explicit FakePalmUsers(QString desktop = QStringLiteral("/palm")) : m_desktop(desktop) {}

    void add(int id, const QString& name, const QString& folder)
    {
        m_ids.append(id);
        m_users.insert(id, {name, folder});
    }

    int count() const override { return int(m_ids.size()); }
    int idAt(int position) const override { return m_ids.value(position, -1); }
    QString name(int id) const override { return m_users.value(id).first; }
    QString datebookPath(int id) const override { return path(id, "/datebook/datebook.dat"); }
    QString todoPath(int id) const override { return path(id, "/todo/todo.dat"); }

private:
    QString path(int id, const char* file) const
    {
        return m_users.contains(id)
                   ? m_desktop + QLatin1Char('/') + m_users.value(id).second + QLatin1String(file)
                   : QString();
    }

    QString m_desktop;
    QList<int> m_ids;
    QMap<int, QPair<QString, QString>> m_users;
};
