// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <span>

// The Options dialog's controls by their ids; each one's help topic is 0x50000 + its id.
enum OptionsControl : int
{
    IDC_BEEP = 1003,
    IDC_SHOW_ALL_TODAY = 1004,
    IDC_TODOS_NO_DATE = 1007,
    IDC_MAX_PRIORITY = 1008,
    IDC_SHOW_TODOS = 1009,
    IDC_SHOW_PRIVATE = 1012,
    IDC_PASSWORD = 1013,
    IDC_STORE_PASSWORD = 1014,
    IDC_AUTOHIDE = 1015,
    IDC_WARN_RED = 1016,
    IDC_AUTOSTART = 1017,
    IDC_SHOW_UNTIMED = 1018,
};

constexpr int helpContext(int controlId)
{
    return 0x50000 + controlId;
}

// One help topic in both languages. The HTML help pages carry the same texts, one section
// per topic.
struct ContextHelp
{
    int context;
    const char* english;
    const char* german;
};

std::span<const ContextHelp> contextHelpTable();
// The topic's text in the current UI language; "" for an unknown context number.
QString contextHelpText(int context);
