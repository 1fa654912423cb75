// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "messageboxnotice.h"

#include "app/stringtable.h"

#include <QMessageBox>

void MessageBoxNotice::showNoPalmDesktop(const QString& text)
{
    QMessageBox::warning(nullptr, loadText(IDS_APP_TITLE), text, QMessageBox::Ok);
}
