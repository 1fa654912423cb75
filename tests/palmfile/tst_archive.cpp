// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/archive.h"
#include "palmfile/codepage.h"

#include <QTest>

using namespace palmfile;

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
};

QTEST_GUILESS_MAIN(TestArchive)
#include "tst_archive.moc"
