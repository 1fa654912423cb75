// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "testtime.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestPalmdat : public QObject
{
    Q_OBJECT

private slots:
    // The fuzzers' seeds give every field in the form dump prints.
    void makeThenDumpGivesTheInputBack()
    {
        const QDir seeds(QStringLiteral(CHIMEWELL_FUZZ_SEEDS_DIR));
        const QStringList names = seeds.entryList({"*.json"}, QDir::Files);
        QTemporaryDir dir;
        for (const QString& name : names) {
            QFile json(seeds.filePath(name));
            QVERIFY(json.open(QIODevice::ReadOnly));
            const PalmdatRun made = runPalmdat({"make", json.fileName(), dir.filePath(name)});
            const PalmdatRun dumped = runPalmdat({"dump", dir.filePath(name)});
            QVERIFY2(made.exitCode == 0 && dumped.exitCode == 0,
                     qPrintable(name + made.err + dumped.err));
            QCOMPARE(QJsonDocument::fromJson(dumped.out).object(),
                     QJsonDocument::fromJson(json.readAll()).object());
        }
    }

    void occurrencesInOrder()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("order.dat");
        QFile in(dir.filePath("in.json"));
        QVERIFY(in.open(QIODevice::WriteOnly));
        // 02:30 does not exist on 29 March 2026 in Berlin: the clocks go forward.
        in.write(R"({"format": "datebook", "records": [
            {"start": "2026-05-12T18:00:00", "description": "Late"},
            {"start": "2026-05-10T07:30:00", "description": "Early daily",
             "repeat": {"kind": "daily"}, "exceptions": ["2026-05-12"]},
            {"start": "2026-05-12T00:00:00", "untimed": true, "description": "Holiday"},
            {"start": "2026-03-28T02:30:00", "description": "Night shift",
             "repeat": {"kind": "daily", "end": "2026-03-30"}}]})");
        in.close();
        QCOMPARE(runPalmdat({"make", in.fileName(), file}).exitCode, 0);

        PalmdatRun run =
            runPalmdat({"occurrences", file, "--from", "2026-05-10", "--to", "2026-05-12"});
        QCOMPARE(run.out, "2026-05-10 07:30\tEarly daily\n"
                          "2026-05-11 07:30\tEarly daily\n"
                          "2026-05-12 all-day\tHoliday\n"
                          "2026-05-12 18:00\tLate\n");
        run = runPalmdat({"occurrences", "--to", "2026-03-31", file, "--from", "2026-03-27"});
        QCOMPARE(run.out, "2026-03-28 02:30\tNight shift\n"
                          "2026-03-29 03:30\tNight shift\n"
                          "2026-03-30 02:30\tNight shift\n");
        run = runPalmdat({"occurrences", file, "--from", "2026-03-31", "--to", "2026-03-27"});
        QVERIFY(run.exitCode == 2 && run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPalmdat)
#include "tst_palmdat.moc"
