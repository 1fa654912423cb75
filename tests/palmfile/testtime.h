// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/localdate.h"

#include <QByteArray>
#include <QDateTime>
#include <QtGlobal>

#include <ctime>

#ifdef Q_OS_WIN
#include <windows.h>

#include <string_view>
#include <utility>

// Windows reads a process's zone once; the tests pin a zone's rules from the system's list.
inline void pinTimeZone(const char* zone)
{
    static const std::pair<std::string_view, const wchar_t*> names[] = {
        {"Europe/Berlin", L"W. Europe Standard Time"},
        {"America/Los_Angeles", L"Pacific Standard Time"},
        {"America/New_York", L"Eastern Standard Time"},
        {"Pacific/Kiritimati", L"Line Islands Standard Time"},
        {"Pacific/Pago_Pago", L"UTC-11"},
        {"UTC", L"UTC"}};
    static TIME_ZONE_INFORMATION pinned;
    std::wstring key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\";
    for (const auto& [iana, windows] : names) {
        if (iana == zone)
            key += windows;
    }
    struct
    {
        LONG bias, standardBias, daylightBias;
        SYSTEMTIME standardDate, daylightDate;
    } rules{};
    DWORD size = sizeof rules;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"TZI", RRF_RT_REG_BINARY, nullptr, &rules,
                     &size) != ERROR_SUCCESS)
        qFatal("no Windows time zone for %s", zone);
    pinned = TIME_ZONE_INFORMATION{};
    pinned.Bias = rules.bias;
    pinned.StandardBias = rules.standardBias;
    pinned.DaylightBias = rules.daylightBias;
    pinned.StandardDate = rules.standardDate;
    pinned.DaylightDate = rules.daylightDate;
    palmfile::pinTimeZone(&pinned);
}
#else
// Each test that depends on the zone sets its own, so none is restored.
inline void pinTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}
#endif

inline palmfile::TimeValue utc(const char* isoTime)
{
    return QDateTime::fromString(QString::fromLatin1(isoTime), Qt::ISODate).toSecsSinceEpoch();
}

inline QString text(palmfile::LocalDate date)
{
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}

#ifdef PALMDAT_PATH
#include <QProcess>

struct PalmdatRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

inline PalmdatRun runPalmdat(const QStringList& arguments, const QByteArray& zone = "Europe/Berlin")
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", zone);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PALMDAT_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}
#endif
