// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/recurrence.h"
#include "testtime.h"

#include <QTest>

using namespace palmfile;
using namespace std::chrono;

namespace {

LocalDate dateOf(const QString& text)
{
    const QDate d = QDate::fromString(text, Qt::ISODate);
    return LocalDate{year{d.year()}, month(unsigned(d.month())), day(unsigned(d.day()))};
}

// a, b: weekly days mask and first day of week; monthly by day weekday and week index; monthly
// by date the day; yearly day and month index. Each kind reads only its own fields.
Repeat rule(RepeatKind kind, int interval, int a = 0, int b = 0)
{
    Repeat r{.kind = kind, .interval = interval, .end = 0x7FFFFFFF /* none */};
    r.daysMask = std::uint8_t(a);
    r.dayIndex = r.dayNumber = a;
    r.firstDayOfWeek = r.weekIndex = r.monthIndex = b;
    return r;
}

// The dates from `from` to `to` that are not cancelled.
QString occurrences(const DatebookRecord& record, const QString& from, const QString& to)
{
    QStringList dates;
    for (LocalDate d : occurrencesBetween(record, dateOf(from), dateOf(to)))
        dates << text(d);
    return dates.join(' ');
}

using K = RepeatKind;
constexpr int sunday = 1, monday = 2, friday = 32;

} // namespace

class RecurrenceTest : public QObject
{
    Q_OBJECT

private slots:
    void roundedDate();
    void noDateMarker();
    void occurrencesOfEachRule();
    void writtenInAnotherZone();
};

void RecurrenceTest::roundedDate()
{
    const struct
    {
        const char* zone;
        TimeValue value;
        const char* dates; // the plain date and the rounded one
    } rows[] = {
        // UTC+1 midnight read in Pacific time
        {"America/Los_Angeles", utc("2000-05-28T23:00:00Z"), "2000-05-28 2000-05-29"},
        {"UTC", utc("2026-12-31T12:00:00Z"), "2026-12-31 2027-01-01"},
        // Midnights written in another zone, read on a DST day.
        {"America/New_York", utc("2026-03-28T23:00:00Z"), "2026-03-28 2026-03-29"},
        {"Europe/Berlin", utc("2026-10-25T04:00:00Z"), "2026-10-25 2026-10-25"},
        {"Europe/Berlin", utc("2026-03-29T10:00:00Z"), "2026-03-29 2026-03-30"},
        {"America/New_York", utc("2026-11-01T16:30:00Z"), "2026-11-01 2026-11-01"},
    };
    for (const auto& row : rows) {
        pinTimeZone(row.zone);
        QCOMPARE(text(localDateOf(row.value)) + ' ' + text(roundedDateOf(row.value)), row.dates);
    }
}

void RecurrenceTest::noDateMarker()
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

void RecurrenceTest::occurrencesOfEachRule()
{
    struct Row
    {
        const char* start; // "YYYY-MM-DD HH:MM", or a date alone when untimed
        std::optional<Repeat> repeat;
        const char *end, *from, *to, *expected; // end empty: none
    };
    std::vector<Row> rows = {
        // Daily across the spring change, the end included.
        {"2026-03-27 02:30", rule(K::Daily, 1), "2026-03-31", "2026-03-25", "2026-04-05",
         "2026-03-27 2026-03-28 2026-03-29 2026-03-30 2026-03-31"},
        {"2031-12-30", rule(K::Daily, 1), "", "2031-12-29", "2032-01-02",
         "2031-12-30 2031-12-31 2032-01-01 2032-01-02"},
        {"2026-06-01", rule(K::Weekly, 1, friday), "", "2026-06-01", "2026-06-14",
         "2026-06-05 2026-06-12"},
        // Sunday is the first day of a Sunday week but the last of a Monday week.
        {"2026-03-01", rule(K::Weekly, 2, sunday | monday, 0), "", "2026-03-01", "2026-03-31",
         "2026-03-01 2026-03-02 2026-03-15 2026-03-16 2026-03-29 2026-03-30"},
        {"2026-03-01", rule(K::Weekly, 2, sunday | monday, 1), "", "2026-03-01", "2026-03-31",
         "2026-03-01 2026-03-09 2026-03-15 2026-03-23 2026-03-29"},
        {"2026-04-01 12:00", rule(K::MonthlyByDay, 1, 5, 4), "", "2026-04-01", "2026-07-31",
         "2026-04-24 2026-05-29 2026-06-26 2026-07-31"}, // last Friday
        {"2026-01-31 10:00", rule(K::MonthlyByDate, 1, 31), "", "2026-01-01", "2026-05-31",
         "2026-01-31 2026-02-28 2026-03-31 2026-04-30 2026-05-31"},
        {"2024-02-29", rule(K::Yearly, 1, 29, 1), "", "2024-01-01", "2028-12-31",
         "2024-02-29 2025-02-28 2026-02-28 2027-02-28 2028-02-29"},
    };
    for (const Repeat& impossible :
         {rule(K::Daily, 0), rule(K::Daily, -3), rule(K::Weekly, 1, 0), rule(K::Weekly, 2, 1, 9),
          rule(K::MonthlyByDay, 1, 7), rule(K::MonthlyByDay, 1, 1, 5), rule(K::MonthlyByDate, 1),
          rule(K::MonthlyByDate, 1, 32), rule(K::Yearly, 1, 1, 12)})
        rows.push_back({"2026-05-01", impossible, "", "2026-04-01", "2026-06-30", ""});

    pinTimeZone("Europe/Berlin");
    for (const Row& row : rows) {
        const QString start = row.start;
        DatebookRecord record;
        record.untimed = start.size() == 10;
        record.start = localTime(dateOf(start.left(10)), start.mid(11, 2).toInt(),
                                 start.mid(14, 2).toInt(), 0);
        record.repeat = row.repeat;
        if (record.repeat && *row.end)
            record.repeat->end = localMidnight(dateOf(row.end));
        QCOMPARE(occurrences(record, row.from, row.to), QString(row.expected));
    }
}

void RecurrenceTest::writtenInAnotherZone()
{
    pinTimeZone("Europe/Berlin");
    DatebookRecord timed;
    timed.start = localTime(dateOf("2026-05-10"), 14, 0, 0);
    timed.repeat = rule(K::Daily, 1);
    timed.exceptions = {
        localTime(dateOf("2026-05-12"), 14, 0, 0), // at the occurrence's own time
        localMidnight(dateOf("2026-05-14")),
        utc("2026-05-14T15:00:00Z"), // midnight of the 15th in Tokyo
        utc("2026-03-29T05:00:00Z"), // New York midnight on Berlin's spring day
    };
    QCOMPARE(occurrences(timed, "2026-05-10", "2026-05-17"),
             "2026-05-10 2026-05-11 2026-05-13 2026-05-16 2026-05-17");

    // Written in Berlin, read in Los Angeles: start, end and exception all show 15:00 of the
    // day before; each still stands for its own day.
    pinTimeZone("America/Los_Angeles");
    DatebookRecord untimed;
    untimed.untimed = true;
    untimed.start = utc("2026-05-09T22:00:00Z");
    untimed.repeat = rule(K::Daily, 1);
    untimed.repeat->end = utc("2026-05-13T22:00:00Z");
    untimed.exceptions = {utc("2026-05-11T22:00:00Z")};
    QCOMPARE(occurrences(untimed, "2026-05-01", "2026-05-31"),
             "2026-05-10 2026-05-11 2026-05-13 2026-05-14");
}

QTEST_GUILESS_MAIN(RecurrenceTest)
#include "tst_recurrence.moc"
