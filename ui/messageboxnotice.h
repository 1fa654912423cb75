// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palm/settings.h"

// Tells the user in a message box (OK only) that no Palm Desktop was found.
class MessageBoxNotice : public NoPalmDesktopNotice
{
public:
    void showNoPalmDesktop() override;
};
