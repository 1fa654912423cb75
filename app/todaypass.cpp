// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todaypass.h"

#include "alarms.h"
#include "heaptrim.h"
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "stringtable.h"

TodayPass runTodayPass(TodayListBuilder& builder, const Settings& settings, bool force)
{
    TodayPass pass;
    pass.result = builder.buildTodayList(settings, pass.lines, force);
    if (pass.result == 0)
        return pass;
    // The files were read: what that took is free again.
    releaseFreeHeap();
    pass.post = true;
    if (!builder.toDoFailure().isEmpty())
        pass.lines.prepend(loadText(IDS_CANT_READ_TODOS_BECAUSE).arg(builder.toDoFailure()));
    if (builder.datebookFailure().isEmpty()) {
        pass.tooltip = tooltipText(
            firstLineText(builder.alarms(), builder.locale(), settings.showprivate != 0));
    } else {
        pass.tooltip = loadText(IDS_CANT_READ_DATEBOOK);
        pass.lines.prepend(loadText(IDS_CANT_READ_DATEBOOK_BECAUSE).arg(builder.datebookFailure()));
    }
    return pass;
}
