// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class Settings;
class TodayListBuilder;

// What one pass of the refresh worker shows: the scans' result and, unless nothing changed,
// the tooltip text and the lines to post. palmdat's `today` runs the same pass.
struct TodayPass
{
    int result = 0; // buildTodayList's: negative a file failed, 0 unchanged, positive rebuilt
    bool post = false;
    QString tooltip;
    QStringList lines;
};

// A file that cannot be read puts an error line naming it and the reason first in the list;
// the datebook's failure is also the tooltip.
TodayPass runTodayPass(TodayListBuilder& builder, const Settings& settings, bool force);
