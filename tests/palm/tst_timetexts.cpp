#include "palm/timetexts.h"

#include <QtTest>

#include <ctime>

namespace {

void pinTimeZone(const char* zone)
{
    qputenv("TZ", zone);
    tzset();
}

std::int64_t localInstant(int year, int month, int day, int hour, int minute)
{
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = 42;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

} // namespace

class TestTimeTexts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pinTimeZone("Europe/Berlin"); }

    void timeText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("expected");
        QTest::newRow("de morning") << "de_DE" << 7 << 5 << "07:05";
        QTest::newRow("de evening") << "de_DE" << 17 << 5 << "17:05";
        QTest::newRow("us morning padded") << "en_US" << 7 << 5 << "07:05 AM";
        QTest::newRow("us evening") << "en_US" << 17 << 5 << "05:05 PM";
        QTest::newRow("C locale drops seconds") << "C" << 9 << 5 << "09:05";
        QTest::newRow("fi dots") << "fi_FI" << 9 << 5 << "09.05";
    }

    void timeText()
    {
        QFETCH(QString, locale);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, expected);
        QString text = FormatTimeText(localInstant(2024, 3, 31, hour, minute), QLocale(locale));
        // Newer locale data separates AM/PM with a narrow no-break space.
        text.replace(QChar(0x202F), QLatin1Char(' '));
        QCOMPARE(text, expected);
    }

    void dateText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("de") << "de_DE"
                            << "24.12.24";
        QTest::newRow("us") << "en_US"
                            << "12/24/24";
    }

    void dateText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(FormatDateText(localInstant(2024, 12, 24, 0, 30), QLocale(locale)), expected);
    }

    void flattenLineBreaks()
    {
        QString text = "first\r\nsecond\nthird\r";
        FlattenLineBreaks(text);
        QCOMPARE(text, QString("first  second third "));
    }
};

QTEST_GUILESS_MAIN(TestTimeTexts)
#include "tst_timetexts.moc"
