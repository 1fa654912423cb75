// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/alarms.h"
#include "app/stringtable.h"
#include "tests/palm/palmfixtures.h"

#include <QtTest>

namespace {

const LocalDate kToday{2024y, std::chrono::May, 15d};

AlarmEntry entry(TimeValue start, const QString& description, int advance = -1)
{
    AlarmEntry e;
    e.startTime = start;
    e.description = description;
    e.alarmAdvance = advance;
    return e;
}

} // namespace

class TestAlarms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTimeZone("Europe/Berlin");
        setUiLanguage(UiLanguage::English);
    }

    void dueAlarmSelection_data()
    {
        QTest::addColumn<int>("advance");
        QTest::addColumn<int>("warntime");
        QTest::addColumn<int>("snoozedMinutesAgo"); // -1: not snoozed
        QTest::addColumn<int>("acknowledged");
        QTest::addColumn<int>("nowMinutesBeforeStart");
        QTest::addColumn<bool>("due");
        QTest::newRow("own lead 0 at start") << 0 << 5 << -1 << 0 << 0 << true;
        QTest::newRow("own lead 0 before start") << 0 << 5 << -1 << 0 << 1 << false;
        QTest::newRow("warntime 5 reached") << -1 << 5 << -1 << 0 << 5 << true;
        QTest::newRow("start long passed") << -1 << 5 << -1 << 0 << -90 << true;
        QTest::newRow("acknowledged") << -1 << 5 << -1 << 1 << -1 << false;
        QTest::newRow("snoozed, interval not over") << -1 << 5 << 0 << 0 << -1 << false;
        QTest::newRow("snoozed, interval over") << -1 << 5 << 1 << 0 << 30 << true;
    }

    void dueAlarmSelection()
    {
        QFETCH(int, advance);
        QFETCH(int, warntime);
        QFETCH(int, snoozedMinutesAgo);
        QFETCH(int, acknowledged);
        QFETCH(int, nowMinutesBeforeStart);
        QFETCH(bool, due);
        const TimeValue start = at(kToday, 10, 0);
        const TimeValue now = start - nowMinutesBeforeStart * 60;
        AlarmList alarms{entry(start, "Call", advance)};
        alarms[0].acknowledged = acknowledged;
        if (snoozedMinutesAgo >= 0) {
            alarms[0].snoozed = 1;
            alarms[0].snoozedAt = now - snoozedMinutesAgo * 60;
        }
        QCOMPARE(findDueAlarm(alarms, warntime, 1, now) != nullptr, due);
        const std::optional<std::int64_t> next = nextDueTime(alarms, warntime, 1);
        QCOMPARE(next.has_value(), !acknowledged);
        if (next)
            QCOMPARE(*next <= now, due);
    }

    void firstLineOfTooltip()
    {
        const QLocale de("de_DE");
        AlarmList alarms;
        QCOMPARE(firstLineText(alarms, de), QString("No appointments today"));
        alarms = {entry(at(kToday, 9, 5), "Team"), entry(at(kToday, 10, 0), "Dentist")};
        alarms[1].note = "Bring card";
        alarms[0].acknowledged = 1;
        QCOMPARE(firstLineText(alarms, de), QString("10:00 Dentist\r\nBring card"));
        alarms[1].acknowledged = 1;
        QCOMPARE(firstLineText(alarms, de), QString("No more appointments today"));
        setUiLanguage(UiLanguage::German);
        QCOMPARE(firstLineText(alarms, de), QString("Keine weiteren Termine"));
        setUiLanguage(UiLanguage::English);
    }

    void tooltipLayout_data()
    {
        QTest::addColumn<QString>("firstLine");
        QTest::addColumn<QString>("tooltip");
        const QString note40 = "10:00 Dentist\r\n" + QString(25, 'n');
        QTest::newRow("40 characters keep the note's line break") << note40 << note40;
        QTest::newRow("25 characters are flattened") << "10:00 Dentist\r\nBring card"
                                                     << "10:00 Dentist  Bring card";
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        QTest::newRow("no half character at the cut")
            << QString(59, 'x') + clef + "tail" << QString(59, 'x');
        QTest::newRow("whole character at the cut")
            << QString(58, 'x') + clef + "tail" << QString(58, 'x') + clef;
    }

    void tooltipLayout()
    {
        QFETCH(QString, firstLine);
        QFETCH(QString, tooltip);
        QCOMPARE(tooltipText(firstLine), tooltip);
    }
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "tst_alarms.moc"
