// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Start at logon. The presence of the autostart entry is the option's only record; results
// are 1/0/-1 for the test and 0 or -1 for the changes, on every desktop.
class Autostart
{
public:
    virtual ~Autostart() = default;
    // 1 entry present and readable, 0 absent, -1 no autostart folder can be determined.
    virtual int startupShortcutExists() = 0;
    // 0 written, -1 no folder or the write failed.
    virtual int createStartupShortcut() = 0;
    // 0 after the delete was attempted, -1 no folder.
    virtual int deleteStartupShortcut() = 0;
    // Removes a "Chimewell" value from the system's Run key (Windows only); 0 = success.
    virtual int removeRunKeyValue() { return 0; }
};
