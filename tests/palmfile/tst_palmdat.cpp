#include "palmfile/localdate.h"
#include "palmfile/reader.h"

#include "pinnedtimezone.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run palmdat(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Berlin");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PALMDAT_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

QJsonObject parse(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// Every field given, in the form dump prints.
const char* const kFullDatebook = R"({
  "format": "datebook", "file_name": "C:\\Palm\\GewirtD\\datebook\\datebook.dat",
  "categories": [{"index": 1, "id": 17, "name": "Büro", "short": "Bü"}],
  "records": [
    {"id": 5, "status": 1, "position": 2147483647, "start": "2024-03-31T10:00:00",
     "end": "2024-03-31T11:30:00", "description": "Zahnarzt “Dr. Weiß”",
     "note": "bring card\r\nfloor 2", "untimed": false, "private": true, "category": 1,
     "alarm": {"amount": 2, "unit": "hours"}, "alarm_minutes": 120, "repeat": null,
     "exceptions": []},
    {"id": 0, "status": 5, "position": 2147483647, "start": "2024-01-01T00:00:00",
     "end": "2024-01-01T00:00:00", "description": "daily", "note": "", "untimed": true,
     "private": false, "category": 0, "alarm": null, "alarm_minutes": -1,
     "repeat": {"kind": "daily", "interval": 3, "end": null, "first_day_of_week": 0},
     "exceptions": ["2024-01-04", "2024-10-27"]},
    {"id": 0, "status": 128, "position": 0, "start": "2024-01-02T08:15:00",
     "end": "2024-01-02T08:45:00", "description": "weekly", "note": "", "untimed": false,
     "private": false, "category": 0, "alarm": {"amount": 0, "unit": "minutes"},
     "alarm_minutes": 0,
     "repeat": {"kind": "weekly", "interval": 2, "end": "2024-12-31", "first_day_of_week": 1,
                "days": [1, 3, 5]}, "exceptions": []},
    {"id": 0, "status": 1, "position": 2147483647, "start": "2024-05-27T00:00:00",
     "end": "2024-05-27T00:00:00", "description": "last Monday", "note": "", "untimed": true,
     "private": false, "category": 0, "alarm": {"amount": 1, "unit": "days"},
     "alarm_minutes": 1440,
     "repeat": {"kind": "monthly-by-day", "interval": 12, "end": null, "first_day_of_week": 0,
                "weekday": 1, "week": 4}, "exceptions": []},
    {"id": 0, "status": 1, "position": 2147483647, "start": "2024-01-31T09:00:00",
     "end": "2024-01-31T09:00:00", "description": "31st", "note": "", "untimed": false,
     "private": false, "category": 0, "alarm": null, "alarm_minutes": -1,
     "repeat": {"kind": "monthly-by-date", "interval": 1, "end": null, "first_day_of_week": 0,
                "day": 31}, "exceptions": []},
    {"id": 0, "status": 1, "position": 2147483647, "start": "1960-02-29T00:00:00",
     "end": "1960-02-29T00:00:00", "description": "leap birthday", "note": "", "untimed": true,
     "private": false, "category": 0, "alarm": null, "alarm_minutes": -1,
     "repeat": {"kind": "yearly", "interval": 1, "end": null, "first_day_of_week": 0,
                "day": 29, "month": 2}, "exceptions": []}
  ]})";

const char* const kFullTodo = R"({
  "format": "todo", "file_name": "todo.dat",
  "categories": [{"index": 1, "id": 1, "name": "Einkauf", "short": "Eink"}],
  "records": [
    {"id": 9, "status": 1, "position": 2147483647, "description": "Steuer",
     "note": "Belege\r\nsammeln", "due": "2024-04-30", "completed": false, "priority": 1,
     "private": false, "category": 1},
    {"id": 0, "status": 4, "position": 2147483647, "description": "undated",
     "note": "", "due": null, "completed": true, "priority": 5, "private": true,
     "category": 0}
  ]})";

} // namespace

class TestPalmdat : public QObject
{
    Q_OBJECT

private slots:
    void makeThenDumpGivesTheInputBack_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("datebook") << QByteArray(kFullDatebook);
        QTest::newRow("todo") << QByteArray(kFullTodo);
    }
    void makeThenDumpGivesTheInputBack()
    {
        QFETCH(QByteArray, json);
        QTemporaryDir dir;
        const QString in = dir.filePath("in.json");
        const QString out = dir.filePath("out.dat");
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(json);
        file.close();
        const Run made = palmdat({"make", in, out});
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        const Run dumped = palmdat({"dump", out});
        QVERIFY2(dumped.exitCode == 0, qPrintable(dumped.err));
        QCOMPARE(QJsonDocument::fromJson(dumped.out).object(), parse(json));
    }

    void missingFieldsTakeDefaults()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("in.json");
        const QString out = dir.filePath("out.dat");
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"format": "datebook", "records": [
            {"start": "2024-03-31T10:00:00", "repeat": {"kind": "weekly"}},
            {"start": "2024-05-27", "repeat": {"kind": "monthly-by-day"}}]})");
        file.close();
        QCOMPARE(palmdat({"make", in, out}).exitCode, 0);
        const QJsonArray records =
            QJsonDocument::fromJson(palmdat({"dump", out}).out).object()["records"].toArray();
        const QJsonObject weekly = records[0].toObject();
        QCOMPARE(weekly["end"].toString(), QStringLiteral("2024-03-31T10:00:00"));
        QCOMPARE(weekly["status"].toInt(), 1);
        QCOMPARE(weekly["position"].toInteger(), 2147483647);
        QVERIFY(weekly["alarm"].isNull());
        const QJsonObject repeat = weekly["repeat"].toObject();
        QCOMPARE(repeat["days"].toArray(), QJsonArray{0}); // the start's weekday, Sunday
        QCOMPARE(repeat["interval"].toInt(), 1);
        QVERIFY(repeat["end"].isNull());
        const QJsonObject monthly = records[1].toObject()["repeat"].toObject();
        QCOMPARE(monthly["weekday"].toInt(), 1);
        QCOMPARE(monthly["week"].toInt(), 3); // the fourth Monday of May 2024

        // "No date" is written the way Palm Desktop writes it: 2031-12-31 23:59:59 local.
        PinnedTimeZone zone("Europe/Berlin");
        const auto read = palmfile::readDatebookFile(out.toStdString());
        QVERIFY(read.ok());
        const palmfile::TimeValue end = read.value().records[0].repeat->end;
        using namespace std::chrono;
        QVERIFY(palmfile::localDateOf(end) == year(2031) / December / 31);
        QVERIFY((palmfile::localTimeOfDay(end) == palmfile::TimeOfDay{23, 59, 59}));
    }

    // Exceptions written in two zones show as the day they cancel.
    void dumpRoundsExceptionsToTheirDay()
    {
        const QString sample =
            QStringLiteral(CHIMEWELL_SAMPLES_DIR "/hebcal-dotcom/FederalHolidays.dba");
        if (!QFile::exists(sample))
            QSKIP("sample files are absent");
        const Run dumped = palmdat({"dump", sample});
        QCOMPARE(dumped.exitCode, 0);
        const QJsonObject memorial =
            QJsonDocument::fromJson(dumped.out).object()["records"].toArray()[9].toObject();
        QCOMPARE(memorial["repeat"].toObject()["week"].toInt(), 4);
        QStringList exceptions;
        for (const QJsonValue& v : memorial["exceptions"].toArray())
            exceptions << v.toString();
        exceptions.sort();
        QCOMPARE(exceptions, QStringList({"2000-05-29", "2000-05-29", "2001-05-28", "2001-05-28"}));
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList() << QByteArray() << 2 << "Usage:";
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << QByteArray() << 2 << "unknown command \"frobnicate\"";
        QTest::newRow("dump without file")
            << QStringList{"dump"} << QByteArray() << 2 << "palmdat dump FILE";
        QTest::newRow("missing file") << QStringList{"dump", "@/nothing.dat"} << QByteArray() << 1
                                      << "nothing.dat: No such file or directory";
        QTest::newRow("corrupt file")
            << QStringList{"dump", "@/in.json"} << QByteArray("\0\1BD", 4) << 1
            << "in.json: header: string runs past end of file "
               "at offset 0x4";
        QTest::newRow("not json") << QStringList{"make", "@/in.json", "@/out.dat"}
                                  << QByteArray("{\"format\": ") << 1 << "in.json: ";
        QTest::newRow("bad format")
            << QStringList{"make", "@/in.json", "@/out.dat"} << QByteArray(R"({"format": "memo"})")
            << 1 << "in.json: format: expected \"datebook\" or \"todo\"";
        QTest::newRow("bad start")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "datebook", "records": [{"start": "31.03.2024"}]})") << 1
            << "in.json: record 0: start: expected a local time like 2024-05-01T09:30:00";
        QTest::newRow("missing start")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "datebook", "records": [{}, {}]})") << 1
            << "record 0: start: missing";
        QTest::newRow("year beyond the file")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "todo", "records": [{"due": "2040-01-01"}]})") << 1
            << "record 0: due: outside the years 1901 to 2038";
        QTest::newRow("misspelt field")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "todo", "records": [{"priorty": 2}]})") << 1
            << "record 0: priorty: unknown field";
        QTest::newRow("bad repeat kind")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "datebook", "records": [{"start": "2024-01-01",
                              "repeat": {"kind": "hourly"}}]})")
            << 1 << "record 0: repeat: kind: expected one of daily, weekly";
        QTest::newRow("bad weekday")
            << QStringList{"make", "@/in.json", "@/out.dat"}
            << QByteArray(R"({"format": "datebook", "records": [{"start": "2024-01-01",
                              "repeat": {"kind": "weekly", "days": [7]}}]})")
            << 1 << "record 0: repeat: days: expected weekdays from 0 (Sunday) to 6";
        QTest::newRow("fraction") << QStringList{"make", "@/in.json", "@/out.dat"}
                                  << QByteArray(R"({"format": "todo", "records": [{"id": 1.5}]})")
                                  << 1 << "record 0: id: expected a whole number";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (!input.isNull()) {
            QFile file(dir.filePath("in.json"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(input);
        }
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), dir.path());
        const Run run = palmdat(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("out.dat")));
    }
};

QTEST_GUILESS_MAIN(TestPalmdat)
#include "tst_palmdat.moc"
