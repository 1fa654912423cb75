// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "logcategories.h"

Q_LOGGING_CATEGORY(lcSettings, "chimewell.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWorker, "chimewell.worker", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAlarm, "chimewell.alarm", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStartup, "chimewell.startup", QtInfoMsg)
Q_LOGGING_CATEGORY(lcInstance, "chimewell.instance", QtInfoMsg)
