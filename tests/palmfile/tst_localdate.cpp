#include "palmfile/localdate.h"
#include "pinnedtimezone.h"

#include <QDateTime>
#include <QTest>

using namespace palmfile;

namespace {

TimeValue utc(const char* isoTime)
{
    return QDateTime::fromString(QString::fromLatin1(isoTime), Qt::ISODate).toSecsSinceEpoch();
}

QString text(LocalDate date)
{
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}

} // namespace

class LocalDateTest : public QObject
{
    Q_OBJECT

private slots:
    void roundedDate_data();
    void roundedDate();
    void noDateMarker_data();
    void noDateMarker();
    void wallClockOnDstDays_data();
    void wallClockOnDstDays();
};

void LocalDateTest::roundedDate_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<TimeValue>("value");
    QTest::addColumn<QString>("plainDate");
    QTest::addColumn<QString>("roundedDate");

    QTest::newRow("own midnight") << QByteArray("America/Los_Angeles")
                                  << utc("2007-09-03T07:00:00Z") << "2007-09-03"
                                  << "2007-09-03";
    QTest::newRow("Pacific midnight read in Berlin")
        << QByteArray("Europe/Berlin") << utc("2007-09-03T07:00:00Z") << "2007-09-03"
        << "2007-09-03";
    QTest::newRow("UTC+1 midnight read in Pacific")
        << QByteArray("America/Los_Angeles") << utc("2000-05-28T23:00:00Z") << "2000-05-28"
        << "2000-05-29";
    QTest::newRow("11:59 stays") << QByteArray("UTC") << utc("2026-06-10T11:59:59Z") << "2026-06-10"
                                 << "2026-06-10";
    QTest::newRow("noon rounds up")
        << QByteArray("UTC") << utc("2026-06-10T12:00:00Z") << "2026-06-10"
        << "2026-06-11";
    QTest::newRow("end of year rounds into the next")
        << QByteArray("UTC") << utc("2026-12-31T20:00:00Z") << "2026-12-31"
        << "2027-01-01";
    QTest::newRow("before 1970") << QByteArray("UTC") << TimeValue{-86400 * 365 - 3600}
                                 << "1968-12-31"
                                 << "1969-01-01";
    // Midnights written in another zone on the reader's DST days.
    QTest::newRow("Berlin midnight on its spring day, read in New York")
        << QByteArray("America/New_York") << utc("2026-03-28T23:00:00Z") << "2026-03-28"
        << "2026-03-29";
    QTest::newRow("Pacific midnight on New York's spring day")
        << QByteArray("America/New_York") << utc("2026-03-08T08:00:00Z") << "2026-03-08"
        << "2026-03-08";
    QTest::newRow("New York midnight on Berlin's autumn day")
        << QByteArray("Europe/Berlin") << utc("2026-10-25T04:00:00Z") << "2026-10-25"
        << "2026-10-25";
    QTest::newRow("noon on Berlin's 23-hour day")
        << QByteArray("Europe/Berlin") << utc("2026-03-29T10:00:00Z") << "2026-03-29"
        << "2026-03-30";
    QTest::newRow("11:30 on New York's 25-hour day")
        << QByteArray("America/New_York") << utc("2026-11-01T16:30:00Z") << "2026-11-01"
        << "2026-11-01";
}

void LocalDateTest::roundedDate()
{
    QFETCH(QByteArray, zone);
    QFETCH(TimeValue, value);
    QFETCH(QString, plainDate);
    QFETCH(QString, roundedDate);
    PinnedTimeZone pinned(zone.constData());

    QCOMPARE(text(localDateOf(value)), plainDate);
    QCOMPARE(text(roundedDateOf(value)), roundedDate);
}

void LocalDateTest::noDateMarker_data()
{
    QTest::addColumn<TimeValue>("value");
    QTest::addColumn<bool>("noDate");

    const TimeValue markers[] = {1956542399, 1956553199, 1956520799};
    const char* markerNames[] = {"UTC-4 marker", "UTC-7 marker", "UTC+2 marker"};
    for (int i = 0; i < 3; ++i)
        QTest::newRow(markerNames[i]) << markers[i] << true;
    QTest::newRow("an ordinary date") << utc("2026-06-10T12:00:00Z") << false;
    QTest::newRow("the epoch") << TimeValue{0} << false;
    QTest::newRow("largest 32-bit value") << TimeValue{0x7FFFFFFF} << true;
}

void LocalDateTest::noDateMarker()
{
    QFETCH(TimeValue, value);
    QFETCH(bool, noDate);
    // Every marker means "none" wherever the file is read, though in zones east of the writer
    // its local date is already 1 January 2032.
    for (const char* zone : {"Europe/Berlin", "America/New_York", "America/Los_Angeles",
                             "Pacific/Kiritimati", "Pacific/Pago_Pago"}) {
        PinnedTimeZone pinned(zone);
        QVERIFY2(isNoDate(value) == noDate, zone);
    }
    // The last real day before the marker is a date everywhere.
    PinnedTimeZone pinned("Europe/Berlin");
    using namespace std::chrono;
    QVERIFY(!isNoDate(localTime(LocalDate{2031y, December, 30d}, 23, 59, 59)));
    QVERIFY(isNoDate(localMidnight(LocalDate{2031y, December, 31d})));
}

void LocalDateTest::wallClockOnDstDays_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("day");
    QTest::addColumn<TimeValue>("midnight");
    QTest::addColumn<TimeValue>("nineThirty");

    QTest::newRow("Berlin spring") << QByteArray("Europe/Berlin") << "2026-03-29"
                                   << utc("2026-03-28T23:00:00Z") << utc("2026-03-29T07:30:00Z");
    QTest::newRow("Berlin autumn") << QByteArray("Europe/Berlin") << "2026-10-25"
                                   << utc("2026-10-24T22:00:00Z") << utc("2026-10-25T08:30:00Z");
    QTest::newRow("New York spring") << QByteArray("America/New_York") << "2026-03-08"
                                     << utc("2026-03-08T05:00:00Z") << utc("2026-03-08T13:30:00Z");
    QTest::newRow("New York autumn") << QByteArray("America/New_York") << "2026-11-01"
                                     << utc("2026-11-01T04:00:00Z") << utc("2026-11-01T14:30:00Z");
}

void LocalDateTest::wallClockOnDstDays()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, day);
    QFETCH(TimeValue, midnight);
    QFETCH(TimeValue, nineThirty);
    PinnedTimeZone pinned(zone.constData());

    const QDate qdate = QDate::fromString(day, Qt::ISODate);
    const LocalDate date{std::chrono::year{qdate.year()}, std::chrono::month(qdate.month()),
                         std::chrono::day(qdate.day())};
    QCOMPARE(localMidnight(date), midnight);
    QCOMPARE(localTime(date, 9, 30, 0), nineThirty);
    QCOMPARE(text(localDateOf(nineThirty)), day);
    QVERIFY((localTimeOfDay(nineThirty) == TimeOfDay{9, 30, 0}));
    // The day after is reached on the calendar, not by adding 86,400 s.
    const TimeValue nextMidnight =
        localMidnight(LocalDate{std::chrono::sys_days{date} + std::chrono::days{1}});
    QCOMPARE(text(localDateOf(nextMidnight)), qdate.addDays(1).toString(Qt::ISODate));
    QCOMPARE(localTimeOfDay(nextMidnight).hour, 0);
}

QTEST_GUILESS_MAIN(LocalDateTest)
#include "tst_localdate.moc"
