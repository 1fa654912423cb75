// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/localdate.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

#include <ctime>

// Each test that depends on the zone sets its own, so none is restored.
inline void pinTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

inline palmfile::TimeValue utc(const char* isoTime)
{
    return QDateTime::fromString(QString::fromLatin1(isoTime), Qt::ISODate).toSecsSinceEpoch();
}

inline QString text(palmfile::LocalDate date)
{
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}
