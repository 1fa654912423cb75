// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/localdate.h"
#include "palmfile/reader.h"
#include "testtime.h"

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
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// Runs in Berlin time.
Run palmdat(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "Europe/Berlin");
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PALMDAT_PATH), arguments);
    process.waitForFinished(30000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString writeJson(const QTemporaryDir& dir, const QByteArray& json)
{
    QFile file(dir.filePath("in.json"));
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
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
        QCOMPARE(dumped.json(), QJsonDocument::fromJson(json.readAll()).object());
    }

    // Errors exit with 1 (unreadable) or 2 (usage), write nothing else, and name the path given.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input"); // written to @/in.json
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList make = {"make", "@/in.json", "@/out.dat"};
        const QStringList occurrences = {"occurrences", "@/in.json", "--from", "2026-05-31"};
        QTest::newRow("corrupt file")
            << QStringList{"dump", "@/in.json"} << QByteArray("\0\1BD", 4) << 1 << "@/in.json: ";
        QTest::newRow("occurrences backwards")
            << occurrences + QStringList{"--to", "2026-05-01"} << QByteArray() << 2 << "";
        QTest::newRow("users of a missing folder")
            << QStringList{"users", "@/gone"} << QByteArray() << 1 << "@/gone: ";
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (!input.isNull())
            writeJson(dir, input);
        for (QString& argument : arguments)
            argument.replace(QLatin1Char('@'), dir.path());
        message.replace(QLatin1Char('@'), dir.path());
        const Run run = palmdat(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("out.dat")));
    }

    void occurrencesInOrder()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("order.dat");
        // 02:30 does not exist on 29 March 2026 in Berlin: the clocks go forward.
        const QString in = writeJson(dir, R"({"format": "datebook", "records": [
            {"start": "2026-05-12T18:00:00", "description": "Late"},
            {"start": "2026-05-10T07:30:00", "description": "Early daily",
             "repeat": {"kind": "daily"}, "exceptions": ["2026-05-12"]},
            {"start": "2026-05-12T00:00:00", "untimed": true, "description": "Holiday"},
            {"start": "2026-05-12T09:00:00", "status": 4, "description": "Deleted"},
            {"start": "2026-05-12T09:00:00", "status": 129, "description": "Archived"},
            {"start": "2026-05-11T07:30:00", "description": "Same time"},
            {"start": "2026-05-11T00:00:00", "untimed": true, "description": "Two\r\nlines"},
            {"start": "2026-03-28T02:30:00", "description": "Night shift",
             "repeat": {"kind": "daily", "end": "2026-03-30"}}]})");
        QCOMPARE(palmdat({"make", in, file}).exitCode, 0);

        Run run = palmdat({"occurrences", file, "--from", "2026-05-10", "--to", "2026-05-12"});
        QCOMPARE(run.out, "2026-05-10 07:30\tEarly daily\n"
                          "2026-05-11 all-day\tTwo  lines\n"
                          "2026-05-11 07:30\tEarly daily\n"
                          "2026-05-11 07:30\tSame time\n"
                          "2026-05-12 all-day\tHoliday\n"
                          "2026-05-12 18:00\tLate\n");
        run = palmdat({"occurrences", "--to", "2026-03-31", file, "--from", "2026-03-27"});
        QCOMPARE(run.out, "2026-03-28 02:30\tNight shift\n"
                          "2026-03-29 03:30\tNight shift\n"
                          "2026-03-30 02:30\tNight shift\n");
    }
};

QTEST_GUILESS_MAIN(TestPalmdat)
#include "tst_palmdat.moc"
