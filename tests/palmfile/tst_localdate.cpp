// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/localdate.h"
#include "testtime.h"

#include <QDateTime>
#include <QTest>

using namespace palmfile;

class LocalDateTest : public QObject
{
    Q_OBJECT

private slots:
    void roundedDate_data();
    void roundedDate();
    void noDateMarker();
};

void LocalDateTest::roundedDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<TimeValue>("value");
    QTest::addColumn<QString>("plainDate");
    QTest::addColumn<QString>("roundedDate");

    struct Row
    {
        const char* name;
        const char* zone;
        TimeValue value;
        const char* plain;
        const char* rounded;
    };
    const Row rows[] = {
        {"UTC+1 midnight read in Pacific", "America/Los_Angeles", utc("2000-05-28T23:00:00Z"),
         "2000-05-28", "2000-05-29"},
        {"11:59 stays", "UTC", utc("2026-06-10T11:59:59Z"), "2026-06-10", "2026-06-10"},
        {"noon rounds up into the next year", "UTC", utc("2026-12-31T12:00:00Z"), "2026-12-31",
         "2027-01-01"},
        {"before 1970", "UTC", -86400 * 365 - 3600, "1968-12-31", "1969-01-01"},
        // Midnights written in another zone, read on a DST day.
        {"Berlin's spring day in New York", "America/New_York", utc("2026-03-28T23:00:00Z"),
         "2026-03-28", "2026-03-29"},
        {"Berlin's autumn day from New York", "Europe/Berlin", utc("2026-10-25T04:00:00Z"),
         "2026-10-25", "2026-10-25"},
        {"noon on Berlin's 23-hour day", "Europe/Berlin", utc("2026-03-29T10:00:00Z"), "2026-03-29",
         "2026-03-30"},
        {"11:30 on New York's 25-hour day", "America/New_York", utc("2026-11-01T16:30:00Z"),
         "2026-11-01", "2026-11-01"},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << QByteArray(row.zone) << row.value << row.plain << row.rounded;
}

void LocalDateTest::roundedDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(TimeValue, value);
    QFETCH(QString, plainDate);
    QFETCH(QString, roundedDate);
    pinTimeZone(zone.constData());

    QCOMPARE(text(localDateOf(value)), plainDate);
    QCOMPARE(text(roundedDateOf(value)), roundedDate);
}

void LocalDateTest::noDateMarker()
{
    // The markers written at UTC-4, UTC-7 and UTC+2 mean "none" wherever the file is read,
    // though in zones east of the writer their local date is already 1 January 2032.
    for (const char* zone :
         {"Europe/Berlin", "America/Los_Angeles", "Pacific/Kiritimati", "Pacific/Pago_Pago"}) {
        pinTimeZone(zone);
        for (TimeValue marker : {1956542399, 1956553199, 1956520799, 0x7FFFFFFF})
            QVERIFY2(isNoDate(marker), zone);
        QVERIFY2(!isNoDate(utc("2026-06-10T12:00:00Z")), zone);
    }
    pinTimeZone("Europe/Berlin");
    using namespace std::chrono;
    QVERIFY(!isNoDate(localTime(LocalDate{2031y, December, 30d}, 23, 59, 59)));
    QVERIFY(isNoDate(localMidnight(LocalDate{2031y, December, 31d})));
}

QTEST_GUILESS_MAIN(LocalDateTest)
#include "tst_localdate.moc"
