#include "palmfile/reader.h"
#include "palmfile/recurrence.h"
#include "palmfile/writer.h"
#include "pinnedtimezone.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace palmfile;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run palmdat(const QStringList& arguments, const QStringList& environment = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Berlin");
    for (const QString& setting : environment) {
        const QString name = setting.section('=', 0, 0), value = setting.section('=', 1);
        if (value.isEmpty())
            env.remove(name);
        else
            env.insert(name, value);
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PALMDAT_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

LocalDate dateOf(const char* text)
{
    const QDate d = QDate::fromString(QString::fromLatin1(text), Qt::ISODate);
    return LocalDate{std::chrono::year{d.year()}, std::chrono::month(d.month()),
                     std::chrono::day(d.day())};
}

DatebookRecord appointment(const char* description, const char* date, int hour, int minute)
{
    DatebookRecord r;
    r.description = description;
    r.start = r.end = localTime(dateOf(date), hour, minute, 0);
    return r;
}

DatebookRecord allDay(const char* description, const char* date)
{
    DatebookRecord r = appointment(description, date, 0, 0);
    r.untimed = true;
    return r;
}

Repeat dailyUntil(const char* lastDate)
{
    Repeat rule;
    rule.end = localMidnight(dateOf(lastDate));
    return rule;
}

bool writeFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
               qint64(bytes.size());
}

} // namespace

class PalmdatDayTest : public QObject
{
    Q_OBJECT

private slots:
    void occurrencesInOrder();
    void usageAndErrors_data();
    void usageAndErrors();
    void locate_data();
    void locate();
    void demoFolder();

private:
    QTemporaryDir m_tmp;
};

void PalmdatDayTest::occurrencesInOrder()
{
    PinnedTimeZone pinned("Europe/Berlin");
    Datebook book;
    auto& r = book.records;
    r.push_back(appointment("Late", "2026-05-12", 18, 0));
    r.push_back(appointment("Early daily", "2026-05-10", 7, 30));
    r.back().repeat = dailyUntil("2031-12-31");
    r.back().exceptions = {localMidnight(dateOf("2026-05-12"))};
    r.push_back(allDay("Holiday", "2026-05-12"));
    r.push_back(appointment("Deleted", "2026-05-12", 9, 0));
    r.back().status = StatusDeleted;
    r.push_back(appointment("Archived", "2026-05-12", 9, 0));
    r.back().status = StatusArchived | StatusAdded;
    r.push_back(appointment("Same time", "2026-05-11", 7, 30));
    r.push_back(allDay("Two\r\nlines", "2026-05-11"));
    // 02:30 does not exist on the day the clocks go forward.
    r.push_back(appointment("Night shift", "2026-03-28", 2, 30));
    r.back().repeat = dailyUntil("2026-03-30");
    const QString file = m_tmp.filePath("order/datebook.dat");
    QVERIFY(writeFile(file, writeDatebook(book)));

    Run run = palmdat({"occurrences", file, "--from", "2026-05-10", "--to", "2026-05-12"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "2026-05-10 07:30\tEarly daily\n"
                      "2026-05-11 all-day\tTwo  lines\n"
                      "2026-05-11 07:30\tEarly daily\n"
                      "2026-05-11 07:30\tSame time\n"
                      "2026-05-12 all-day\tHoliday\n"
                      "2026-05-12 18:00\tLate\n");
    run = palmdat({"occurrences", "--to", "2026-03-31", file, "--from", "2026-03-27"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, "2026-03-28 02:30\tNight shift\n"
                      "2026-03-29 03:30\tNight shift\n"
                      "2026-03-30 02:30\tNight shift\n");
}

void PalmdatDayTest::usageAndErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QString missing = m_tmp.filePath("missing");
    QTest::newRow("occurrences without a range")
        << QStringList{"occurrences", missing} << 2 << "palmdat occurrences FILE";
    QTest::newRow("occurrences with a bad date")
        << QStringList{"occurrences", missing, "--from", "2026-5-1", "--to", "2026-05-31"} << 2
        << "--from: expected a date like 2026-05-01, not \"2026-5-1\"";
    QTest::newRow("occurrences of a missing file")
        << QStringList{"occurrences", missing, "--from", "2026-05-01", "--to", "2026-05-31"} << 1
        << "missing: No such file or directory";
    QTest::newRow("users of a missing folder")
        << QStringList{"users", missing} << 1 << missing + ": no such folder";
    QTest::newRow("users without a folder") << QStringList{"users"} << 2 << "palmdat users";
    QTest::newRow("demo without a folder") << QStringList{"demo"} << 2 << "palmdat demo";
}

void PalmdatDayTest::usageAndErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = palmdat(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void PalmdatDayTest::locate_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("profileValue");
    QTest::addColumn<QString>("expected"); // empty: none found

    const QString desktop = m_tmp.filePath("located"), other = m_tmp.filePath("other");
    QTest::newRow("override") << desktop << other << desktop;
    QTest::newRow("profile value") << "" << other << other;
    QTest::newRow("nothing") << ""
                             << ""
                             << "";
}

void PalmdatDayTest::locate()
{
    QFETCH(QString, override);
    QFETCH(QString, profileValue);
    QFETCH(QString, expected);
    QTemporaryDir config;
    QVERIFY(QDir().mkpath(m_tmp.filePath("located")) && QDir().mkpath(m_tmp.filePath("other")));
    if (!profileValue.isEmpty()) {
        QVERIFY(QDir(config.path()).mkpath("Corvander"));
        QFile profile(config.filePath("Corvander/chimewell.conf"));
        QVERIFY(profile.open(QIODevice::WriteOnly));
        profile.write("[Options]\npalmdesktop=" + profileValue.toUtf8() + "\n");
    }
    // HOME points at an empty folder: no ~/.wine.
    const Run run = palmdat({"locate"}, {"CHIMEWELL_PALM_DESKTOP=" + override,
                                         "XDG_CONFIG_HOME=" + config.path(),
                                         "WINEPREFIX=", "HOME=" + config.path()});
    if (expected.isEmpty()) {
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("no Palm Desktop folder found"));
    } else {
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, expected + "\n");
    }
}

void PalmdatDayTest::demoFolder()
{
    PinnedTimeZone pinned("Europe/Berlin");
    const QString folder = m_tmp.filePath("demo");
    const TimeValue before = QDateTime::currentSecsSinceEpoch();
    Run run = palmdat({"demo", folder});
    QCOMPARE(run.exitCode, 0);

    run = palmdat({"users", folder});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject users = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(users["desktop"].toString(), folder);
    QCOMPARE(users["users"].toArray().size(), 2);
    QCOMPARE(users["users"][0]["name"].toString(), "Ann Example");
    QCOMPARE(users["users"][1]["folder"].toString(), "SampleB");

    const auto book = readDatebookFile((folder + "/ExampleA/datebook/datebook.dat").toStdString());
    QVERIFY2(book.ok(), book.error().c_str());
    QStringList today;
    const LocalDate now = localDateOf(before);
    int alarms = 0, privates = 0, notes = 0;
    for (const DatebookRecord& r : book.value().records) {
        if (!occurrencesBetween(r, LocalDate{std::chrono::sys_days{now} - std::chrono::days{1}},
                                LocalDate{std::chrono::sys_days{now} + std::chrono::days{1}})
                 .empty())
            today << QString::fromStdString(r.description);
        alarms += alarmAdvanceMinutes(r) >= 0;
        privates += r.isPrivate;
        notes += r.note.find("\r\n") != std::string::npos;
    }
    // Around now: close to midnight some fall on the day before or after.
    QCOMPARE(today, QStringList({"Call the bank", "Dentist", "Team meeting REM 15",
                                 "Breakfast with Carla", "Mum's birthday", "Take vitamins",
                                 "Doctor's appointment", "Project review"}));
    QCOMPARE(alarms, 1);
    QCOMPARE(privates, 1);
    QCOMPARE(notes, 1);
    const TimeValue soonest = book.value().records.front().start;
    QVERIFY(soonest >= before + 120 && soonest <= QDateTime::currentSecsSinceEpoch() + 180);

    const auto todos = readTodoListFile((folder + "/ExampleA/todo/todo.dat").toStdString());
    QVERIFY2(todos.ok(), todos.error().c_str());
    QCOMPARE(todos.value().header.categories.size(), std::size_t(2));
    int undated = 0, completed = 0, overdue = 0;
    for (const TodoRecord& t : todos.value().records) {
        undated += isNoDate(t.due);
        completed += t.completed;
        overdue += !t.completed && localDateOf(t.due) < now;
    }
    QCOMPARE(todos.value().records.size(), std::size_t(6));
    QCOMPARE(undated, 2);
    QCOMPARE(completed, 1);
    QCOMPARE(overdue, 1);
    QVERIFY(readDatebookFile((folder + "/SampleB/datebook/datebook.dat").toStdString()).ok());
    QVERIFY(readTodoListFile((folder + "/SampleB/todo/todo.dat").toStdString()).ok());
}

QTEST_GUILESS_MAIN(PalmdatDayTest)
#include "tst_palmdatday.moc"
