// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "uilog.h"

Q_LOGGING_CATEGORY(lcUi, "chimewell.ui", QtInfoMsg)
