// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/reader.h"
#include "palmfile/writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace palmfile;

namespace {

using Bytes = std::vector<std::uint8_t>;

QString samplePath(const char* name)
{
    return QStringLiteral(CHIMEWELL_SAMPLES_DIR "/hebcal-dotcom/") + QLatin1String(name);
}

// A small datebook that uses every repeat kind, a category and a class reference.
Datebook fixtureDatebook()
{
    Datebook d;
    d.header.schemaResourceId = 54;
    d.header.categories.push_back({1, 1, 0, "Business", "Bus"});
    DatebookRecord& single = d.records.emplace_back();
    single.description = "A";
    single.start = 1700000000;
    single.end = 1700003600;
    for (int kind = 1; kind <= 5; ++kind) {
        DatebookRecord r;
        r.description = "repeat " + std::to_string(kind);
        r.start = r.end = 1700000000 + kind * 86400;
        r.repeat = Repeat{};
        r.repeat->kind = static_cast<RepeatKind>(kind);
        r.repeat->daysMask = 0x2A;
        r.exceptions = {1700100000};
        d.records.push_back(r);
    }
    d.records.push_back(d.records[2]); // CWeekly again, by class reference
    return d;
}

TodoList fixtureTodoList()
{
    TodoList t;
    t.header.categories.push_back({1, 5, 0, "Home", "Home"});
    const TodoRecord r{.description = "Buy milk", .due = 1700000000, .note = "2 litres"};
    t.records = {r, r};
    return t;
}

} // namespace

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    void holidaySamples()
    {
        const QString federal = samplePath("FederalHolidays.dba");
        const QString other = samplePath("non-FederalHolidays.dba");
        if (!QFile::exists(federal) || !QFile::exists(other))
            QSKIP("sample files are absent");
        const auto read = readDatebookFile(federal.toStdString());
        QVERIFY2(read.ok(), read.error().c_str());
        const Datebook& d = read.value();
        QCOMPARE(d.records.size(), size_t(10));
        const Repeat& labor = *d.records[0].repeat;
        QCOMPARE(labor.kind, RepeatKind::MonthlyByDay);
        QCOMPARE(labor.interval, 12);
        QCOMPARE(labor.end, TimeValue(0x46DBB0F0));
        QCOMPARE(labor.dayIndex, 1);
        // Christmas is the first object of class 0x8004 (CDateOfYear defined at record 2).
        const Repeat& christmas = *d.records[4].repeat;
        QCOMPARE(christmas.kind, RepeatKind::Yearly);
        QCOMPARE(christmas.dayNumber, 25);
        QCOMPARE(christmas.monthIndex, 11);
        // Our writer reproduces the desktop's own files byte for byte.
        for (const QString& path : {federal, other}) {
            const auto bytes = readFileBytes(path.toStdString()).value();
            QVERIFY(writeDatebook(readDatebook(bytes, "f").value()) == bytes);
        }
    }

    // Every cut of a valid file is an error, never a crash or a partial success.
    void truncationAtEveryOffset()
    {
        const Bytes datebook = writeDatebook(fixtureDatebook());
        const Bytes todo = writeTodoList(fixtureTodoList());
        QVERIFY(readDatebook(datebook, "d").ok() && readTodoList(todo, "t").ok());
        for (std::size_t size = 0; size < datebook.size(); ++size)
            QVERIFY(!readDatebook({datebook.data(), size}, "d").ok());
        for (std::size_t size = 0; size < todo.size(); ++size)
            QVERIFY(!readTodoList({todo.data(), size}, "t").ok());
    }

    // Palm Desktop 4.1.4 appends fields of its own; they are read past, the classic ones kept.
    void extraTrailingFields()
    {
        const std::vector<std::uint16_t> schema = {1, 1, 1, 3, 1, 5,  1, 5, 6,  6,
                                                   1, 6, 1, 1, 8, 64, 5, 2, 66, 8};
        ArchiveWriter out;
        out.u32(0x44420100);
        out.text("datebook.dat");
        out.text("");
        // next free category id, no categories, resource id, fields per row, positions
        for (std::uint32_t v : {128u, 0u, 54u, 20u, 0u, 1u, 2u})
            out.u32(v);
        out.u16(20);
        for (auto type : schema)
            out.u16(type);
        out.u32(2 * 20);
        for (int record = 0; record < 2; ++record) {
            for (std::size_t field = 0; field < schema.size(); ++field) {
                out.u32(schema[field]);
                if (schema[field] == 5) {
                    out.u32(0);
                    out.text(field == 5 ? "Dentist" : "extra text");
                } else if (schema[field] == 8) {
                    out.count(0);
                    if (field == 14 && record == 0) {
                        out.newObjectTag("CDateOfMonth");
                        for (int v : {4, 1, 0x749E77BF, 0, 15})
                            out.i32(v);
                    } else if (field == 14) {
                        out.objectReference(2); // the first record's repeat object
                    } else {
                        out.nullTag();
                    }
                } else {
                    out.u32(field == 3 ? 1700000000u : std::uint32_t(field));
                }
            }
        }
        const auto read = readDatebook(out.data(), "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        QCOMPARE(read.value().records.size(), size_t(2));
        for (const DatebookRecord& r : read.value().records) {
            QCOMPARE(r.description, std::string("Dentist"));
            QCOMPARE(r.start, TimeValue(1700000000));
            QCOMPARE(r.alarmAmount, 12);
            QCOMPARE(r.alarmUnit, 13);
            QVERIFY(r.repeat);
            QCOMPARE(r.repeat->kind, RepeatKind::MonthlyByDate);
            QCOMPARE(r.repeat->dayNumber, 15);
        }
    }

    // Only a regular file is read, without waiting on anything else and never past the size
    // limit; the message starts with the path as given.
    void fileErrors_data()
    {
        QTest::addColumn<QString>("target"); // what the path is: made here, or a link target
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("missing") << "" << QByteArray(std::strerror(ENOENT));
        QTest::newRow("folder") << "folder" << QByteArray(std::strerror(EISDIR));
        QTest::newRow("empty") << "empty" << QByteArray("the file is empty");
        QTest::newRow("too large") << "sparse" << QByteArray("larger than 67108864 bytes");
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << "fifo" << QByteArray("not a regular file");
        QTest::newRow("device") << "/dev/zero" << QByteArray("not a regular file");
#endif
#ifdef Q_OS_LINUX
        // A regular file that claims to be empty and goes on for gigabytes.
        QTest::newRow("endless") << "/proc/self/pagemap"
                                 << QByteArray("larger than 67108864 bytes");
#endif
    }
    void fileErrors()
    {
        QFETCH(QString, target);
        QFETCH(QByteArray, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("todo.dat");
        if (target == "folder")
            QVERIFY(QDir(dir.path()).mkdir("todo.dat"));
        else if (target == "empty" || target == "sparse")
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) &&
                    QFile::resize(path, target == "sparse" ? kMaxDataFileSize + 1 : 0));
#ifdef Q_OS_UNIX
        else if (target == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
        else if (!target.isEmpty())
            QVERIFY(QFile::link(target, path));
        QCOMPARE(readTodoListFile(path.toStdString()).error(),
                 path.toStdString() + ": " + reason.toStdString());
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
