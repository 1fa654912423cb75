// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/autostart.h"

#include <QStringList>

// An autostart entry held in memory: `exists` as the desktop would report it (-1: no autostart
// folder), and the changes asked for, in order.
class FakeAutostart : public Autostart
{
public:
    int exists = 0;
    QStringList calls;
    int startupShortcutExists() override { return exists; }
    int createStartupShortcut() override { return record("create", 1); }
    int deleteStartupShortcut() override { return record("delete", 0); }
    int removeRunKeyValue() override { return record("runkey", exists); }

private:
    int record(const QString& call, int nowExists)
    {
        calls << call;
        exists = nowExists;
        return 0;
    }
};
