// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/autostart.h"

#include <memory>

// The autostart entry of this desktop: the XDG autostart entry, or on Windows the shortcut in
// the Startup folder.
std::unique_ptr<Autostart> makeAutostart();
