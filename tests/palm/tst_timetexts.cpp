// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/timetexts.h"
#include "tests/palmfile/testtime.h"

#include <QtTest>

class TestTimeTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTimeZone("Europe/Berlin"); }

    // Times and dates take the locale's short format, hours padded, seconds dropped.
    void texts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("date");
        QTest::newRow("de") << "de_DE" << 17 << "17:05"
                            << "24.12.24";
        QTest::newRow("us morning padded") << "en_US" << 7 << "07:05 AM"
                                           << "12/24/24";
        QTest::newRow("us evening") << "en_US" << 17 << "05:05 PM"
                                    << "12/24/24";
        QTest::newRow("fi dots") << "fi_FI" << 9 << "09.05"
                                 << "24.12.2024";
    }

    void texts()
    {
        QFETCH(QString, locale);
        QFETCH(int, hour);
        QFETCH(QString, time);
        QFETCH(QString, date);
        using namespace std::chrono;
        const std::int64_t instant = palmfile::localTime(2024y / December / 24d, hour, 5, 42);
        QString text = formatTimeText(instant, QLocale(locale));
        // Newer locale data separates AM/PM with a narrow no-break space.
        text.replace(QChar(0x202F), QLatin1Char(' '));
        QCOMPARE(text, time);
        QCOMPARE(formatDateText(instant, QLocale(locale)), date);
    }

    void lineBreaksFlattened()
    {
        QString text = "first\r\nsecond\nthird\r";
        flattenLineBreaks(text);
        QCOMPARE(text, "first  second third ");
    }
};

QTEST_GUILESS_MAIN(TestTimeTexts)
#include "tst_timetexts.moc"
