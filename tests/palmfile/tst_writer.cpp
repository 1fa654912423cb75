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
        d.header.schemaResourceId = 54;
        d.header.categories = {{1, 17, 1, "Büro", "Bü"}, {2, 18, 0, "Privat", "Priv"}};
        for (int n = 0; n < 10; ++n) {
            // Two of each kind: the second object of a class is written as a class reference.
            DatebookRecord& r = d.records.emplace_back();
            r.id = 1000 + n;
            r.start = 1711875600 + n;
            r.end = r.start + 5400;
            r.description = "Repeat " + std::to_string(n);
            r.repeat =
                Repeat{RepeatKind(n / 2 + 1),      2 + n % 2, 1956542399, n % 2,    5 - n % 2,
                       std::uint8_t(0x7F - n % 2), n % 2,     29 + n % 2, 1 + n % 2};
            r.exceptions = {1712000000, -86400};
        }
        DatebookRecord& plain = d.records.emplace_back();
        plain.status = StatusModified | StatusDeleted;
        plain.start = plain.end = -1000000000; // before 1970
        plain.description = "Geburtstag Oma — “Kaffee”";
        plain.note = std::string(70000, 'n');
        plain.untimed = plain.isPrivate = plain.alarmSet = true;
        plain.category = 2;
        plain.alarmAmount = 99;
        plain.alarmUnit = 2;
        const auto datebook = writeDatebook(d);
        const auto read = readDatebook(datebook, "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        QCOMPARE(read.value().records.size(), d.records.size());
        QVERIFY(writeDatebook(read.value()) == datebook);

        TodoList t;
        t.header.categories = {{1, 1, 0, "Einkauf", "Eink"}};
        t.records = {TodoRecord{77, StatusDeleted, 0, "Steuererklärung", 1700000000, true, 5, true,
                                1, "note"},
                     TodoRecord{}};
        const auto todo = writeTodoList(t);
        QVERIFY(writeTodoList(readTodoList(todo, "todo.dat").value()) == todo);

        // Times beyond the file's 32 bits are clamped.
        t.records[0].due = TimeValue(1) << 40;
        t.records[1].due = -(TimeValue(1) << 40);
        const auto clamped = readTodoList(writeTodoList(t), "todo.dat").value().records;
        QCOMPARE(clamped[0].due, TimeValue(INT32_MAX));
        QCOMPARE(clamped[1].due, TimeValue(INT32_MIN));
    }

    void atomicWrite()
    {
        QTemporaryDir dir;
        const std::string path = QDir(dir.path()).filePath("todo.dat").toStdString();
        const std::vector<std::uint8_t> first(10, 'a'), second(2, 'b');
        QCOMPARE(writeFileAtomically(path, first).value(), first.size());
        QCOMPARE(writeFileAtomically(path, second).value(), second.size());
        QCOMPARE(readFileBytes(path).value(), second);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"todo.dat"});
        QVERIFY(!writeFileAtomically(QDir(dir.path()).filePath("no/todo.dat").toStdString(), first)
                     .ok());
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
