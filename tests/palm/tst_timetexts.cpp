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

    // Times take the locale's short format, hours padded so that lines sort, seconds dropped
    // with their separator.
    void texts()
    {
        using namespace std::chrono;
        const struct
        {
            const char* locale;
            int hour;
            const char* time;
            const char* date;
        } rows[] = {{"en_US", 7, "07:05 AM", "12/24/24"}, {"fi_FI", 9, "09.05", "24.12.2024"}};
        for (const auto& row : rows) {
            const std::int64_t instant =
                palmfile::localTime(2024y / December / 24d, row.hour, 5, 42);
            // Newer locale data separates AM/PM with a narrow no-break space.
            QCOMPARE(formatTimeText(instant, QLocale(row.locale)).replace(QChar(0x202F), u' '),
                     QString(row.time));
            QCOMPARE(formatDateText(instant, QLocale(row.locale)), QString(row.date));
        }
    }
};

QTEST_GUILESS_MAIN(TestTimeTexts)
#include "tst_timetexts.moc"
