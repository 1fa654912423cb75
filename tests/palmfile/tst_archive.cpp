// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/codepage.h"

#include <QTest>

using namespace palmfile;

namespace {

// The reader only looks at `stream`, which must outlive it.
ArchiveReader readerOf(const QByteArray& stream)
{
    return ArchiveReader(
        {reinterpret_cast<const std::uint8_t*>(stream.constData()), size_t(stream.size())});
}

} // namespace

class TestArchive : public QObject
{
    Q_OBJECT

private slots:
    void cp1252Characters_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("cp1252");
        QTest::addColumn<bool>("readsBack");
        QTest::newRow("umlauts") << QByteArray("Grüß!") << QByteArray("Gr\xfc\xdf!") << true;
        QTest::newRow("euro, quotes, Ÿ")
            << QByteArray("€ “x” Ÿ") << QByteArray("\x80 \x93x\x94 \x9f") << true;
        QTest::newRow("undefined bytes") << QByteArray("\u0081\u008d\u008f\u0090\u009d")
                                         << QByteArray("\x81\x8d\x8f\x90\x9d") << true;
        // What Windows-1252 cannot hold, or what is no UTF-8, becomes question marks.
        QTest::newRow("emoji") << QByteArray("a\xf0\x9f\x98\x80z") << QByteArray("a?z") << false;
        QTest::newRow("C1 control that 1252 redefines")
            << QByteArray("\xc2\x80") << QByteArray("?") << false;
        QTest::newRow("malformed")
            << QByteArray("x\xc3|\x80|\xc0\xaf|\xed\xa0\x80") << QByteArray("x?|?|??|???") << false;
    }
    void cp1252Characters()
    {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, cp1252);
        QFETCH(bool, readsBack);
        QCOMPARE(QByteArray::fromStdString(utf8ToCp1252(utf8.toStdString())), cp1252);
        if (readsBack)
            QCOMPARE(QByteArray::fromStdString(cp1252ToUtf8(cp1252.toStdString())), utf8);
    }

    // The desktop writes some strings as UTF-16; we write only the single-byte forms.
    void utf16Strings_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("text"); // null: the read fails
        QTest::newRow("utf16") << QByteArray::fromHex("fffeff02e4003d26") << QStringLiteral("ä☽");
        QTest::newRow("short length") << QByteArray::fromHex("fffeffff01004100") << "A";
        QTest::newRow("surrogate pair")
            << QByteArray::fromHex("fffeff023dd800de") << QStringLiteral("😀");
        QTest::newRow("odd byte count") << QByteArray::fromHex("fffeff024100") << QString();
    }
    void utf16Strings()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, text);
        ArchiveReader in = readerOf(stream);
        QCOMPARE(QString::fromStdString(in.text()), text.isNull() ? "" : text);
        QCOMPARE(in.ok(), !text.isNull());
        QCOMPARE(in.atEnd(), !text.isNull());
    }

    void writtenStringsReadBack()
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
    }

    // The numbering of FederalHolidays.dba: one counter for classes and objects of the file.
    void objectTags()
    {
        ArchiveWriter out;
        QCOMPARE(out.newObjectTag("CDayOfMonth"), 2u);
        QCOMPARE(out.newObjectTag("CDayOfMonth"), 3u);
        QCOMPARE(out.newObjectTag("CDateOfYear"), 5u);
        out.nullTag();
        out.objectReference(5);
        const auto expected = QByteArray::fromHex("ffff01000b00") + "CDayOfMonth" +
                              QByteArray::fromHex("0180ffff01000b00") + "CDateOfYear" +
                              QByteArray::fromHex("00000500");
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out.data().data()),
                            qsizetype(out.data().size())),
                 expected);

        const QByteArray tags = QByteArray::fromHex("ffff0100010043" // class 1, object 2
                                                    "ff7f01000080"   // big class reference
                                                    "ff7f03000000"); // big object ref to 3
        ArchiveReader in = readerOf(tags);
        in.objectTag();
        QCOMPARE(in.objectTag().kind, ObjectTag::Kind::NewObject);
        const ObjectTag ref = in.objectTag();
        QCOMPARE(ref.kind, ObjectTag::Kind::Reference);
        QCOMPARE(ref.objectIndex, 3u);
        QVERIFY(in.ok() && in.atEnd());
    }

    // Input that runs out or points nowhere fails, at the offset where it started.
    void badInputFails_data()
    {
        QTest::addColumn<QByteArray>("stream"); // after an empty string at offset 0
        QTest::addColumn<bool>("tags");         // read as object tags, else as a string
        QTest::newRow("string cut") << QByteArray::fromHex("0a4142") << false;
        QTest::newRow("string length cut") << QByteArray::fromHex("ff03") << false;
        QTest::newRow("giant string") << QByteArray::fromHex("ffffffffffffff41") << false;
        QTest::newRow("class never defined") << QByteArray::fromHex("0380") << true;
        QTest::newRow("class reference to an object")
            << QByteArray::fromHex("ffff010001004302800280") << true;
        QTest::newRow("object reference to a class")
            << QByteArray::fromHex("ffff01000100430100") << true;
        QTest::newRow("object reference ahead") << QByteArray::fromHex("0900") << true;
        QTest::newRow("class name cut") << QByteArray::fromHex("ffff01000b00434461") << true;
        QTest::newRow("big tag cut") << QByteArray::fromHex("ff7f0100") << true;
    }
    void badInputFails()
    {
        QFETCH(QByteArray, stream);
        QFETCH(bool, tags);
        ArchiveReader in = readerOf(stream.prepend('\x00'));
        in.text();
        std::size_t start = 0;
        do {
            start = in.offset();
            tags ? void(in.objectTag()) : void(in.text());
        } while (in.ok() && !in.atEnd());
        QVERIFY(!in.ok());
        QCOMPARE(in.error().offset, start);
        // Later reads give nothing and keep the first failure.
        QCOMPARE(in.u32(), 0u);
        QCOMPARE(in.error().offset, start);
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
