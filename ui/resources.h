// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QUrl>

// The program's compiled-in resources. The resource file lives in a static library, so these
// functions also make sure its data is registered before anything reads it.

// Built once and kept as the application's icon: every window without one of its own shows it.
QIcon appIcon();

QPixmap aboutPicture();
QUrl alarmSoundUrl();
