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
    e.endTime = start + 1800;
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

    void dueAlarmSelection()
    {
        // Warntime 5 minutes, snooze 1 minute.
        const struct
        {
            int advance, snoozedMinutesAgo /* -1: not snoozed */, minutesBeforeStart;
            bool due;
        } rows[] = {{0, -1, 0, true},   // own lead 0, due this very second
                    {0, -1, 1, false},  // own lead 0 beats warntime
                    {-1, 0, -1, false}, // snoozed, interval not over
                    {-1, 1, 30, true}}; // the snooze counts from its own time
        for (const auto& row : rows) {
            const TimeValue start = at(kToday, 10, 0);
            const TimeValue now = start - row.minutesBeforeStart * 60;
            AlarmList alarms{entry(start, "Call", row.advance), entry(start + 7200, "Later")};
            alarms[0].snoozed = row.snoozedMinutesAgo >= 0;
            alarms[0].snoozedAt = now - row.snoozedMinutesAgo * 60;
            QCOMPARE(findDueAlarm(alarms, 5, 1, now) == alarms.data(), row.due);
            const std::optional<std::int64_t> next = nextDueTime(alarms, 5, 1);
            QCOMPARE(*next <= now, row.due);
        }
    }

    // Watched until 08:00, started again at 10:00 (warntime 5): an appointment that started
    // meanwhile rings as missed when its alarm came due after the watermark and it has not
    // ended over an hour ago.
    void missedAlarmSelection()
    {
        const struct
        {
            int startHour, startMinute, lengthMinutes, ringmissed;
            bool missed;
        } rows[] = {{9, 30, 30, 1, true},
                    {8, 5, 120, 1, false}, // due at the watermark
                    {8, 29, 30, 1, false}, // ended over an hour ago
                    {9, 30, 30, 0, false}};
        Settings settings;
        for (const auto& row : rows) {
            settings.ringmissed = row.ringmissed;
            AlarmEntry e = entry(at(kToday, row.startHour, row.startMinute), "Call");
            e.endTime = e.startTime + row.lengthMinutes * 60;
            AlarmList alarms;
            const AlarmList found =
                selectMissedAlarms(alarms, {e}, {}, settings, at(kToday, 8, 0), at(kToday, 10, 0));
            QCOMPARE(found.size(), std::size_t(row.missed));
            QVERIFY(found.empty() || found.front().missed);
        }
    }

    void alarmAndTooltipTexts()
    {
        const QLocale de("de_DE");
        AlarmList alarms{entry(at(kToday, 9, 5), "Team"), entry(at(kToday, 10, 0), "Dentist")};
        AlarmEntry& e = alarms[1];
        e.note = "Bring card";
        e.isPrivate = true;
        alarms[0].acknowledged = 1;
        QCOMPARE(firstLineText(alarms, de, true), QString("10:00 Dentist\r\nBring card"));
        QCOMPARE(::alarmWindowText(e, true, de), QString("10:00 Dentist\r\nBring card"));
        QCOMPARE(::alarmWindowText(e, false, de), QString("10:00 Private appointment"));
        e.missed = true;
        e.acknowledged = 1;
        setUiLanguage(UiLanguage::German);
        QCOMPARE(::alarmWindowText(e, false, de),
                 QString("Verpasste Erinnerung: 10:00 Privater Termin"));
        QCOMPARE(firstLineText(alarms, de, true), QString("Keine weiteren Termine"));
        setUiLanguage(UiLanguage::English);

        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        const std::pair<QString, QString> tooltips[] = {
            {QString(59, 'x') + clef + "tail", QString(59, 'x')},
            {QString(58, 'x') + clef + "tail", QString(58, 'x') + clef}};
        for (const auto& [firstLine, tooltip] : tooltips)
            QCOMPARE(tooltipText(firstLine), tooltip);
    }

    // Answers and watermarks come back from the file, answers of earlier days do not; a file
    // that is not an alarm state of ours is ignored.
    void stateFile()
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
        // Saved yesterday, read today.
        QVERIFY(file.save(state, dayStart - 86400));
        state[3].answers.remove(alarmKey(yesterday));
        const AlarmState back = file.load(dayStart);
        QCOMPARE(back.keys(), state.keys());
        QCOMPARE(back[3].watchedUntil, state[3].watchedUntil);
        QCOMPARE(back[3].answers, state[3].answers);

        QFile other(file.fileName());
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write(R"({"format": "someone-else", "version": 1, "users": [{"palmuserid": 3}]})");
        other.close();
        QVERIFY(file.load(dayStart).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAlarms)
#include "tst_alarms.moc"
