#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Each test that depends on the zone sets its own, so none is restored.
inline void pinTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}
