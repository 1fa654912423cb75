// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings.h"

#include "palm/palmusers.h"

Settings::Settings(const PalmUsers* users, NoPalmDesktopNotice* notice) : m_users(users)
{
    if (users && users->count() > 0) {
        selectPalmUser(users->idAt(0));
    } else if (notice) {
        notice->showNoPalmDesktop();
    }
}

void Settings::selectPalmUser(int id)
{
    palmuserid = id;
    datebookpath = m_users ? m_users->datebookPath(id) : QString();
    todopath = m_users ? m_users->todoPath(id) : QString();
}
