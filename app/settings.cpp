#include "settings.h"

#include "palm/palmusers.h"
#include "stringtable.h"

Settings::Settings(const PalmUsers* users, NoPalmDesktopNotice* notice) : m_users(users)
{
    if (users && users->count() > 0) {
        SelectPalmUser(users->idAt(0));
    } else if (notice) {
        notice->showNoPalmDesktop(LoadText(IDS_NO_PALM_DESKTOP));
    }
}

void Settings::SelectPalmUser(int id)
{
    palmuserid = id;
    const QString userFolder = m_users ? m_users->userFolder(id) : QString();
    if (userFolder.isEmpty()) {
        datebookpath.clear();
        todopath.clear();
        return;
    }
    const QString base = m_users->desktopFolder() + userFolder;
    datebookpath = base + QStringLiteral("/datebook/datebook.dat");
    todopath = base + QStringLiteral("/todo/todo.dat");
}
