#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "pinnedtimezone.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using namespace palmfile;

Q_DECLARE_METATYPE(std::optional<palmfile::Repeat>)

namespace {

// The "no end" marker as written in Germany.
constexpr TimeValue noEnd = 1956520799;

TimeValue utc(const char* isoTime)
{
    return QDateTime::fromString(QString::fromLatin1(isoTime), Qt::ISODate).toSecsSinceEpoch();
}

LocalDate dateOf(const QString& text)
{
    const QDate d = QDate::fromString(text, Qt::ISODate);
    return LocalDate{std::chrono::year{d.year()}, std::chrono::month(d.month()),
                     std::chrono::day(d.day())};
}

QString text(LocalDate date)
{
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}

LocalDate dayAfter(LocalDate date)
{
    return LocalDate{std::chrono::sys_days{date} + std::chrono::days{1}};
}

std::optional<Repeat> rule(RepeatKind kind, int interval)
{
    Repeat r;
    r.kind = kind;
    r.interval = interval;
    r.end = noEnd;
    return r;
}

std::optional<Repeat> daily(int interval)
{
    return rule(RepeatKind::Daily, interval);
}

std::optional<Repeat> weekly(int interval, std::uint8_t mask, int firstDayOfWeek)
{
    auto r = rule(RepeatKind::Weekly, interval);
    r->daysMask = mask;
    r->firstDayOfWeek = r->dayIndex = firstDayOfWeek;
    return r;
}

std::optional<Repeat> monthlyByDay(int interval, int weekday, int weekIndex)
{
    auto r = rule(RepeatKind::MonthlyByDay, interval);
    r->dayIndex = weekday;
    r->weekIndex = weekIndex;
    return r;
}

std::optional<Repeat> monthlyByDate(int interval, int day)
{
    auto r = rule(RepeatKind::MonthlyByDate, interval);
    r->dayNumber = day;
    return r;
}

std::optional<Repeat> yearly(int interval, int day, int monthIndex)
{
    auto r = rule(RepeatKind::Yearly, interval);
    r->dayNumber = day;
    r->monthIndex = monthIndex;
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

QStringList texts(const std::vector<LocalDate>& dates)
{
    QStringList out;
    for (LocalDate d : dates)
        out << text(d);
    return out;
}

constexpr std::uint8_t sunday = 1, monday = 2, wednesday = 8, friday = 32;

} // namespace

class RecurrenceTest : public QObject
{
    Q_OBJECT

private slots:
    void occurrences_data();
    void occurrences();
    void memorialDayExceptionsFromTwoZones();
    void endWrittenInAnotherZone_data();
    void endWrittenInAnotherZone();
    void exceptionsOfTimedRecords();
    void exceptionsOfUntimedRecordReadInAnotherZone();
    void alarmAdvance_data();
    void alarmAdvance();
    void realSamples_data();
    void realSamples();
};

void RecurrenceTest::occurrences_data()
{
    QTest::addColumn<QString>("start"); // "YYYY-MM-DD HH:MM", or a date alone when untimed
    QTest::addColumn<std::optional<Repeat>>("repeat");
    QTest::addColumn<QString>("end"); // empty: no end
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("expected");

    QTest::newRow("single appointment") << "2026-05-12 09:00" << std::optional<Repeat>{} << ""
                                        << "2026-05-01"
                                        << "2026-05-31"
                                        << "2026-05-12";
    QTest::newRow("daily across the spring change")
        << "2026-03-27 02:30" << daily(1) << "2026-03-31"
        << "2026-03-25"
        << "2026-04-05"
        << "2026-03-27 2026-03-28 2026-03-29 2026-03-30 2026-03-31";
    QTest::newRow("every third day") << "2026-02-26" << daily(3) << ""
                                     << "2026-02-26"
                                     << "2026-03-10"
                                     << "2026-02-26 2026-03-01 2026-03-04 2026-03-07 2026-03-10";
    QTest::newRow("end date is inclusive") << "2026-05-01 18:00" << daily(7) << "2026-05-15"
                                           << "2026-04-01"
                                           << "2026-05-31"
                                           << "2026-05-01 2026-05-08 2026-05-15";
    QTest::newRow("end before start") << "2026-05-10" << daily(1) << "2026-05-09"
                                      << "2026-05-01"
                                      << "2026-05-31"
                                      << "";
    QTest::newRow("started in 1990") << "1990-01-01 09:00" << daily(7) << ""
                                     << "2026-06-02"
                                     << "2026-06-16"
                                     << "2026-06-08 2026-06-15";
    QTest::newRow("no end runs past 2031") << "2031-12-30" << daily(1) << ""
                                           << "2031-12-29"
                                           << "2032-01-02"
                                           << "2031-12-30 2031-12-31 2032-01-01 2032-01-02";
    QTest::newRow("huge interval") << "2026-05-01" << daily(0x7FFFFFFF) << ""
                                   << "2026-04-01"
                                   << "2026-05-31"
                                   << "2026-05-01";

    QTest::newRow("weekly on Monday and Wednesday")
        << "2026-06-01 08:15" << weekly(1, monday | wednesday, 0) << "2026-06-17"
        << "2026-05-25"
        << "2026-06-30"
        << "2026-06-01 2026-06-03 2026-06-08 2026-06-10 2026-06-15 2026-06-17";
    QTest::newRow("start day not in the mask") << "2026-06-01" << weekly(1, friday, 0) << ""
                                               << "2026-06-01"
                                               << "2026-06-14"
                                               << "2026-06-05 2026-06-12";
    // Sunday is the first day of a Sunday week but the last of a Monday week.
    QTest::newRow("fortnightly, weeks from Sunday")
        << "2026-03-01" << weekly(2, sunday | monday, 0) << ""
        << "2026-03-01"
        << "2026-03-31"
        << "2026-03-01 2026-03-02 2026-03-15 2026-03-16 2026-03-29 2026-03-30";
    QTest::newRow("fortnightly, weeks from Monday")
        << "2026-03-01" << weekly(2, sunday | monday, 1) << ""
        << "2026-03-01"
        << "2026-03-31"
        << "2026-03-01 2026-03-09 2026-03-15 2026-03-23 2026-03-29";
    QTest::newRow("every third week, started in 1995") << "1995-01-02" << weekly(3, monday, 1) << ""
                                                       << "2026-06-01"
                                                       << "2026-07-31"
                                                       << "2026-06-15 2026-07-06 2026-07-27";

    QTest::newRow("fourth Friday") << "2026-04-01 12:00" << monthlyByDay(1, 5, 3) << ""
                                   << "2026-04-01"
                                   << "2026-07-31"
                                   << "2026-04-24 2026-05-22 2026-06-26 2026-07-24";
    QTest::newRow("last Friday") << "2026-04-01 12:00" << monthlyByDay(1, 5, 4) << ""
                                 << "2026-04-01"
                                 << "2026-07-31"
                                 << "2026-04-24 2026-05-29 2026-06-26 2026-07-31";
    QTest::newRow("first Monday of September (Labor Day)")
        << "2001-09-03" << monthlyByDay(12, 1, 0) << "2007-09-03"
        << "2001-01-01"
        << "2008-12-31"
        << "2001-09-03 2002-09-02 2003-09-01 2004-09-06 2005-09-05 2006-09-04 2007-09-03";
    QTest::newRow("second Sunday every other month")
        << "2026-01-11" << monthlyByDay(2, 0, 1) << ""
        << "2026-01-01"
        << "2026-07-31"
        << "2026-01-11 2026-03-08 2026-05-10 2026-07-12";

    QTest::newRow("the 31st in short months")
        << "2026-01-31 10:00" << monthlyByDate(1, 31) << ""
        << "2026-01-01"
        << "2026-05-31"
        << "2026-01-31 2026-02-28 2026-03-31 2026-04-30 2026-05-31";
    QTest::newRow("the 30th every other month") << "2027-12-30" << monthlyByDate(2, 30) << ""
                                                << "2027-12-01"
                                                << "2028-06-30"
                                                << "2027-12-30 2028-02-29 2028-04-30 2028-06-30";

    QTest::newRow("29 February") << "2024-02-29" << yearly(1, 29, 1) << ""
                                 << "2024-01-01"
                                 << "2028-12-31"
                                 << "2024-02-29 2025-02-28 2026-02-28 2027-02-28 2028-02-29";
    QTest::newRow("every fourth year") << "2000-11-11" << yearly(4, 11, 10) << "2008-11-11"
                                       << "2000-01-01"
                                       << "2012-12-31"
                                       << "2000-11-11 2004-11-11 2008-11-11";

    const std::optional<Repeat> impossible[] = {
        daily(0),
        daily(-3),
        weekly(1, 0, 0),
        weekly(2, monday, 9),
        monthlyByDay(1, 7, 0),
        monthlyByDay(1, 1, 5),
        monthlyByDate(1, 0),
        monthlyByDate(1, 32),
        yearly(1, 1, 12),
        yearly(1, 0, 0),
    };
    int i = 0;
    for (const auto& r : impossible) {
        QTest::addRow("impossible rule %d", i++) << "2026-05-01" << r << ""
                                                 << "2026-04-01"
                                                 << "2026-06-30"
                                                 << "";
    }
}

void RecurrenceTest::occurrences()
{
    QFETCH(QString, start);
    QFETCH(std::optional<Repeat>, repeat);
    QFETCH(QString, end);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, expected);
    PinnedTimeZone pinned("Europe/Berlin");

    DatebookRecord record;
    const LocalDate startDate = dateOf(start.left(10));
    record.untimed = start.size() == 10;
    record.start = record.untimed ? localMidnight(startDate)
                                  : localTime(startDate, start.mid(11, 2).toInt(),
                                              start.mid(14, 2).toInt(), 0);
    record.repeat = repeat;
    if (record.repeat && !end.isEmpty())
        record.repeat->end = localMidnight(dateOf(end));

    const LocalDate first = dateOf(from), last = dateOf(to);
    const QStringList dates = expected.split(' ', Qt::SkipEmptyParts);
    QCOMPARE(allOccurrences(record, first, last), dates);

    // Asked from any day of the window, the answer is the next of those dates.
    for (LocalDate day = first; day <= last; day = dayAfter(day)) {
        const auto next = nextOccurrence(record, day);
        const auto it = std::find_if(dates.begin(), dates.end(),
                                     [&](const QString& d) { return d >= text(day); });
        if (it != dates.end()) {
            QVERIFY(next);
            QCOMPARE(text(*next), *it);
        } else {
            QVERIFY2(!next || *next > last, qPrintable(text(day)));
        }
    }
}

void RecurrenceTest::memorialDayExceptionsFromTwoZones()
{
    // Last Monday of May, written in US Pacific time; its exceptions for 2000 and 2001 were each
    // stored twice, once as Pacific midnight and once as midnight in a UTC+1 zone.
    DatebookRecord record;
    record.untimed = true;
    record.start = utc("2000-05-29T07:00:00Z");
    record.repeat = monthlyByDay(12, 1, 4);
    record.repeat->end = utc("2008-05-29T07:00:00Z");
    record.exceptions = {utc("2000-05-29T07:00:00Z"), utc("2000-05-28T23:00:00Z"),
                         utc("2001-05-28T07:00:00Z"), utc("2001-05-27T23:00:00Z")};

    for (const char* zone : {"America/Los_Angeles", "America/New_York", "Europe/Berlin"}) {
        PinnedTimeZone pinned(zone);
        QCOMPARE(texts(occurrencesBetween(record, dateOf("1999-01-01"), dateOf("2010-12-31"))),
                 QStringList({"2002-05-27", "2003-05-26", "2004-05-31", "2005-05-30", "2006-05-29",
                              "2007-05-28", "2008-05-26"}));
    }
}

void RecurrenceTest::endWrittenInAnotherZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<TimeValue>("end");
    QTest::addColumn<QString>("lastDate");

    QTest::newRow("Berlin midnight read in Los Angeles")
        << QByteArray("America/Los_Angeles") << utc("2026-05-14T22:00:00Z") << "2026-05-15";
    QTest::newRow("Pacific midnight read in Berlin")
        << QByteArray("Europe/Berlin") << utc("2026-05-15T07:00:00Z") << "2026-05-15";
    QTest::newRow("New York midnight read in Berlin")
        << QByteArray("Europe/Berlin") << utc("2026-05-15T04:00:00Z") << "2026-05-15";
    for (TimeValue marker : {1956542399, 1956553199, 1956520799}) {
        for (const char* zone : {"America/Los_Angeles", "America/New_York", "Europe/Berlin"})
            QTest::addRow("marker %lld in %s", static_cast<long long>(marker), zone)
                << QByteArray(zone) << marker << "";
    }
}

void RecurrenceTest::endWrittenInAnotherZone()
{
    QFETCH(QByteArray, zone);
    QFETCH(TimeValue, end);
    QFETCH(QString, lastDate);
    PinnedTimeZone pinned(zone.constData());

    DatebookRecord record;
    record.start = localTime(dateOf("2026-05-10"), 7, 45, 0);
    record.repeat = daily(1);
    record.repeat->end = end;
    const auto last = allOccurrences(record, dateOf("2026-05-01"), dateOf("2040-12-31"));
    QCOMPARE(last.first(), QString("2026-05-10"));
    QCOMPARE(last.last(), lastDate.isEmpty() ? QString("2040-12-31") : lastDate);
}

void RecurrenceTest::exceptionsOfTimedRecords()
{
    PinnedTimeZone pinned("Europe/Berlin");
    DatebookRecord record;
    record.start = localTime(dateOf("2026-05-10"), 14, 0, 0);
    record.repeat = daily(1);
    record.exceptions = {
        localTime(dateOf("2026-05-12"), 14, 0, 0), // at the occurrence's own time
        localMidnight(dateOf("2026-05-14")),
        utc("2026-05-14T15:00:00Z"), // midnight of the 15th in Tokyo
        utc("2026-03-29T05:00:00Z"), // New York midnight on Berlin's spring day
    };
    QCOMPARE(texts(occurrencesBetween(record, dateOf("2026-05-10"), dateOf("2026-05-17"))),
             QStringList({"2026-05-10", "2026-05-11", "2026-05-13", "2026-05-16", "2026-05-17"}));
    QVERIFY(isException(record, dateOf("2026-03-29")));
    QVERIFY(!isException(record, dateOf("2026-03-28")));
}

void RecurrenceTest::exceptionsOfUntimedRecordReadInAnotherZone()
{
    // Written in Berlin, read in Los Angeles: start and exception both show 15:00 of the day
    // before. The exception still cancels its own day, not the day before.
    PinnedTimeZone pinned("America/Los_Angeles");
    DatebookRecord record;
    record.untimed = true;
    record.start = utc("2026-05-09T22:00:00Z");
    record.repeat = daily(1);
    record.exceptions = {utc("2026-05-11T22:00:00Z")};
    QCOMPARE(texts(occurrencesBetween(record, dateOf("2026-05-01"), dateOf("2026-05-13"))),
             QStringList({"2026-05-10", "2026-05-11", "2026-05-13"}));
}

void RecurrenceTest::alarmAdvance_data()
{
    QTest::addColumn<bool>("alarmSet");
    QTest::addColumn<int>("amount");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("minutes");

    QTest::newRow("5 minutes") << true << 5 << 0 << 5;
    QTest::newRow("at the start") << true << 0 << 0 << 0;
    QTest::newRow("2 hours") << true << 2 << 1 << 120;
    QTest::newRow("99 days") << true << 99 << 2 << 99 * 1440;
    QTest::newRow("alarm not set") << false << 5 << 0 << -1;
    QTest::newRow("no alarm, amount -1") << true << -1 << 0 << -1;
    QTest::newRow("no alarm, unit -1") << true << 0 << -1 << -1;
    QTest::newRow("amount beyond 99") << true << 100 << 0 << -1;
    QTest::newRow("unknown unit") << true << 5 << 3 << -1;
}

void RecurrenceTest::alarmAdvance()
{
    QFETCH(bool, alarmSet);
    QFETCH(int, amount);
    QFETCH(int, unit);
    QFETCH(int, minutes);
    DatebookRecord record;
    record.alarmSet = alarmSet;
    record.alarmAmount = amount;
    record.alarmUnit = unit;
    QCOMPARE(alarmAdvanceMinutes(record), minutes);
}

void RecurrenceTest::realSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("expected"); // every occurrence that is not cancelled

    const QString federal = "FederalHolidays.dba", other = "non-FederalHolidays.dba";
    QTest::newRow("Labor Day") << federal << "Labor Day"
                               << "2001-09-03 2002-09-02 2003-09-01 2004-09-06 2005-09-05 "
                                  "2006-09-04 2007-09-03";
    QTest::newRow("Thanksgiving") << federal << "Thanksgiving"
                                  << "2001-11-22 2002-11-28 2003-11-27 2004-11-25 2005-11-24 "
                                     "2006-11-23 2007-11-22";
    QTest::newRow("Veterans' Day") << federal << "Veterans' Day"
                                   << "2001-11-11 2002-11-11 2003-11-11 2004-11-11 2005-11-11 "
                                      "2006-11-11 2007-11-11";
    QTest::newRow("Memorial Day") << federal << "Memorial Day"
                                  << "2002-05-27 2003-05-26 2004-05-31 2005-05-30 2006-05-29 "
                                     "2007-05-28 2008-05-26";
    QTest::newRow("Mothers' Day") << other << "Mothers' Day"
                                  << "2002-05-12 2003-05-11 2004-05-09 2005-05-08 2006-05-14 "
                                     "2007-05-13 2008-05-11";
    QTest::newRow("Fathers' Day") << other << "Fathers' Day"
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
        PinnedTimeZone pinned(zone);
        const auto datebook = readDatebookFile(path.toStdString());
        QVERIFY2(datebook.ok(), datebook.error().c_str());
        const auto& records = datebook.value().records;
        const auto record = std::find_if(records.begin(), records.end(), [&](const auto& r) {
            return r.description == description.toStdString();
        });
        QVERIFY(record != records.end());
        QCOMPARE(texts(occurrencesBetween(*record, dateOf("1990-01-01"), dateOf("2030-12-31"))),
                 expected.split(' '));
    }
}

QTEST_GUILESS_MAIN(RecurrenceTest)
#include "tst_recurrence.moc"
