// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todaypass.h"

#include "alarms.h"
#include "palm/todaylist.h"
#include "stringtable.h"

TodayPass runTodayPass(TodayListBuilder& builder, const Settings& settings, bool force)
{
    TodayPass pass;
    pass.result = builder.BuildTodayList(settings, pass.lines, force);
    if (pass.result < 0) {
        // The list was left as it came: empty.
        pass.post = true;
        pass.tooltip = LoadText(IDS_CANT_READ_DATEBOOK);
    } else if (pass.result > 0) {
        pass.post = true;
        pass.tooltip = TooltipText(FirstLineText(builder.alarms(), builder.locale()));
    }
    return pass;
}
