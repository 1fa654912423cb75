// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat ics read back with libical: its recurrences expand to the dates Chimewell computes.

#include "palm/alarmlist.h"
#include "palmfile/layout.h"
#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "palmfile/users.h"
#include "palmfile/writer.h"
#include "testtime.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <libical/ical.h>

#include <map>
#include <memory>

using namespace palmfile;
using namespace std::chrono;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
};

Run palmdat(const QStringList& arguments, const QByteArray& zone)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", zone);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PALMDAT_PATH), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput()};
}

LocalDate addDays(LocalDate date, int count)
{
    return LocalDate{sys_days{date} + days{count}};
}

LocalDate dateOf(const QDate& d)
{
    return LocalDate{year{d.year()}, month(d.month()), day(d.day())};
}

LocalDate dateOf(const icaltimetype& t)
{
    return LocalDate{year{t.year}, month(unsigned(t.month)), day(unsigned(t.day))};
}

// "date" for an all-day occurrence, "date instant" for a timed one. Calendar programs differ on
// a start in the hour a clock change skips or doubles, so on such a day only the date counts.
QString occurrenceText(LocalDate date, std::optional<TimeValue> start)
{
    const bool clockChanges = localMidnight(addDays(date, 1)) - localMidnight(date) != 86400;
    return text(date) + (!start         ? QString()
                         : clockChanges ? QStringLiteral(" clock change")
                                        : ' ' + QString::number(*start));
}

QStringList expectedOccurrences(const DatebookRecord& record, LocalDate from, LocalDate to)
{
    const TimeOfDay time = localTimeOfDay(record.start);
    QStringList lines;
    for (LocalDate date : occurrencesBetween(record, from, to)) {
        lines << occurrenceText(
            date, record.untimed
                      ? std::nullopt
                      : std::optional{localTime(date, time.hour, time.minute, time.second)});
    }
    return lines;
}

// The event's occurrences as RFC 5545 defines them: DTSTART, the RRULE's dates (expanded by
// libical's iterator) and the RDATEs, less the EXDATEs.
QStringList icalOccurrences(icalcomponent* event, LocalDate from, LocalDate to)
{
    icaltimetype start = icalcomponent_get_dtstart(event);
    std::vector<icaltimetype> times{start};
    if (icalproperty* rrule = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY)) {
        // On the wall clock, as RFC 5545 defines it: libical 3.0 moves a time out of the hour
        // a clock change skips and keeps it moved on the following days.
        icaltimetype wallClock = start;
        icalrecurrencetype rule = icalproperty_get_rrule(rrule);
        if (!start.is_date && !icaltime_is_null_time(rule.until))
            rule.until =
                icaltime_convert_to_zone(rule.until, const_cast<icaltimezone*>(start.zone));
        wallClock.zone = rule.until.zone = nullptr;
        icalrecur_iterator* it = icalrecur_iterator_new(rule, wallClock);
        for (icaltimetype t = icalrecur_iterator_next(it);
             !icaltime_is_null_time(t) && dateOf(t) <= to; t = icalrecur_iterator_next(it))
            times.push_back(t);
        icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
        times.push_back(icalproperty_get_rdate(p).time);
    const auto before = [](const auto& a, const auto& b) { return icaltime_compare(a, b) < 0; };
    std::sort(times.begin(), times.end(), before);
    QStringList lines;
    for (std::size_t i = 0; i < times.size(); ++i) {
        icaltimetype t = times[i];
        t.zone = start.zone;
        if ((i > 0 && !before(times[i - 1], times[i])) || dateOf(t) < from || dateOf(t) > to ||
            icalproperty_recurrence_is_excluded(event, &start, &t))
            continue;
        lines << occurrenceText(
            dateOf(t), t.is_date
                           ? std::nullopt
                           : std::optional<TimeValue>{icaltime_as_timet_with_zone(t, start.zone)});
    }
    return lines;
}

// The end as days after the start's date and, for a timed appointment, the time of day.
QString endText(sys_days start, sys_days end, std::optional<TimeOfDay> time)
{
    return QStringLiteral("+%1d").arg((end - start).count()) +
           (time ? QStringLiteral(" %1:%2:%3").arg(time->hour).arg(time->minute).arg(time->second)
                 : QString());
}

// An item's values as one text to compare.
template <typename... Values> QString joined(const Values&... values)
{
    QStringList texts;
    ((texts << QVariant(values).toString()), ...);
    return texts.join(", ");
}

QString expectedEventFields(const DatebookRecord& record)
{
    const int reminder = parseReminderSuffix(QString::fromStdString(record.description));
    const sys_days start = sys_days{localDateOf(record.start)};
    const QString end =
        record.untimed ? endText(start, start + days{1}, std::nullopt)
        : record.end > record.start
            ? endText(start, sys_days{localDateOf(record.end)}, localTimeOfDay(record.end))
            : QStringLiteral("none");
    return joined(end, record.isPrivate, reminder >= 0 ? reminder : alarmAdvanceMinutes(record),
                  QString::fromStdString(record.note).replace("\r\n", "\n"));
}

bool markedPrivate(icalcomponent* item)
{
    icalproperty* property = icalcomponent_get_first_property(item, ICAL_CLASS_PROPERTY);
    return property && icalproperty_get_class(property) == ICAL_CLASS_PRIVATE;
}

QString eventFields(icalcomponent* event)
{
    icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    const icalproperty* trigger =
        alarm ? icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY) : nullptr;
    const char* note = icalcomponent_get_description(event);
    QString end = QStringLiteral("none");
    if (icalproperty* dtend = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const icaltimetype t = icalproperty_get_dtend(dtend);
        end = endText(sys_days{dateOf(icalcomponent_get_dtstart(event))}, sys_days{dateOf(t)},
                      t.is_date ? std::nullopt
                                : std::optional{TimeOfDay{t.hour, t.minute, t.second}});
    }
    return joined(
        end, markedPrivate(event),
        trigger ? -icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration) / 60 : -1,
        QString::fromUtf8(note ? note : ""));
}

LocalDate on(int y, unsigned m, unsigned d)
{
    return LocalDate{year{y}, month{m}, day{d}};
}

// One record per repeat kind and edge, read back in each zone of the test. a, b: weekly days
// mask and first day of week; monthly by day weekday and week index; by date the day; yearly
// day and month index.
DatebookRecord row(const std::string& description, LocalDate date, int hour, RepeatKind kind,
                   int interval, int a = 0, int b = 0, std::optional<LocalDate> end = {})
{
    DatebookRecord r;
    r.description = description;
    r.untimed = hour < 0;
    r.start = r.untimed ? localMidnight(date) : localTime(date, hour, 30, 0);
    r.end = r.untimed ? r.start : r.start + 3600;
    if (interval > 0) {
        r.repeat =
            Repeat{.kind = kind,
                   .interval = interval,
                   .end = end ? localMidnight(*end) : localTime(on(2031, 12, 31), 23, 59, 59)};
        r.repeat->daysMask = std::uint8_t(a);
        r.repeat->dayIndex = r.repeat->dayNumber = a;
        r.repeat->firstDayOfWeek = r.repeat->weekIndex = r.repeat->monthIndex = b;
    }
    return r;
}

// A datebook file of the rows.
bool writeRowsFile(const QString& path)
{
    using K = RepeatKind;
    Datebook book;
    book.header.schemaResourceId = layout::kDatebookResourceId;
    book.records = {
        row("Daily, ends", on(2025, 1, 10), 9, K::Daily, 1, 0, 0, on(2025, 3, 1)),
        row("Every third day, untimed", on(2024, 12, 30), -1, K::Daily, 3),
        row("In the hour the clock skips", on(2025, 3, 28), 2, K::Daily, 1, 0, 0, on(2025, 4, 2)),
        row("Mon Wed Fri", on(2025, 2, 3), 8, K::Weekly, 1, 2 | 8 | 32),
        row("Fortnightly from Sunday", on(2025, 3, 2), 18, K::Weekly, 2, 1 | 2, 0),
        row("Fortnightly from Monday", on(2025, 3, 2), 18, K::Weekly, 2, 1 | 2, 1),
        row("The 31st", on(2025, 1, 31), 10, K::MonthlyByDate, 1, 31),
        row("The 30th every other month", on(2025, 12, 30), -1, K::MonthlyByDate, 2, 30),
        row("Second Tuesday", on(2025, 1, 1), 19, K::MonthlyByDay, 1, 2, 1),
        row("Last Friday", on(2025, 1, 1), 12, K::MonthlyByDay, 1, 5, 4),
        row("29 February", on(2024, 2, 29), -1, K::Yearly, 1, 29, 1),
        row("31 April", on(2024, 4, 30), 9, K::Yearly, 1, 31, 3),
        row("Beyond a rule's interval", on(2025, 3, 1), 9, K::Daily, 40000),
        row("Overnight, private REM 15", on(2025, 6, 1), 22, K::Daily, 0),
        row("Alarm in hours", on(2025, 6, 2), 9, K::Daily, 0),
        row("Alarm in days", on(2025, 6, 3), -1, K::Daily, 0),
    };
    book.records[0].exceptions = {localTime(on(2025, 1, 12), 9, 30, 0),
                                  localMidnight(on(2025, 1, 14)),
                                  localMidnight(on(2025, 1, 16)) + 5 * 3600};
    book.records[9].exceptions = {localMidnight(on(2025, 5, 30))};
    DatebookRecord& overnight = book.records[13];
    overnight.end = overnight.start + 10 * 3600;
    overnight.isPrivate = true;
    overnight.note = "First line\r\nsecond line";
    for (auto [index, unit] : {std::pair{14, AlarmUnit::Hours}, {15, AlarmUnit::Days}}) {
        book.records[std::size_t(index)].alarmSet = true;
        book.records[std::size_t(index)].alarmAmount = 2;
        book.records[std::size_t(index)].alarmUnit = int(unit);
    }
    return writeFileAtomically(QFile::encodeName(path).toStdString(), writeDatebook(book)).ok();
}

using Calendar = std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)>;

// The items of one kind by summary (copies of a record share theirs).
std::map<QString, icalcomponent*> itemsBySummary(icalcomponent* calendar, icalcomponent_kind kind)
{
    std::map<QString, icalcomponent*> items;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar, kind); c;
         c = icalcomponent_get_next_component(calendar, kind))
        items.emplace(QString::fromUtf8(icalcomponent_get_summary(c)), c);
    return items;
}

} // namespace

class PalmdatIcsTest : public QObject
{
    Q_OBJECT

private slots:
    void calendarMatchesOccurrences_data();
    void calendarMatchesOccurrences();
};

void PalmdatIcsTest::calendarMatchesOccurrences_data()
{
    QTest::addColumn<QString>("source"); // "demo", "rows", or a file
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    const QDate today = QDate::currentDate();
    QTest::newRow("demo") << "demo" << QByteArray("Europe/Berlin") << today.addYears(-1)
                          << today.addYears(1);
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Sydney", "UTC"})
        QTest::newRow(zone) << "rows" << QByteArray(zone) << QDate(2025, 1, 1)
                            << QDate(2026, 12, 31);
    // The archives' exceptions and ends lie from 2000 to 2008.
    const QDir samples(QStringLiteral(CHIMEWELL_SAMPLES_DIR) + "/hebcal-dotcom");
    for (const char* name : {"FederalHolidays.dba", "non-FederalHolidays.dba"}) {
        if (samples.exists(name))
            QTest::newRow(name) << samples.filePath(name) << QByteArray("America/Los_Angeles")
                                << QDate(2000, 1, 1) << QDate(2009, 12, 31);
    }
}

void PalmdatIcsTest::calendarMatchesOccurrences()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, zone);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    pinTimeZone(zone.constData());
    QTemporaryDir dir;
    QString input = source;
    if (source == "demo") {
        input = dir.filePath("demo");
        QCOMPARE(palmdat({"demo", input}, zone).exitCode, 0);
    } else if (source == "rows") {
        input = dir.filePath("rows.dat");
        QVERIFY(writeRowsFile(input));
    }
    const Run run = palmdat({"ics", input}, zone);
    QCOMPARE(run.exitCode, 0);

    // What palmdat read, for the expected values.
    std::optional<Datebook> datebook;
    std::optional<TodoList> todoList;
    if (QFileInfo(input).isDir()) {
        const std::string root = QFile::encodeName(input).toStdString();
        const PalmUser user = readUsers(root).value().front();
        datebook = readDatebookFile(dataFilePath(root, user.folder, DataFile::Datebook)).value();
        todoList = readTodoListFile(dataFilePath(root, user.folder, DataFile::Todo)).value();
    } else {
        datebook = readDatebookFile(QFile::encodeName(input).toStdString()).value();
    }

    icalerror_clear_errno();
    const Calendar calendar(icalparser_parse_string(run.out.constData()), icalcomponent_free);
    QVERIFY(calendar);
    QCOMPARE(icalerrno, ICAL_NO_ERROR);
    QVERIFY(icalrestriction_check(calendar.get()));
    QCOMPARE(icalcomponent_count_errors(calendar.get()), 0);

    // Local times refer to the calendar's own VTIMEZONE, not to libical's copy of the zone.
    const icaltimezone* localZone =
        zone == "UTC" ? icaltimezone_get_utc_timezone()
                      : icalcomponent_get_timezone(calendar.get(), zone.constData());
    const auto events = itemsBySummary(calendar.get(), ICAL_VEVENT_COMPONENT);
    int checked = 0;
    for (const DatebookRecord& record : datebook->records) {
        const auto event = events.find(QString::fromStdString(record.description));
        const bool deleted = record.isDeleted() || record.isArchived();
        const QStringList expected =
            deleted ? QStringList() : expectedOccurrences(record, dateOf(from), dateOf(to));
        if (event == events.end()) {
            QVERIFY2(expected.isEmpty(), record.description.c_str());
            continue;
        }
        QVERIFY2(!deleted, record.description.c_str());
        const icaltimetype start = icalcomponent_get_dtstart(event->second);
        QVERIFY(start.is_date || (localZone && start.zone == localZone));
        QCOMPARE(icalOccurrences(event->second, dateOf(from), dateOf(to))
                     << eventFields(event->second),
                 QStringList(expected) << expectedEventFields(record));
        checked += !expected.isEmpty();
    }
    QVERIFY(checked > 0);

    // Every to-do that is not deleted is a VTODO.
    std::size_t todos = 0;
    for (const TodoRecord& record : todoList ? todoList->records : std::vector<TodoRecord>{})
        todos += !record.isDeleted() && !record.isArchived();
    QCOMPARE(itemsBySummary(calendar.get(), ICAL_VTODO_COMPONENT).size(), todos);
}

QTEST_GUILESS_MAIN(PalmdatIcsTest)
#include "tst_palmdatics.moc"
