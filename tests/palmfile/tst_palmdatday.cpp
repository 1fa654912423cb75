#include "palmfile/reader.h"
#include "pinnedtimezone.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
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

} // namespace

class PalmdatDayTest : public QObject
{
    Q_OBJECT

private slots:
    void occurrencesInOrder();
    void usageAndErrors_data();
    void usageAndErrors();
    void locate();
    void demoFolder();

private:
    QTemporaryDir m_tmp;
};

void PalmdatDayTest::occurrencesInOrder()
{
    // 02:30 does not exist on 29 March 2026 in Berlin: the clocks go forward.
    const char* json = R"({"format": "datebook", "records": [
        {"start": "2026-05-12T18:00:00", "description": "Late"},
        {"start": "2026-05-10T07:30:00", "description": "Early daily",
         "repeat": {"kind": "daily"}, "exceptions": ["2026-05-12"]},
        {"start": "2026-05-12T00:00:00", "untimed": true, "description": "Holiday"},
        {"start": "2026-05-12T09:00:00", "status": 4, "description": "Deleted"},
        {"start": "2026-05-12T09:00:00", "status": 129, "description": "Archived"},
        {"start": "2026-05-11T07:30:00", "description": "Same time"},
        {"start": "2026-05-11T00:00:00", "untimed": true, "description": "Two\r\nlines"},
        {"start": "2026-03-28T02:30:00", "description": "Night shift",
         "repeat": {"kind": "daily", "end": "2026-03-30"}}]})";
    QFile in(m_tmp.filePath("order.json"));
    QVERIFY(in.open(QIODevice::WriteOnly) && in.write(json) > 0);
    in.close();
    const QString file = m_tmp.filePath("order.dat");
    QCOMPARE(palmdat({"make", in.fileName(), file}).exitCode, 0);

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

void PalmdatDayTest::locate()
{
    QTemporaryDir home; // no ~/.wine, and the profile below XDG_CONFIG_HOME
    const QString desktop = m_tmp.filePath("located"), other = m_tmp.filePath("other");
    QVERIFY(QDir().mkpath(desktop) && QDir().mkpath(other) && QDir(home.path()).mkpath("cfg"));
    const QStringList environment = {"XDG_CONFIG_HOME=" + home.filePath("cfg"),
                                     "WINEPREFIX=", "HOME=" + home.path(),
                                     "CHIMEWELL_PALM_DESKTOP="};
    Run run = palmdat({"locate"}, environment);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.err.contains("no Palm Desktop folder found"));

    QSettings profile(home.filePath("cfg/Corvander/chimewell.conf"), QSettings::IniFormat);
    profile.setValue("Options/palmdesktop", other);
    profile.sync();
    QCOMPARE(palmdat({"locate"}, environment).out, other + "\n");
    QCOMPARE(
        palmdat({"locate"}, environment + QStringList{"CHIMEWELL_PALM_DESKTOP=" + desktop}).out,
        desktop + "\n");
}

void PalmdatDayTest::demoFolder()
{
    PinnedTimeZone pinned("Europe/Berlin"); // as palmdat's
    const QString folder = m_tmp.filePath("demo");
    const QDateTime before = QDateTime::currentDateTime();
    QCOMPARE(palmdat({"demo", folder}).exitCode, 0);

    Run run = palmdat({"users", folder});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject users = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(users["desktop"].toString(), folder);
    QCOMPARE(users["users"].toArray().size(), 2);
    QCOMPARE(users["users"][1]["folder"].toString(), "SampleB");

    // Around now; close to midnight some fall on the day before or after.
    const QString datebook = folder + "/ExampleA/datebook/datebook.dat";
    run = palmdat({"occurrences", datebook, "--from", before.addDays(-1).toString("yyyy-MM-dd"),
                   "--to", before.addDays(1).toString("yyyy-MM-dd")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out.count('\n'), 8 + 2); // and the daily one on the other two days
    QVERIFY(run.out.contains("all-day\tMum's birthday\n"));
    QVERIFY(
        run.out.contains(before.addSecs(180).toString("yyyy-MM-dd HH:mm") + "\tCall the bank") ||
        run.out.contains(before.addSecs(120).toString("yyyy-MM-dd HH:mm") + "\tCall the bank"));

    const auto todos = readTodoListFile((folder + "/ExampleA/todo/todo.dat").toStdString());
    QVERIFY2(todos.ok(), todos.error().c_str());
    QCOMPARE(todos.value().records.size(), std::size_t(6));
    QCOMPARE(todos.value().header.categories.size(), std::size_t(2));
    QVERIFY(readTodoListFile((folder + "/SampleB/todo/todo.dat").toStdString()).ok());
}

QTEST_GUILESS_MAIN(PalmdatDayTest)
#include "tst_palmdatday.moc"
