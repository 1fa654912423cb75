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
    void cp1252EveryByteSurvives()
    {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all += static_cast<char>(b);
        QCOMPARE(utf8ToCp1252(cp1252ToUtf8(all)), all);
    }

    void cp1252Characters_data()
    {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("cp1252");
        QTest::addColumn<bool>("readsBack");
        QTest::newRow("umlauts") << QByteArray("Grüß!") << QByteArray("Gr\xfc\xdf!") << true;
        QTest::newRow("euro and quotes")
            << QByteArray("€ “x”") << QByteArray("\x80 \x93x\x94") << true;
        QTest::newRow("undefined bytes") << QByteArray("\u0081\u008d\u008f\u0090\u009d")
                                         << QByteArray("\x81\x8d\x8f\x90\x9d") << true;
        // Text that cp1252 cannot hold becomes question marks.
        QTest::newRow("emoji") << QByteArray("a\xf0\x9f\x98\x80z") << QByteArray("a?z") << false;
        QTest::newRow("c1 control that 1252 redefines")
            << QByteArray("\xc2\x80") << QByteArray("?") << false;
        QTest::newRow("truncated sequence") << QByteArray("x\xc3") << QByteArray("x?") << false;
        QTest::newRow("stray continuation") << QByteArray("\x80y") << QByteArray("?y") << false;
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QByteArray("??") << false;
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QByteArray("???") << false;
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
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("end");
        QTest::newRow("utf16") << QByteArray::fromHex("fffeff02e4003d26") << QStringLiteral("ä☽")
                               << 8;
        QTest::newRow("utf16 short length")
            << QByteArray::fromHex("fffeffff01004100") << QStringLiteral("A") << 8;
        QTest::newRow("utf16 surrogate pair")
            << QByteArray::fromHex("fffeff023dd800de") << QStringLiteral("😀") << 8;
    }
    void utf16Strings()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, text);
        QFETCH(int, end);
        ArchiveReader in = readerOf(stream);
        QCOMPARE(QString::fromStdString(in.text()), text);
        QVERIFY(in.ok());
        QCOMPARE(int(in.offset()), end);
    }

    void stringsPastTheEndFail_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::newRow("byte length") << QByteArray::fromHex("0a4142");
        QTest::newRow("prefix cut") << QByteArray::fromHex("ff03");
        QTest::newRow("giant long length") << QByteArray::fromHex("ffffffffffffff41");
        QTest::newRow("utf16 odd") << QByteArray::fromHex("fffeff024100");
    }
    void stringsPastTheEndFail()
    {
        QFETCH(QByteArray, stream);
        stream.prepend('\x00'); // an empty string first, so the failure is not at offset 0
        ArchiveReader in = readerOf(stream);
        in.text();
        in.setContext("record", 12);
        QVERIFY(in.text().empty());
        QVERIFY(!in.ok());
        QCOMPARE(
            in.error().message("datebook.dat"),
            std::string("datebook.dat: record 12: string runs past end of file at offset 0x1"));
        // Later reads give nothing and keep the first failure.
        QCOMPARE(in.u32(), 0u);
        QCOMPARE(in.error().offset, size_t(1));
    }

    void writtenStringsReadBack_data()
    {
        QTest::addColumn<int>("length");
        for (int n : {254, 255, 0xFFFE, 0xFFFF, 70000})
            QTest::addRow("%d", n) << n;
    }
    void writtenStringsReadBack()
    {
        QFETCH(int, length);
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

    // The numbering of FederalHolidays.dba: one counter for classes and objects of the file.
    void objectTagsShareOneCounter()
    {
        ArchiveWriter out;
        QCOMPARE(out.newObjectTag("CDayOfMonth"), 2u);
        QCOMPARE(out.newObjectTag("CDayOfMonth"), 3u);
        QCOMPARE(out.newObjectTag("CDateOfYear"), 5u);
        QCOMPARE(out.newObjectTag("CDateOfYear"), 6u);
        out.nullTag();
        out.objectReference(5);
        const auto expected = QByteArray::fromHex("ffff01000b00") + "CDayOfMonth" +
                              QByteArray::fromHex("0180ffff01000b00") + "CDateOfYear" +
                              QByteArray::fromHex("048000000500");
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(out.data().data()),
                            qsizetype(out.data().size())),
                 expected);
    }

    void bigTags()
    {
        const QByteArray stream = QByteArray::fromHex("ffff0100010043" // class 1, object 2
                                                      "ff7f01000080"   // big class reference
                                                      "ff7f03000000"); // big object ref to 3
        ArchiveReader in = readerOf(stream);
        in.objectTag();
        const ObjectTag viaBig = in.objectTag();
        QCOMPARE(viaBig.kind, ObjectTag::Kind::NewObject);
        QCOMPARE(viaBig.objectIndex, 3u);
        const ObjectTag ref = in.objectTag();
        QCOMPARE(ref.kind, ObjectTag::Kind::Reference);
        QCOMPARE(ref.objectIndex, 3u);
        QVERIFY(in.ok() && in.atEnd());
    }

    void badTagsFail_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QString>("error");
        QTest::newRow("class never defined")
            << QByteArray::fromHex("0380") << "unknown class index 3 at offset 0x0";
        QTest::newRow("class index 0") << QByteArray::fromHex("0080") << "unknown class index 0";
        QTest::newRow("class reference to an object")
            << QByteArray::fromHex("ffff010001004302800280") << "unknown class index 2";
        QTest::newRow("object reference to a class")
            << QByteArray::fromHex("ffff01000100430100") << "object reference 1 to no object";
        QTest::newRow("object reference ahead")
            << QByteArray::fromHex("0900") << "object reference 9 to no object";
        QTest::newRow("class name cut") << QByteArray::fromHex("ffff01000b00434461")
                                        << "class definition runs past end of file at offset 0x0";
        QTest::newRow("big tag cut")
            << QByteArray::fromHex("ff7f0100") << "object tag runs past end";
    }
    void badTagsFail()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, error);
        ArchiveReader in = readerOf(stream);
        while (in.ok() && !in.atEnd())
            in.objectTag();
        QVERIFY(!in.ok());
        const QString message = QString::fromStdString(in.error().message("f"));
        QVERIFY2(message.contains(error), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
