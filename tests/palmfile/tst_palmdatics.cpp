// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat ics read back with libical: its recurrences expand to what palmdat occurrences lists.

#include "palm/alarmlist.h"
#include "palmfile/layout.h"
#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "palmfile/users.h"
#include "palmfile/writer.h"
#include "testtime.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <libical/ical.h>

#include <map>
#include <memory>
#include <random>
#include <set>

using namespace palmfile;
using namespace std::chrono;

namespace {

LocalDate addDays(LocalDate date, int count)
{
    return LocalDate{sys_days{date} + days{count}};
}

LocalDate dateOf(const icaltimetype& t)
{
    return LocalDate{year{t.year}, month(unsigned(t.month)), day(unsigned(t.day))};
}

// A line as palmdat occurrences prints it, without the description. On a day the wall clock
// jumps, a start in the skipped or doubled hour is where calendar programs differ: only the
// date counts then.
QString occurrenceText(const QString& date, const QString& time)
{
    const QDate d = QDate::fromString(date, Qt::ISODate);
    const LocalDate local{year{d.year()}, month(unsigned(d.month())), day(unsigned(d.day()))};
    const bool jumps = localMidnight(addDays(local, 1)) - localMidnight(local) != 86400;
    return date + ' ' + (jumps && time != "all-day" ? QStringLiteral("clock change") : time);
}

// The event's occurrences as RFC 5545 defines them: DTSTART, the RRULE's dates (expanded by
// libical's iterator) and the RDATEs, less the EXDATEs.
QStringList icalOccurrences(icalcomponent* event, const QString& from, const QString& to)
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
             !icaltime_is_null_time(t) && text(dateOf(t)) <= to; t = icalrecur_iterator_next(it))
            times.push_back(t);
        icalrecur_iterator_free(it);
    }
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY))
        times.push_back(icalproperty_get_rdate(p).time);

    QStringList lines;
    for (icaltimetype t : times) {
        t.zone = start.zone;
        const TimeValue value = icaltime_as_timet_with_zone(t, start.zone);
        const QString date = t.is_date ? text(dateOf(t)) : text(localDateOf(value));
        if (date < from || date > to || icalproperty_recurrence_is_excluded(event, &start, &t))
            continue;
        const TimeOfDay time = localTimeOfDay(value);
        lines << occurrenceText(date, t.is_date
                                          ? QStringLiteral("all-day")
                                          : QString::asprintf("%02d:%02d", time.hour, time.minute));
    }
    lines.removeDuplicates();
    return lines;
}

// The fields of an event (privacy, alarm) or of a to-do (due date, state, priority).
QString fields(icalcomponent* item)
{
    if (icalcomponent_isa(item) == ICAL_VTODO_COMPONENT) {
        const icaltimetype due = icalcomponent_get_due(item);
        icalproperty* priority = icalcomponent_get_first_property(item, ICAL_PRIORITY_PROPERTY);
        return QStringLiteral("due %1, done %2, priority %3")
            .arg(icaltime_is_null_time(due) ? QStringLiteral("none") : text(dateOf(due)))
            .arg(icalcomponent_get_status(item) == ICAL_STATUS_COMPLETED)
            .arg(priority ? icalproperty_get_priority(priority) : 0);
    }
    icalcomponent* alarm = icalcomponent_get_first_component(item, ICAL_VALARM_COMPONENT);
    icalproperty* trigger =
        alarm ? icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY) : nullptr;
    icalproperty* privacy = icalcomponent_get_first_property(item, ICAL_CLASS_PROPERTY);
    return QStringLiteral("private %1, alarm %2")
        .arg(privacy && icalproperty_get_class(privacy) == ICAL_CLASS_PRIVATE)
        .arg(trigger ? -icaldurationtype_as_int(icalproperty_get_trigger(trigger).duration) / 60
                     : -1);
}

QString expectedFields(const DatebookRecord& record)
{
    const int reminder = parseReminderSuffix(QString::fromStdString(record.description));
    return QStringLiteral("private %1, alarm %2")
        .arg(record.isPrivate)
        .arg(reminder >= 0 ? reminder : alarmAdvanceMinutes(record));
}

QString expectedFields(const TodoRecord& record)
{
    return QStringLiteral("due %1, done %2, priority %3")
        .arg(isNoDate(record.due) ? QStringLiteral("none") : text(roundedDateOf(record.due)))
        .arg(record.completed)
        .arg(2 * record.priority - 1);
}

bool writeFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    return QDir().mkpath(QFileInfo(path).path()) &&
           writeFileAtomically(QFile::encodeName(path).toStdString(), bytes).ok();
}

// A Palm Desktop folder with one user, a few hundred appointments of every repeat kind with the
// edges Palm data has (day numbers past a month's end, "last" weekdays, starts off the rule,
// exceptions written in other zones, DST hours, REM codes and alarms) and some to-dos.
bool writeRandomFolder(const QString& folder, const QByteArray& seed)
{
    std::seed_seq sequence(seed.begin(), seed.end());
    std::mt19937 rng(sequence);
    const auto pick = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    // Mostly before the two years compared, so that they show what the rules make of it.
    const auto randomDay = [&] {
        return addDays(LocalDate{year{2023}, January, day{1}}, pick(0, 1400));
    };
    Datebook book;
    book.header.schemaResourceId = layout::kDatebookResourceId;
    for (int n = 0; n < 150; ++n) {
        DatebookRecord& r = book.records.emplace_back();
        r.id = pick(0, 3) == 0 ? 0 : n + 1;
        r.status = pick(0, 30) == 0 ? StatusDeleted : StatusAdded;
        r.description = "Item " + std::to_string(n);
        if (pick(0, 3) == 0)
            r.description += " REM " + std::to_string(pick(0, 99));
        r.isPrivate = pick(0, 4) == 0;
        r.alarmSet = pick(0, 3) == 0;
        r.alarmAmount = pick(0, 99);
        r.alarmUnit = pick(0, 2);
        const LocalDate day = randomDay();
        r.untimed = pick(0, 4) == 0;
        // One start in six in the small hours, where daylight saving changes the clock.
        const int hour = pick(0, 5) == 0 ? pick(1, 3) : pick(0, 23), minute = pick(0, 3) * 15;
        r.start = r.untimed ? localMidnight(day) : localTime(day, hour, minute, 0);
        r.end = r.untimed ? r.start : r.start + pick(0, 8) * 900;
        if (const int kind = pick(0, 5); kind > 0) {
            constexpr int shortMonths[] = {1, 3, 5, 8, 10};
            r.repeat = Repeat{.kind = RepeatKind(kind),
                              .interval = pick(0, 40) == 0  ? 40000
                                          : pick(0, 2) == 0 ? pick(2, 5)
                                                            : 1,
                              .end = pick(0, 2) == 0 ? 0x7FFFFFFF
                                                     : localMidnight(addDays(day, pick(0, 900))),
                              .firstDayOfWeek = pick(0, 1),
                              .dayIndex = pick(0, 6),
                              .daysMask = std::uint8_t(pick(1, 127)),
                              .weekIndex = pick(0, 4),
                              .dayNumber = pick(0, 1) ? int(unsigned(day.day())) : pick(28, 31),
                              .monthIndex = pick(0, 1) ? int(unsigned(day.month())) - 1
                                                       : shortMonths[pick(0, 4)]};
            // Cancelled as the desktop stores it: local midnight, midnight in a zone a few
            // hours away, or the occurrence's own time.
            const std::vector<LocalDate> dates = occurrencesBetween(r, day, addDays(day, 800));
            const TimeOfDay time = localTimeOfDay(r.start);
            for (int k = pick(0, 3); k > 0 && !dates.empty(); --k) {
                const LocalDate d = dates[std::size_t(pick(0, int(dates.size()) - 1))];
                const int stored = pick(0, 2);
                r.exceptions.push_back(stored == 2
                                           ? localTime(d, time.hour, time.minute, time.second)
                                           : localMidnight(d) + stored * pick(-9, 9) * 3600);
            }
        }
    }
    // Records never synchronised (id 0) can be exact copies of each other.
    book.records.front().id = 0;
    book.records.push_back(book.records.front());
    TodoList todos;
    for (int n = 0; n < 30; ++n) {
        TodoRecord& r = todos.records.emplace_back();
        r.description = "To-do " + std::to_string(n);
        const LocalDate due = randomDay();
        r.due = pick(0, 3) == 0 ? 0x7FFFFFFF : localTime(due, pick(0, 23), 0, 0);
        r.completed = pick(0, 3) == 0;
        r.priority = pick(1, 5);
    }
    return writeFile(folder + "/users.dat", writeUsersDat({{1234, "Random Sample", "SampleR"}})) &&
           writeFile(folder + "/SampleR/datebook/datebook.dat", writeDatebook(book)) &&
           writeFile(folder + "/SampleR/todo/todo.dat", writeTodoList(todos));
}

} // namespace

class PalmdatIcsTest : public QObject
{
    Q_OBJECT

private slots:
    void calendarMatchesOccurrences_data();
    void calendarMatchesOccurrences();
    void brokenTodoFileKeepsTheAppointments();
};

void PalmdatIcsTest::calendarMatchesOccurrences_data()
{
    QTest::addColumn<QString>("source"); // "demo", "random", or a file
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    const QDate today = QDate::currentDate();
    QTest::newRow("demo") << "demo" << QByteArray("Europe/Berlin")
                          << today.addYears(-1).toString(Qt::ISODate)
                          << today.addYears(1).toString(Qt::ISODate);
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Sydney"})
        QTest::newRow(zone) << "random" << QByteArray(zone) << "2025-01-01"
                            << "2026-12-31";
    // The archives' exceptions and ends lie from 2000 to 2008.
    const QDir samples(QStringLiteral(CHIMEWELL_SAMPLES_DIR) + "/hebcal-dotcom");
    for (const char* name : {"FederalHolidays.dba", "non-FederalHolidays.dba"}) {
        if (samples.exists(name))
            QTest::newRow(name) << samples.filePath(name) << QByteArray("America/Los_Angeles")
                                << "2000-01-01"
                                << "2009-12-31";
    }
}

void PalmdatIcsTest::calendarMatchesOccurrences()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, zone);
    QFETCH(QString, from);
    QFETCH(QString, to);
    pinTimeZone(zone.constData());
    QTemporaryDir dir;
    QString datebookPath = source, todoPath;
    if (source == "demo" || source == "random") {
        QVERIFY(source == "demo" ? runPalmdat({"demo", dir.path()}, zone).exitCode == 0
                                 : writeRandomFolder(dir.path(), zone));
        const QString user = dir.filePath(source == "demo" ? "ExampleA" : "SampleR");
        datebookPath = user + "/datebook/datebook.dat";
        todoPath = user + "/todo/todo.dat";
        source = dir.path();
    }
    const PalmdatRun run = runPalmdat({"ics", source}, zone);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    icalerror_clear_errno();
    const std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> calendar(
        icalparser_parse_string(run.out.constData()), icalcomponent_free);
    QVERIFY(calendar && icalerrno == ICAL_NO_ERROR);
    QCOMPARE(icalcomponent_count_errors(calendar.get()), 0);

    // By summary: the occurrences and to-do fields, as expected and as the calendar has them.
    std::map<QString, QStringList> expected;
    const PalmdatRun listed =
        runPalmdat({"occurrences", datebookPath, "--from", from, "--to", to}, zone);
    for (const QString& line : QString::fromUtf8(listed.out).split('\n', Qt::SkipEmptyParts))
        expected[line.section('\t', 1).simplified()]
            << occurrenceText(line.left(10), line.section('\t', 0, 0).mid(11));
    const auto key = [](const std::string& text) {
        return QString::fromStdString(text).simplified();
    };
    std::map<QString, QString> eventFields;
    const auto datebook = readDatebookFile(datebookPath.toStdString());
    for (const DatebookRecord& r : datebook.value().records)
        eventFields.emplace(key(r.description), expectedFields(r));
    const auto todoList = readTodoListFile(todoPath.toStdString());
    for (const TodoRecord& r : todoList ? todoList.value().records : std::vector<TodoRecord>{})
        expected[key(r.description)] << expectedFields(r);
    std::map<QString, QStringList> exported;
    std::set<QString> uids;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar.get(), ICAL_ANY_COMPONENT);
         c; c = icalcomponent_get_next_component(calendar.get(), ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) == ICAL_VTIMEZONE_COMPONENT)
            continue;
        QVERIFY(uids.insert(QString::fromUtf8(icalcomponent_get_uid(c))).second);
        const QString summary = key(icalcomponent_get_summary(c));
        if (icalcomponent_isa(c) == ICAL_VTODO_COMPONENT) {
            exported[summary] << fields(c);
        } else {
            QCOMPARE(fields(c), eventFields[summary]);
            exported[summary] << icalOccurrences(c, from, to);
        }
    }
    for (const auto& [summary, lines] : expected)
        exported[summary];
    for (auto& [summary, lines] : exported) {
        lines.sort();
        expected[summary].sort();
        QCOMPARE(lines, expected[summary]);
    }
}

// A broken to-do file still gives the appointments, and an exit code that says so.
void PalmdatIcsTest::brokenTodoFileKeepsTheAppointments()
{
    QTemporaryDir dir;
    QCOMPARE(runPalmdat({"demo", dir.path()}, "Europe/Berlin").exitCode, 0);
    QVERIFY(writeFile(dir.filePath("ExampleA/todo/todo.dat"), {0x00, 0x01, 'D', 'T', 9}));
    const PalmdatRun run = runPalmdat({"ics", dir.path()}, "Asia/Kolkata");
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.contains("BEGIN:VEVENT") && !run.out.contains("BEGIN:VTODO"));
}

QTEST_GUILESS_MAIN(PalmdatIcsTest)
#include "tst_palmdatics.moc"
