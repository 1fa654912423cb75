// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "testtime.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using namespace palmfile;

Q_DECLARE_METATYPE(std::optional<palmfile::Repeat>)

namespace {

LocalDate dateOf(const QString& text)
{
    const QDate d = QDate::fromString(text, Qt::ISODate);
    return LocalDate{std::chrono::year{d.year()}, std::chrono::month(d.month()),
                     std::chrono::day(d.day())};
}

LocalDate dayAfter(LocalDate date)
{
    return LocalDate{std::chrono::sys_days{date} + std::chrono::days{1}};
}

// a, b: weekly days mask and first day of week; monthly by day weekday and week index; monthly
// by date the day; yearly day and month index. Each kind reads only its own fields.
std::optional<Repeat> rule(RepeatKind kind, int interval, int a = 0, int b = 0)
{
    Repeat r{.kind = kind, .interval = interval, .end = 1956520799 /* no end */};
    r.daysMask = std::uint8_t(a);
    r.dayIndex = r.dayNumber = a;
    r.firstDayOfWeek = r.weekIndex = r.monthIndex = b;
    return r;
}

// Every occurrence in [from, to], cancelled ones too.
QStringList allOccurrences(const DatebookRecord& record, LocalDate from, LocalDate to)
{
    QStringList dates;
    for (auto d = nextOccurrence(record, from); d && *d <= to;
         d = nextOccurrence(record, dayAfter(*d)))
        dates << text(*d);
    return dates;
}

QString uncancelled(const DatebookRecord& record, const char* from, const char* to)
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
    void occurrences_data();
    void occurrences();
    void writtenInAnotherZone();
    void realSamples_data();
    void realSamples();
};

void RecurrenceTest::occurrences_data()
{
    QTest::addColumn<QString>("start"); // "YYYY-MM-DD HH:MM", or a date alone when untimed
    QTest::addColumn<std::optional<Repeat>>("repeat");
    QTest::addColumn<QString>("end");    // empty: no end
    QTest::addColumn<QString>("window"); // "from to"
    QTest::addColumn<QString>("expected");

    struct Row
    {
        const char* name;
        const char* start;
        std::optional<Repeat> repeat;
        const char* end;
        const char* window;
        const char* expected;
    };
    const Row rows[] = {
        {"single appointment", "2026-05-12 09:00", {}, "", "2026-05-01 2026-05-31", "2026-05-12"},
        {"daily across the spring change, end inclusive", "2026-03-27 02:30", rule(K::Daily, 1),
         "2026-03-31", "2026-03-25 2026-04-05",
         "2026-03-27 2026-03-28 2026-03-29 2026-03-30 2026-03-31"},
        {"every seventh day since 1990", "1990-01-01 09:00", rule(K::Daily, 7), "",
         "2026-06-02 2026-06-16", "2026-06-08 2026-06-15"},
        {"no end runs past 2031", "2031-12-30", rule(K::Daily, 1), "", "2031-12-29 2032-01-02",
         "2031-12-30 2031-12-31 2032-01-01 2032-01-02"},
        {"huge interval", "2026-05-01", rule(K::Daily, 0x7FFFFFFF), "", "2026-04-01 2026-05-31",
         "2026-05-01"},
        {"start day not in the mask", "2026-06-01", rule(K::Weekly, 1, friday), "",
         "2026-06-01 2026-06-14", "2026-06-05 2026-06-12"},
        // Sunday is the first day of a Sunday week but the last of a Monday week.
        {"fortnightly, weeks from Sunday", "2026-03-01", rule(K::Weekly, 2, sunday | monday, 0), "",
         "2026-03-01 2026-03-31",
         "2026-03-01 2026-03-02 2026-03-15 2026-03-16 2026-03-29 2026-03-30"},
        {"fortnightly, weeks from Monday", "2026-03-01", rule(K::Weekly, 2, sunday | monday, 1), "",
         "2026-03-01 2026-03-31", "2026-03-01 2026-03-09 2026-03-15 2026-03-23 2026-03-29"},
        {"every third week since 1995", "1995-01-02", rule(K::Weekly, 3, monday, 1), "",
         "2026-06-01 2026-07-31", "2026-06-15 2026-07-06 2026-07-27"},
        {"last Friday", "2026-04-01 12:00", rule(K::MonthlyByDay, 1, 5, 4), "",
         "2026-04-01 2026-07-31", "2026-04-24 2026-05-29 2026-06-26 2026-07-31"},
        {"the 31st in short months", "2026-01-31 10:00", rule(K::MonthlyByDate, 1, 31), "",
         "2026-01-01 2026-05-31", "2026-01-31 2026-02-28 2026-03-31 2026-04-30 2026-05-31"},
        {"the 30th every other month", "2027-12-30", rule(K::MonthlyByDate, 2, 30), "",
         "2027-12-01 2028-06-30", "2027-12-30 2028-02-29 2028-04-30 2028-06-30"},
        {"29 February", "2024-02-29", rule(K::Yearly, 1, 29, 1), "", "2024-01-01 2028-12-31",
         "2024-02-29 2025-02-28 2026-02-28 2027-02-28 2028-02-29"},
        {"every fourth year", "2000-11-11", rule(K::Yearly, 4, 11, 10), "2008-11-11",
         "2000-01-01 2012-12-31", "2000-11-11 2004-11-11 2008-11-11"},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.start << row.repeat << row.end << row.window << row.expected;

    const std::optional<Repeat> impossible[] = {
        rule(K::Daily, 0),           rule(K::Daily, -3),
        rule(K::Weekly, 1, 0),       rule(K::Weekly, 2, 1, 9),
        rule(K::MonthlyByDay, 1, 7), rule(K::MonthlyByDay, 1, 1, 5),
        rule(K::MonthlyByDate, 1),   rule(K::MonthlyByDate, 1, 32),
        rule(K::Yearly, 1, 1, 12),
    };
    for (const auto& r : impossible)
        QTest::addRow("impossible rule %d", int(&r - impossible)) << "2026-05-01" << r << ""
                                                                  << "2026-04-01 2026-06-30"
                                                                  << "";
}

void RecurrenceTest::occurrences()
{
    QFETCH(QString, start);
    QFETCH(std::optional<Repeat>, repeat);
    QFETCH(QString, end);
    QFETCH(QString, window);
    QFETCH(QString, expected);
    pinTimeZone("Europe/Berlin");

    DatebookRecord record;
    const LocalDate startDate = dateOf(start.left(10));
    record.untimed = start.size() == 10;
    record.start = record.untimed ? localMidnight(startDate)
                                  : localTime(startDate, start.mid(11, 2).toInt(),
                                              start.mid(14, 2).toInt(), 0);
    record.repeat = repeat;
    if (record.repeat && !end.isEmpty())
        record.repeat->end = localMidnight(dateOf(end));

    const LocalDate first = dateOf(window.left(10)), last = dateOf(window.right(10));
    const QStringList dates = expected.split(' ', Qt::SkipEmptyParts);
    QCOMPARE(allOccurrences(record, first, last), dates);

    // Asked from any day of the window, the answer is the next of those dates.
    for (LocalDate day = first; day <= last; day = dayAfter(day)) {
        const auto next = nextOccurrence(record, day);
        const auto it = std::find_if(dates.begin(), dates.end(),
                                     [&](const QString& d) { return d >= text(day); });
        if (it != dates.end())
            QCOMPARE(next ? text(*next) : QString(), *it);
        else
            QVERIFY2(!next || *next > last, qPrintable(text(day)));
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
    QCOMPARE(uncancelled(timed, "2026-05-10", "2026-05-17"),
             "2026-05-10 2026-05-11 2026-05-13 2026-05-16 2026-05-17");
    QVERIFY(isException(timed, dateOf("2026-03-29")));
    QVERIFY(!isException(timed, dateOf("2026-03-28")));

    // Written in Berlin, read in Los Angeles: start, end and exception all show 15:00 of the
    // day before; each still stands for its own day.
    pinTimeZone("America/Los_Angeles");
    DatebookRecord untimed;
    untimed.untimed = true;
    untimed.start = utc("2026-05-09T22:00:00Z");
    untimed.repeat = rule(K::Daily, 1);
    untimed.repeat->end = utc("2026-05-13T22:00:00Z");
    untimed.exceptions = {utc("2026-05-11T22:00:00Z")};
    QCOMPARE(uncancelled(untimed, "2026-05-01", "2026-05-31"),
             "2026-05-10 2026-05-11 2026-05-13 2026-05-14");
}

void RecurrenceTest::realSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("expected"); // every occurrence that is not cancelled

    // Its exceptions were each stored twice, as Pacific midnight and as midnight at UTC+1.
    QTest::newRow("Memorial Day") << "FederalHolidays.dba"
                                  << "Memorial Day"
                                  << "2002-05-27 2003-05-26 2004-05-31 2005-05-30 2006-05-29 "
                                     "2007-05-28 2008-05-26";
    QTest::newRow("Fathers' Day") << "non-FederalHolidays.dba"
                                  << "Fathers' Day"
                                  << "2002-06-16 2003-06-15 2004-06-20 2005-06-19 2006-06-18 "
                                     "2007-06-17 2008-06-15";
}

void RecurrenceTest::realSamples()
{
    QFETCH(QString, file);
    QFETCH(QString, description);
    QFETCH(QString, expected);
    const QString path = QStringLiteral(CHIMEWELL_SAMPLES_DIR "/hebcal-dotcom/") + file;
    if (!QFile::exists(path))
        QSKIP("the public Palm sample archives are not here");

    // Written in US Pacific time; the dates hold wherever the file is read.
    for (const char* zone : {"America/Los_Angeles", "America/New_York", "Europe/Berlin"}) {
        pinTimeZone(zone);
        const auto datebook = readDatebookFile(path.toStdString());
        QVERIFY2(datebook.ok(), datebook.error().c_str());
        const auto& records = datebook.value().records;
        const auto record = std::find_if(records.begin(), records.end(), [&](const auto& r) {
            return r.description == description.toStdString();
        });
        QVERIFY(record != records.end());
        QCOMPARE(uncancelled(*record, "1990-01-01", "2030-12-31"), expected);
    }
}

QTEST_GUILESS_MAIN(RecurrenceTest)
#include "tst_recurrence.moc"
