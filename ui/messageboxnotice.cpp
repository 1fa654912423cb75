// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxnotice.h"

#include "app/stringtable.h"

#include <QMessageBox>

void MessageBoxNotice::showNoPalmDesktop()
{
    QMessageBox::warning(nullptr, loadText(IDS_APP_TITLE), loadText(IDS_NO_PALM_DESKTOP),
                         QMessageBox::Ok);
}
