// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/stringtable.h"

#include <QString>

class QWidget;

// The help page of `language` installed with the program, the English one when that language
// has none; "" when there is no help page at all. `programDir` is where the executable lies:
// the page is looked for in ../share/chimewell/help below it, then in the desktop's data
// folders.
QString helpPagePath(UiLanguage language, const QString& programDir);

// Opens the help page in the desktop's viewer; a missing page or viewer is told calmly.
void showHelpPage(QWidget* parent);
