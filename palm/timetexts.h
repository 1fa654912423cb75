// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>

// Local time of day of `t` in the locale's short time format, never with seconds, the hour
// always two digits ("09:05", "05:05 PM"): the today list sorts on it.
QString formatTimeText(std::int64_t t, const QLocale& locale = QLocale::system());
// Local date of `t` in the locale's short date format.
QString formatDateText(std::int64_t t, const QLocale& locale = QLocale::system());
// Every CR and LF becomes a blank; the length stays the same.
void flattenLineBreaks(QString& text);
