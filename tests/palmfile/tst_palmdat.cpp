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

} // namespace

class TestPalmdat : public QObject
{
    Q_OBJECT

private slots:
    // The fuzzers' seeds give every field in the form dump prints.
    void makeThenDumpGivesTheInputBack_data()
    {
        QTest::addColumn<QString>("in");
        const QDir seeds(QStringLiteral(CHIMEWELL_FUZZ_SEEDS_DIR));
        for (const QString& name : seeds.entryList({"*.json"}, QDir::Files))
            QTest::newRow(qPrintable(name)) << seeds.filePath(name);
        QVERIFY(seeds.entryList({"*.json"}, QDir::Files).size() >= 2);
    }
    void makeThenDumpGivesTheInputBack()
    {
        QFETCH(QString, in);
        QFile json(in);
        QVERIFY(json.open(QIODevice::ReadOnly));
        QTemporaryDir dir;
        const QString out = dir.filePath("out.dat");
        const Run made = palmdat({"make", in, out});
        QVERIFY2(made.exitCode == 0, qPrintable(made.err));
        const Run dumped = palmdat({"dump", out});
        QVERIFY2(dumped.exitCode == 0, qPrintable(dumped.err));
        QCOMPARE(QJsonDocument::fromJson(dumped.out).object(),
                 QJsonDocument::fromJson(json.readAll()).object());
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
