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
#include <random>
#include <set>

using namespace palmfile;
using namespace std::chrono;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run palmdat(const QStringList& arguments, const QByteArray& zone)
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

TimeValue noDate()
{
    return localTime(LocalDate{year{2031}, December, day{31}}, 23, 59, 59);
}

// The wall clock jumps on this day: a start in the skipped or doubled hour is where calendar
// programs differ, so only its date is compared.
bool clockChanges(LocalDate date)
{
    return localMidnight(addDays(date, 1)) - localMidnight(date) != 86400;
}

// "date" for an all-day occurrence, "date instant" for a timed one.
QString occurrenceText(LocalDate date, std::optional<TimeValue> start)
{
    QString line = text(date);
    if (start)
        line +=
            clockChanges(date) ? QStringLiteral(" clock change") : ' ' + QString::number(*start);
    return line;
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
    std::sort(times.begin(), times.end(),
              [](const auto& a, const auto& b) { return icaltime_compare(a, b) < 0; });
    times.erase(
        std::unique(times.begin(), times.end(),
                    [](const auto& a, const auto& b) { return icaltime_compare(a, b) == 0; }),
        times.end());

    QStringList lines;
    for (icaltimetype t : times) {
        t.zone = start.zone;
        if (dateOf(t) < from || dateOf(t) > to ||
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
    QString line = QStringLiteral("+%1d").arg((end - start).count());
    if (time)
        line += QStringLiteral(" %1:%2:%3").arg(time->hour).arg(time->minute).arg(time->second);
    return line;
}

QString expectedEventFields(const DatebookRecord& record)
{
    const int reminder = parseReminderSuffix(QString::fromStdString(record.description));
    QString note = QString::fromStdString(record.note);
    const sys_days start = sys_days{localDateOf(record.start)};
    const QString end =
        record.untimed ? endText(start, start + days{1}, std::nullopt)
        : record.end > record.start
            ? endText(start, sys_days{localDateOf(record.end)}, localTimeOfDay(record.end))
            : QStringLiteral("none");
    return QStringLiteral("end %1, private %2, alarm %3, note \"%4\"")
        .arg(end)
        .arg(record.isPrivate)
        .arg(reminder >= 0 ? reminder : alarmAdvanceMinutes(record))
        .arg(note.replace("\r\n", "\n"));
}

bool markedPrivate(icalcomponent* item)
{
    icalproperty* property = icalcomponent_get_first_property(item, ICAL_CLASS_PROPERTY);
    return property && icalproperty_get_class(property) == ICAL_CLASS_PRIVATE;
}

QString eventFields(icalcomponent* event)
{
    icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    const int lead =
        alarm ? -icaldurationtype_as_int(icalproperty_get_trigger(icalcomponent_get_first_property(
                                                                      alarm, ICAL_TRIGGER_PROPERTY))
                                             .duration) /
                    60
              : -1;
    const char* note = icalcomponent_get_description(event);
    QString end = QStringLiteral("none");
    if (icalproperty* dtend = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
        const icaltimetype t = icalproperty_get_dtend(dtend);
        end = endText(sys_days{dateOf(icalcomponent_get_dtstart(event))}, sys_days{dateOf(t)},
                      t.is_date ? std::nullopt
                                : std::optional{TimeOfDay{t.hour, t.minute, t.second}});
    }
    return QStringLiteral("end %1, private %2, alarm %3, note \"%4\"")
        .arg(end)
        .arg(markedPrivate(event))
        .arg(lead)
        .arg(QString::fromUtf8(note ? note : ""));
}

QString expectedTodoFields(const TodoRecord& record, const FileHeader& header)
{
    QString category;
    for (const Category& c : header.categories) {
        if (record.category != 0 && c.index == record.category)
            category = QString::fromStdString(c.name);
    }
    return QStringLiteral("due %1, done %2, priority %3, private %4, category %5")
        .arg(isNoDate(record.due) ? QStringLiteral("none") : text(roundedDateOf(record.due)))
        .arg(record.completed)
        .arg(2 * record.priority - 1)
        .arg(record.isPrivate)
        .arg(category);
}

QString todoFields(icalcomponent* todo)
{
    const icaltimetype due = icalcomponent_get_due(todo);
    icalproperty* status = icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY);
    icalproperty* priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
    icalproperty* category = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY);
    return QStringLiteral("due %1, done %2, priority %3, private %4, category %5")
        .arg(icaltime_is_null_time(due) ? QStringLiteral("none") : text(dateOf(due)))
        .arg(status && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED)
        .arg(priority ? icalproperty_get_priority(priority) : 0)
        .arg(markedPrivate(todo))
        .arg(category ? icalproperty_get_categories(category) : "");
}

// A few hundred records of every repeat kind, with the edges Palm data has: day numbers past
// a month's end, "last" weekdays, starts off the rule, exceptions written in other zones, DST
// hours, REM codes and alarms.
class RandomData
{
public:
    explicit RandomData(const QByteArray& seed)
    {
        std::seed_seq sequence(seed.begin(), seed.end());
        m_rng.seed(sequence);
    }

    Datebook datebook(int count)
    {
        Datebook book;
        book.header.schemaResourceId = layout::kDatebookResourceId;
        for (int n = 0; n < count; ++n)
            book.records.push_back(record(n));
        // Every month shorter than the day a yearly rule names.
        for (const auto& [monthIndex, dayNumber] :
             {std::pair{1, 29}, {1, 31}, {3, 31}, {5, 31}, {8, 31}, {10, 31}}) {
            DatebookRecord& r = book.records.emplace_back();
            r.description =
                "Yearly " + std::to_string(monthIndex) + '/' + std::to_string(dayNumber);
            r.start = r.end = localTime(LocalDate{year{2023}, January, day{1}}, 9, 0, 0);
            r.repeat = Repeat{.kind = RepeatKind::Yearly,
                              .end = noDate(),
                              .dayNumber = dayNumber,
                              .monthIndex = monthIndex};
        }
        // Records never synchronised (id 0) can be exact copies of each other.
        book.records.front().id = 0;
        book.records.push_back(book.records.front());
        return book;
    }

    TodoList todoList(int count)
    {
        TodoList list;
        list.header.categories = {{1, 1, 0, "Business", "Busi"}};
        for (int n = 0; n < count; ++n) {
            TodoRecord r;
            r.id = n + 1;
            r.description = "To-do " + std::to_string(n);
            r.due = pick(0, 3) == 0 ? noDate() : localTime(randomDay(), pick(0, 23), 0, 0);
            r.completed = pick(0, 3) == 0;
            r.priority = pick(1, 5);
            r.isPrivate = pick(0, 3) == 0;
            r.category = pick(0, 1);
            list.records.push_back(r);
        }
        return list;
    }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    // Mostly before the two years compared, so that they show what the rules make of it.
    LocalDate randomDay() { return addDays(LocalDate{year{2023}, January, day{1}}, pick(0, 1400)); }

    DatebookRecord record(int n)
    {
        DatebookRecord r;
        r.id = pick(0, 3) == 0 ? 0 : n + 1;
        r.status = pick(0, 30) == 0 ? StatusDeleted : StatusAdded;
        r.description = "Item " + std::to_string(n);
        if (pick(0, 3) == 0)
            r.description += " REM " + std::to_string(pick(0, 99));
        if (pick(0, 3) == 0)
            r.note = "First line\r\nsecond line";
        r.isPrivate = pick(0, 4) == 0;
        if (pick(0, 3) == 0) {
            r.alarmSet = true;
            r.alarmAmount = pick(0, 99);
            r.alarmUnit = pick(0, 2);
        }
        const LocalDate day = randomDay();
        r.untimed = pick(0, 4) == 0;
        // One start in six in the small hours, where daylight saving changes the clock.
        const int hour = pick(0, 5) == 0 ? pick(1, 3) : pick(0, 23), minute = pick(0, 3) * 15;
        r.start = r.untimed ? localMidnight(day) : localTime(day, hour, minute, 0);
        r.end = r.untimed ? r.start : r.start + pick(0, 8) * 900;
        if (const int kind = pick(0, 5); kind > 0)
            r.repeat = repeat(RepeatKind(kind), day);
        if (r.repeat)
            addExceptions(r, day);
        return r;
    }

    Repeat repeat(RepeatKind kind, LocalDate day)
    {
        Repeat rule;
        rule.kind = kind;
        rule.interval = pick(0, 2) == 0 ? pick(2, 5) : 1;
        if (pick(0, 40) == 0)
            rule.interval = 40000;
        rule.end = pick(0, 2) == 0 ? noDate() : localMidnight(addDays(day, pick(0, 900)));
        rule.firstDayOfWeek = pick(0, 1);
        rule.daysMask = std::uint8_t(pick(1, 127));
        rule.dayIndex = pick(0, 6);
        rule.weekIndex = pick(0, 4);
        rule.dayNumber = pick(0, 1) ? int(unsigned(day.day())) : pick(28, 31);
        constexpr int shortMonths[] = {1, 3, 5, 8, 10};
        rule.monthIndex = pick(0, 1) ? int(unsigned(day.month())) - 1 : shortMonths[pick(0, 4)];
        return rule;
    }

    // Cancels some occurrences, stored as the desktop stores them: local midnight, midnight in
    // a zone a few hours away, or the occurrence's own time.
    void addExceptions(DatebookRecord& r, LocalDate day)
    {
        const std::vector<LocalDate> dates = occurrencesBetween(r, day, addDays(day, 800));
        const TimeOfDay time = localTimeOfDay(r.start);
        for (int k = pick(0, 3); k > 0 && !dates.empty(); --k) {
            const LocalDate d = dates[std::size_t(pick(0, int(dates.size()) - 1))];
            switch (pick(0, 2)) {
            case 0:
                r.exceptions.push_back(localMidnight(d));
                break;
            case 1:
                r.exceptions.push_back(localMidnight(d) + pick(-9, 9) * 3600);
                break;
            default:
                r.exceptions.push_back(localTime(d, time.hour, time.minute, time.second));
            }
        }
    }

    std::mt19937 m_rng;
};

bool writeFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    return QDir().mkpath(QFileInfo(path).path()) &&
           writeFileAtomically(QFile::encodeName(path).toStdString(), bytes).ok();
}

// A Palm Desktop folder with one user.
bool writeRandomFolder(const QString& folder, const QByteArray& seed)
{
    RandomData random(seed);
    const PalmUser user{1234, "Random Sample", "SampleR"};
    const std::string root = QFile::encodeName(folder).toStdString();
    return writeFile(folder + "/users.dat", writeUsersDat({user})) &&
           writeFile(QString::fromStdString(dataFilePath(root, user.folder, DataFile::Datebook)),
                     writeDatebook(random.datebook(150))) &&
           writeFile(QString::fromStdString(dataFilePath(root, user.folder, DataFile::Todo)),
                     writeTodoList(random.todoList(30)));
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
    void failures_data();
    void failures();
};

void PalmdatIcsTest::calendarMatchesOccurrences_data()
{
    QTest::addColumn<QString>("source"); // "demo", "random", or a file
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    const QDate today = QDate::currentDate();
    QTest::newRow("demo") << "demo" << QByteArray("Europe/Berlin") << today.addYears(-1)
                          << today.addYears(1);
    for (const char* zone : {"Europe/Berlin", "America/New_York", "Australia/Sydney", "UTC"}) {
        QTest::newRow(zone) << "random" << QByteArray(zone) << QDate(2025, 1, 1)
                            << QDate(2026, 12, 31);
    }
    // The archives' exceptions and ends lie from 2000 to 2008.
    const QDir samples(QStringLiteral(CHIMEWELL_SAMPLES_DIR) + "/hebcal-dotcom");
    for (const char* name : {"FederalHolidays.dba", "non-FederalHolidays.dba"}) {
        if (samples.exists(name)) {
            QTest::newRow(name) << samples.filePath(name) << QByteArray("America/Los_Angeles")
                                << QDate(2000, 1, 1) << QDate(2009, 12, 31);
        }
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
    } else if (source == "random") {
        input = dir.filePath("random");
        QVERIFY(writeRandomFolder(input, zone));
    }
    const QString out = dir.filePath("out.ics");
    const Run run = palmdat({"ics", input, "-o", out}, zone);
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));

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

    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    icalerror_clear_errno();
    const Calendar calendar(icalparser_parse_string(file.readAll().constData()),
                            icalcomponent_free);
    QVERIFY(calendar);
    QCOMPARE(icalerrno, ICAL_NO_ERROR);
    QVERIFY(icalrestriction_check(calendar.get()));
    QCOMPARE(icalcomponent_count_errors(calendar.get()), 0);
    std::set<QString> uids;
    for (icalcomponent* c = icalcomponent_get_first_component(calendar.get(), ICAL_ANY_COMPONENT);
         c; c = icalcomponent_get_next_component(calendar.get(), ICAL_ANY_COMPONENT)) {
        if (icalcomponent_isa(c) == ICAL_VTIMEZONE_COMPONENT)
            continue;
        QVERIFY(icalcomponent_get_first_property(c, ICAL_DTSTAMP_PROPERTY));
        QVERIFY(uids.insert(QString::fromUtf8(icalcomponent_get_uid(c))).second);
    }

    // Local times refer to the calendar's own VTIMEZONE, not to libical's copy of the zone.
    const icaltimezone* localZone =
        zone == "UTC" ? icaltimezone_get_utc_timezone()
                      : icalcomponent_get_timezone(calendar.get(), zone.constData());
    const auto events = itemsBySummary(calendar.get(), ICAL_VEVENT_COMPONENT);
    const auto todos = itemsBySummary(calendar.get(), ICAL_VTODO_COMPONENT);
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
    for (const TodoRecord& record : todoList ? todoList->records : std::vector<TodoRecord>{}) {
        const auto todo = todos.find(QString::fromStdString(record.description));
        QVERIFY(todo != todos.end());
        QCOMPARE(todoFields(todo->second), expectedTodoFields(record, todoList->header));
    }
}

void PalmdatIcsTest::failures_data()
{
    QTest::addColumn<QStringList>("arguments"); // @ stands for a demo Palm Desktop folder
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<bool>("corruptTodo");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("written"); // the calendar on standard output holds this
    QTest::newRow("unknown user") << QStringList{"ics", "@", "--user-id", "7"}
                                  << QByteArray("Europe/Berlin") << false
                                  << "no Palm user with id 7" << QByteArray();
    // A broken to-do file still gives the appointments, and an exit code that says so.
    QTest::newRow("corrupt to-do file")
        << QStringList{"ics", "@"} << QByteArray("Asia/Kolkata") << true
        << "@/ExampleA/todo/todo.dat: " << QByteArray("BEGIN:VEVENT");
    QTest::newRow("zone not in the database")
        << QStringList{"ics", "@"} << QByteArray("Nowhere/Land") << false
        << "the time zone \"Nowhere/Land\" is not in the zone database" << QByteArray();
}

void PalmdatIcsTest::failures()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, zone);
    QFETCH(bool, corruptTodo);
    QFETCH(QString, message);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    QCOMPARE(palmdat({"demo", dir.path()}, "Europe/Berlin").exitCode, 0);
    if (corruptTodo)
        QVERIFY(writeFile(dir.filePath("ExampleA/todo/todo.dat"), {0x00, 0x01, 'D', 'T', 9}));
    arguments.replaceInStrings("@", dir.path());
    message.replace("@", dir.path());
    const Run run = palmdat(arguments, zone);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.out.contains("BEGIN:VTODO"), false);
    QVERIFY(written.isEmpty() ? run.out.isEmpty() : run.out.contains(written));
}

QTEST_GUILESS_MAIN(PalmdatIcsTest)
#include "tst_palmdatics.moc"
