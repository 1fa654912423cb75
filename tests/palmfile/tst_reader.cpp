// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/codepage.h"
#include "palmfile/reader.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace palmfile;

namespace {

// Two records as Palm Desktop 4.1.4 writes them, with fields of its own after the classic
// ones; the second record's repeat rule refers to the first's. The field `badField` of the
// second record has a type code other than the header's.
std::vector<std::uint8_t> datebookWithExtraFields(std::size_t badField = 99)
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
            out.u32(schema[field] + (record == 1 && field == badField));
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
    return out.take();
}

} // namespace

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    void cp1252Characters()
    {
        const std::pair<const char*, const char*> rows[] = {{"Grüß!", "Gr\xfc\xdf!"},
                                                            {"€ “x” Ÿ", "\x80 \x93x\x94 \x9f"}};
        for (const auto& [utf8, cp1252] : rows) {
            QCOMPARE(utf8ToCp1252(utf8), std::string(cp1252));
            QCOMPARE(cp1252ToUtf8(cp1252), std::string(utf8));
        }
        // What is no UTF-8 becomes question marks.
        QCOMPARE(utf8ToCp1252("x\xc3|\x80|\xc0\xaf|\xed\xa0\x80"), std::string("x?|?|??|???"));
    }

    void stringsReadBack()
    {
        for (int length : {254, 255, 0xFFFE, 0xFFFF, 70000}) {
            std::string text;
            for (int i = 0; i < length; ++i)
                text += i % 97 == 0 ? "\xc3\xa9" : "x"; // é is one byte in the file
            ArchiveWriter out;
            out.text(text);
            out.u8(0x5A);
            ArchiveReader in(out.data());
            QCOMPARE(in.text(), text);
            QCOMPARE(in.u8(), std::uint8_t(0x5A));
            QVERIFY(in.ok() && in.atEnd());
        }
        // UTF-16, after the marker 0xFFFE.
        const std::vector<std::uint8_t> utf16 = {0xFF, 0xFE, 0xFF, 2, 0xAC, 0x20, 'x', 0, 0x5A};
        ArchiveReader in(utf16);
        QCOMPARE(in.text(), std::string("€x"));
        QCOMPARE(in.u8(), std::uint8_t(0x5A));
    }

    void extraTrailingFields()
    {
        const auto read = readDatebook(datebookWithExtraFields(), "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        QCOMPARE(read.value().records.size(), size_t(2));
        for (const DatebookRecord& r : read.value().records) {
            QVERIFY(r.repeat);
            QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6")
                         .arg(QString::fromStdString(r.description))
                         .arg(r.start)
                         .arg(r.alarmAmount)
                         .arg(r.alarmUnit)
                         .arg(int(r.repeat->kind))
                         .arg(r.repeat->dayNumber),
                     "Dentist 1700000000 12 13 4 15");
        }
        // A field of another type than the header says is an error, not garbage.
        QVERIFY(!readDatebook(datebookWithExtraFields(3), "datebook.dat").ok());
    }

    // Only a regular file is read, without waiting on anything else and never past the size
    // limit, even when the file claims to be empty.
    void fileErrors()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("todo.dat");
        QVERIFY(QDir(dir.path()).mkdir("todo.dat"));
        QCOMPARE(readTodoListFile(path.toStdString()).error(),
                 path.toStdString() + ": " + std::strerror(EISDIR));
#ifdef Q_OS_UNIX
        QVERIFY(QDir(dir.path()).rmdir("todo.dat"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QCOMPARE(readTodoListFile(path.toStdString()).error(),
                 path.toStdString() + ": not a regular file");
#endif
#ifdef Q_OS_LINUX
        QCOMPARE(readFileBytes("/proc/self/pagemap").error(),
                 std::string("/proc/self/pagemap: larger than 67108864 bytes"));
#endif
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
