// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/alarms.h"
#include "app/alarmstate.h"
#include "app/stringtable.h"
#include "palm/settings.h"
#include "tests/palm/palmfixtures.h"

#include <QTemporaryDir>
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

    // Watched until 08:00, started again at 10:00 (warntime 5, snooze 1 minute).
    void missedAlarmSelection_data()
    {
        QTest::addColumn<int>("startHour");
        QTest::addColumn<int>("startMinute");
        QTest::addColumn<int>("lengthMinutes");
        QTest::addColumn<QString>("answer"); // "", "acknowledged", or snoozed at 09:30
        QTest::addColumn<int>("ringmissed");
        QTest::addColumn<bool>("missed");
        QTest::newRow("due after the watermark") << 9 << 30 << 30 << "" << 1 << true;
        QTest::newRow("due at the watermark") << 8 << 5 << 120 << "" << 1 << false;
        QTest::newRow("due just after it") << 8 << 6 << 120 << "" << 1 << true;
        QTest::newRow("ended over an hour ago") << 8 << 29 << 30 << "" << 1 << false;
        QTest::newRow("ended an hour ago") << 8 << 30 << 30 << "" << 1 << true;
        QTest::newRow("acknowledged") << 9 << 30 << 30 << "acknowledged" << 1 << false;
        QTest::newRow("snoozed") << 9 << 30 << 30 << "snoozed" << 1 << true;
        QTest::newRow("switched off") << 9 << 30 << 30 << "" << 0 << false;
        QTest::newRow("not started, due after the watermark") << 10 << 4 << 30 << "" << 1 << true;
        QTest::newRow("not started, due now") << 10 << 5 << 30 << "" << 1 << true;
        QTest::newRow("not started, not due") << 10 << 6 << 30 << "" << 1 << false;
    }

    void missedAlarmSelection()
    {
        QFETCH(int, startHour);
        QFETCH(int, startMinute);
        QFETCH(int, lengthMinutes);
        QFETCH(QString, answer);
        QFETCH(int, ringmissed);
        QFETCH(bool, missed);
        Settings settings;
        settings.ringmissed = ringmissed;
        const TimeValue now = at(kToday, 10, 0);
        AlarmEntry e = entry(at(kToday, startHour, startMinute), "Call");
        e.endTime = e.startTime + lengthMinutes * 60;
        AlarmAnswers answers;
        if (!answer.isEmpty()) {
            e.acknowledged = answer == "acknowledged";
            e.snoozed = !e.acknowledged;
            e.snoozedAt = at(kToday, 9, 30);
            recordAnswer(answers, e);
            e.acknowledged = e.snoozed = 0;
        }
        const bool started = e.startTime < now;
        AlarmList alarms;
        AlarmList startedToday;
        (started ? startedToday : alarms).push_back(e);
        applyAnswers(alarms, answers);
        const AlarmList found =
            selectMissedAlarms(alarms, startedToday, answers, settings, at(kToday, 8, 0), now);
        if (started) {
            QCOMPARE(found.size(), std::size_t(missed));
            if (missed)
                QVERIFY(found.front().missed);
        } else {
            QVERIFY(found.empty());
            QCOMPARE(alarms.front().missed, missed);
        }
        // Nothing missed without a watermark.
        QVERIFY(selectMissedAlarms(alarms, startedToday, answers, settings, 0, now).empty());
    }

    void alarmWindowText_data()
    {
        QTest::addColumn<bool>("isPrivate");
        QTest::addColumn<int>("showPrivate");
        QTest::addColumn<bool>("missed");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("plain") << false << 0 << false << "10:00 Dentist\r\nBring card"
                               << "10:00 Dentist\r\nBring card";
        QTest::newRow("private, withheld") << true << 0 << false << "10:00 Private appointment"
                                           << "10:00 Privater Termin";
        QTest::newRow("private, shown") << true << 1 << false << "10:00 Dentist\r\nBring card"
                                        << "10:00 Dentist\r\nBring card";
        QTest::newRow("missed private")
            << true << 0 << true << "Missed reminder: 10:00 Private appointment"
            << "Verpasste Erinnerung: 10:00 Privater Termin";
    }

    void alarmWindowText()
    {
        QFETCH(bool, isPrivate);
        QFETCH(int, showPrivate);
        QFETCH(bool, missed);
        QFETCH(QString, english);
        QFETCH(QString, german);
        AlarmEntry e = entry(at(kToday, 10, 0), "Dentist");
        e.note = "Bring card";
        e.isPrivate = isPrivate;
        e.missed = missed;
        const QLocale de("de_DE");
        QCOMPARE(::alarmWindowText(e, showPrivate, de), english);
        setUiLanguage(UiLanguage::German);
        QCOMPARE(::alarmWindowText(e, showPrivate, de), german);
        setUiLanguage(UiLanguage::English);
        // A hidden private appointment stays out of the tooltip.
        QCOMPARE(firstLineText({e}, de, showPrivate) == "No appointments today",
                 isPrivate && !showPrivate);
    }

    void stateFileKeepsAnswersAndWatermarks()
    {
        QTemporaryDir dir;
        const AlarmStateFile file(dir.filePath("chimewell"));
        const TimeValue dayStart = at(kToday, 0, 0);
        AlarmState state;
        AlarmEntry acknowledged = entry(at(kToday, 10, 0), "Dentist");
        acknowledged.acknowledged = 1;
        AlarmEntry snoozed = entry(at(kToday, 11, 0), "Call");
        snoozed.snoozed = 1;
        snoozed.snoozedAt = at(kToday, 10, 57);
        AlarmEntry yesterday = entry(dayStart - 3600, "Late");
        yesterday.acknowledged = 1;
        for (const AlarmEntry& e : {acknowledged, snoozed, yesterday})
            recordAnswer(state[3].answers, e);
        state[3].watchedUntil = at(kToday, 10, 58);
        state[7].watchedUntil = dayStart - 600;
        QVERIFY(file.save(state, dayStart));
#ifndef Q_OS_WIN // there the local application data folder is the user's own
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(file.fileName()).permissions() & others, QFile::Permissions());
#endif

        state[3].answers.remove(alarmKey(yesterday));
        const AlarmState back = file.load(dayStart);
        QCOMPARE(back.keys(), state.keys());
        QCOMPARE(back[3].watchedUntil, state[3].watchedUntil);
        QCOMPARE(back[3].answers, state[3].answers);
        QCOMPARE(back[7].watchedUntil, state[7].watchedUntil);
        AlarmList alarms{entry(at(kToday, 10, 0), "Dentist"), entry(at(kToday, 11, 0), "Call"),
                         entry(at(kToday, 11, 0), "Call", 5)};
        alarms[2].note = "other";
        applyAnswers(alarms, back[3].answers);
        QCOMPARE(alarms[0].acknowledged, 1);
        QCOMPARE(alarms[1].snoozedAt, snoozed.snoozedAt);
        QCOMPARE(alarms[2].snoozed + alarms[2].acknowledged, 0);

        // What is not an alarm state of ours is ignored, never fatal.
        for (const QByteArray& content :
             {QByteArray("{\"format\": \"chimewell-alarm-state\", \"users\": [{"),
              QByteArray("{\"format\": \"someone-else\", \"version\": 1, \"users\": "
                         "[{\"palmuserid\": 3}]}"),
              QByteArray("\x00\xff garbage")}) {
            QFile damaged(file.fileName());
            QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write(content);
            damaged.close();
            QVERIFY(file.load(dayStart).isEmpty());
        }
    }

    void longAlarmTextsAreNeverCut()
    {
        AlarmEntry e = entry(at(kToday, 9, 5), QString(12000, QChar(0x00E4)));
        e.note = QString(9000, 'n');
        QCOMPARE(formatAlarmText(e, QLocale("de_DE")).size(), 6 + 12000 + 2 + 9000);
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
