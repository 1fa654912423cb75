// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/reader.h"
#include "palmfile/writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace palmfile;

// Field by field, written files are compared with their JSON form in tst_palmdat; here what
// we read is written again and must give the same bytes.
class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    void readBackAndWrittenAgain()
    {
        Datebook d;
        d.header.fileName = "C:\\Palm\\GewirtD\\datebook\\datebook.dat";
        d.header.tableString = "100 16";
        d.header.schemaResourceId = 54;
        d.header.categories = {{1, 17, 1, "Büro", "Bü"}, {2, 18, 0, "Privat", "Priv"}};
        for (int n = 0; n < 10; ++n) {
            // Two of each kind: the second object of a class is written as a class reference.
            DatebookRecord r;
            r.id = 1000 + n;
            r.start = 1711875600 + n; // 2024-03-31, a DST day in Europe
            r.end = r.start + 5400;
            r.description = "Repeat " + std::to_string(n);
            Repeat& p = r.repeat.emplace();
            p.kind = RepeatKind(n / 2 + 1);
            p.interval = 2 + n % 2;
            p.end = 1956542399; // no end
            p.firstDayOfWeek = p.weekIndex = n % 2;
            p.dayIndex = 5 - n % 2;
            p.daysMask = std::uint8_t(0x7F - n % 2);
            p.dayNumber = 29 + n % 2;
            p.monthIndex = 1 + n % 2;
            r.exceptions = {1712000000, -86400};
            d.records.push_back(r);
        }
        DatebookRecord plain;
        plain.status = StatusModified | StatusDeleted;
        plain.start = plain.end = -1000000000; // before 1970
        plain.description = "Geburtstag Oma — “Kaffee”";
        plain.note = std::string(70000, 'n') + "\r\n## third-party markup";
        plain.untimed = plain.isPrivate = plain.alarmSet = true;
        plain.category = 2;
        plain.alarmAmount = 99;
        plain.alarmUnit = 2;
        d.records.push_back(plain);
        const auto datebook = writeDatebook(d);
        const auto read = readDatebook(datebook, "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        QCOMPARE(read.value().records.size(), d.records.size());
        QVERIFY(writeDatebook(read.value()) == datebook);

        TodoList t;
        t.header.categories = {{1, 1, 0, "Einkauf", "Eink"}};
        TodoRecord done;
        done.id = 77;
        done.status = StatusDeleted;
        done.description = "Steuererklärung";
        done.due = 1700000000;
        done.completed = done.isPrivate = true;
        done.priority = 5;
        done.category = 1;
        t.records = {done, TodoRecord{}};
        const auto todo = writeTodoList(t);
        QVERIFY(writeTodoList(readTodoList(todo, "todo.dat").value()) == todo);
    }

    void timesBeyondTheFileRangeAreClamped()
    {
        TodoList t;
        t.records.resize(2);
        t.records[0].due = TimeValue(1) << 40;
        t.records[1].due = -(TimeValue(1) << 40);
        const auto read = readTodoList(writeTodoList(t), "todo.dat");
        QVERIFY(read.ok());
        QCOMPARE(read.value().records[0].due, TimeValue(INT32_MAX));
        QCOMPARE(read.value().records[1].due, TimeValue(INT32_MIN));
    }

    void atomicWrite()
    {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath("todo.dat");
        const std::vector<std::uint8_t> first(10, 'a');
        const std::vector<std::uint8_t> second(3, 'b');
        QCOMPARE(writeFileAtomically(path.toStdString(), first).value(), size_t(10));
        QCOMPARE(writeFileAtomically(path.toStdString(), second).value(), size_t(3));
        QCOMPARE(readFileBytes(path.toStdString()).value(), second);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"todo.dat"});

        const std::string missing = QDir(dir.path()).filePath("no/todo.dat").toStdString();
        const auto failed = writeFileAtomically(missing, first);
        QVERIFY(!failed.ok());
        QVERIFY2(failed.error().starts_with(missing + ": "), failed.error().c_str());
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
