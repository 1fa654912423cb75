#include "app/settings.h"
#include "palm/appointmentscan.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono;

namespace {

const LocalDate kToday{2024y, May, 15d};

} // namespace

class TestAppointmentScan : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    std::unique_ptr<PrivateCopies> m_copies;
    std::unique_ptr<AppointmentScan> m_scan;
    Settings m_settings;
    QStringList m_lines;
    AlarmList m_alarms;

    QString datebook() const { return m_dir.filePath("datebook.dat"); }

    int scan(bool force = true)
    {
        return m_scan->ScanAppointments(m_settings, m_lines, force, m_alarms);
    }

    // Writes `records`, scans at `now` and returns the lines.
    QStringList linesOf(std::vector<palmfile::DatebookRecord> records, TimeValue now)
    {
        writeDatebook(datebook(), std::move(records));
        m_clock.set(now);
        if (scan() != 1)
            qWarning("scan failed");
        return m_lines;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        pinTimeZone("Europe/Berlin");
    }

    void init()
    {
        pinTimeZone("Europe/Berlin");
        m_copies = std::make_unique<PrivateCopies>(m_dir.filePath("copies"));
        m_scan = std::make_unique<AppointmentScan>(m_clock, QLocale("de_DE"), *m_copies);
        m_settings = Settings();
        m_settings.datebookpath = datebook();
        m_settings.showalltodaysappts = 1;
        m_lines.clear();
        m_alarms.clear();
    }

    void smallOrUnchangedFileIsNotRead()
    {
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0))});
        m_clock.set(at(kToday, 10, 0));
        QCOMPARE(scan(), 1);
        QCOMPARE(m_lines, QStringList{"11:00 Dentist"});

        QCOMPARE(scan(false), 0);
        QCOMPARE(scan(true), 1);

        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 12, 0))});
        QCOMPARE(scan(false), 1);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});

        QFile small(datebook());
        QVERIFY(small.open(QIODevice::WriteOnly | QIODevice::Truncate));
        small.write(QByteArray(99, 'x'));
        small.close();
        QCOMPARE(scan(true), 0);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});
        QCOMPARE(m_alarms.size(), std::size_t(1));
    }

    void failuresKeepTheAlarmState_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no path") << QString() << QByteArray();
        QTest::newRow("missing file") << "missing.dat" << QByteArray();
        QTest::newRow("unsupported format")
            << "datebook.dat" << QByteArray("\xCA\xFE\xBA\xBE") + QByteArray(200, 0);
    }

    void failuresKeepTheAlarmState()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, content);
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0))});
        m_clock.set(at(kToday, 10, 0));
        QCOMPARE(scan(), 1);
        m_alarms.front().snoozed = 1;

        m_settings.datebookpath = path.isEmpty() ? QString() : m_dir.filePath(path);
        if (!content.isEmpty()) {
            QFile file(m_settings.datebookpath);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        QCOMPARE(scan(), -1);
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms.front().snoozed, 1);
    }

    void whatIsListedAndWhatRings_data()
    {
        QTest::addColumn<int>("startHour");
        QTest::addColumn<int>("showAll");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("rings");
        QTest::newRow("past, all shown") << 9 << 1 << QStringList{"09:00 Call"} << false;
        QTest::newRow("past, only coming") << 9 << 0 << QStringList{} << false;
        QTest::newRow("at now") << 10 << 0 << QStringList{"10:00 Call"} << true;
        QTest::newRow("later") << 23 << 0 << QStringList{"23:00 Call"} << true;
    }

    void whatIsListedAndWhatRings()
    {
        QFETCH(int, startHour);
        QFETCH(int, showAll);
        QFETCH(QStringList, lines);
        QFETCH(bool, rings);
        m_settings.showalltodaysappts = showAll;
        QCOMPARE(linesOf({appointment("Call", at(kToday, startHour, 0))}, at(kToday, 10, 0)),
                 lines);
        QCOMPARE(m_alarms.size(), std::size_t(rings ? 1 : 0));
        if (rings)
            QCOMPARE(m_alarms.front().startTime, at(kToday, startHour, 0));
    }

    void recordsThatNeverShow()
    {
        palmfile::DatebookRecord deleted = appointment("Deleted", at(kToday, 11, 0));
        deleted.status |= palmfile::StatusDeleted;
        palmfile::DatebookRecord archived = appointment("Archived", at(kToday, 11, 0));
        archived.status |= palmfile::StatusArchived;
        const QStringList lines =
            linesOf({appointment("", at(kToday, 11, 0)), allDay("", kToday), deleted, archived,
                     appointment("Yesterday", at(kToday, 11, 0) - 86400),
                     appointment("Tomorrow", at(kToday, 0, 0) + 86400),
                     daily(appointment("", at(kToday, 12, 0) - 7 * 86400))},
                    at(kToday, 10, 0));
        QCOMPARE(lines, QStringList{});
        QVERIFY(m_alarms.empty());
    }

    void untimedAndPrivate()
    {
        palmfile::DatebookRecord secret = appointment("Secret", at(kToday, 11, 0));
        secret.isPrivate = true;
        palmfile::DatebookRecord fromTheEast = allDay("Holiday", kToday);
        fromTheEast.start -= 3600; // local midnight of a zone one hour east
        const std::vector records = {allDay("Birthday", kToday), fromTheEast, secret};

        QCOMPARE(linesOf(records, at(kToday, 10, 0)), (QStringList{" Birthday", " Holiday"}));
        QVERIFY(m_alarms.empty());

        m_settings.showprivate = 1;
        m_settings.showuntimedappts = 0;
        QCOMPARE(linesOf(records, at(kToday, 10, 0)), QStringList{"11:00 Secret"});
    }

    void repeatingAppointments()
    {
        palmfile::DatebookRecord cancelled = daily(appointment("Cancelled", at(kToday, 12, 0)));
        cancelled.start -= 14 * 86400;
        cancelled.exceptions = {palmfile::localMidnight(kToday)};
        const QStringList lines = linesOf(
            {daily(appointment("Standup", at(kToday, 9, 30) - 30 * 86400)),
             daily(appointment("Lunch\r\nwith Ann", at(kToday, 12, 15) - 3 * 86400, "Room 4")),
             cancelled, daily(allDay("Gym week", kToday)),
             daily(appointment("Starts tomorrow", at(kToday, 12, 0) + 86400))},
            at(kToday, 10, 0));
        QCOMPARE(lines, (QStringList{"09:30 Standup", "12:15 Lunch  with Ann", " Gym week"}));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms.front().startTime, at(kToday, 12, 15));
        QCOMPARE(m_alarms.front().description, QString("Lunch  with Ann"));
        QCOMPARE(m_alarms.front().note, QString("Room 4"));
    }

    void reminderCodes_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("minutes");
        QTest::newRow("two digits") << "Call office REM 15" << 15;
        QTest::newRow("one digit") << "Call office REM 7" << 7;
        QTest::newRow("leading zero") << "Call office REM 07" << 7;
        QTest::newRow("trailing blank") << "Call office REM 7 " << 7;
        QTest::newRow("code alone is too short") << "REM 5" << -1;
        QTest::newRow("shortest with code") << "xREM 5" << 5;
        QTest::newRow("lower case") << "Call office rem 5" << -1;
        QTest::newRow("three digits") << "Call office REM 123" << -1;
        QTest::newRow("not a digit") << "Call office REM x" << -1;
        QTest::newRow("two blanks") << "Call office REM  5" << -1;
    }

    void reminderCodes()
    {
        QFETCH(QString, description);
        QFETCH(int, minutes);
        QCOMPARE(ParseReminderSuffix(description), minutes);
    }

    void reminderCodeBeatsThePalmAlarm()
    {
        linesOf({withAlarm(appointment("Call REM 15", at(kToday, 11, 0)), 30),
                 withAlarm(appointment("Call", at(kToday, 11, 0)), 30),
                 appointment("Plain", at(kToday, 11, 0))},
                at(kToday, 10, 0));
        QCOMPARE(m_alarms.size(), std::size_t(3));
        QCOMPARE(m_alarms[0].alarmAdvance, 15);
        QCOMPARE(m_alarms[1].alarmAdvance, 30);
        QCOMPARE(m_alarms[2].alarmAdvance, -1);
    }

    void duplicatesGiveOneAlarm()
    {
        const auto twin = appointment("Dentist", at(kToday, 11, 0), "bring card");
        QCOMPARE(linesOf({twin, twin, appointment("Dentist", at(kToday, 11, 0), "other note")},
                         at(kToday, 10, 0)),
                 (QStringList{"11:00 Dentist", "11:00 Dentist", "11:00 Dentist"}));
        QCOMPARE(m_alarms.size(), std::size_t(2));
    }

    void alarmStateSurvivesRescans()
    {
        const std::vector records = {appointment("Dentist", at(kToday, 11, 0)),
                                     appointment("Dentist", at(kToday, 15, 0))};
        linesOf(records, at(kToday, 10, 0));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        m_alarms[0].snoozed = 1;
        m_alarms[0].snoozedAt = at(kToday, 10, 56);
        m_alarms[1].acknowledged = 1;

        linesOf(records, at(kToday, 10, 58));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        QCOMPARE(m_alarms[0].snoozed, 1);
        QCOMPARE(m_alarms[0].snoozedAt, at(kToday, 10, 56));
        QCOMPARE(m_alarms[1].acknowledged, 1);

        // Once the appointment has started, a rescan drops its entry, snoozed or not.
        linesOf(records, at(kToday, 11, 0, 1));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms[0].startTime, at(kToday, 15, 0));
        QCOMPARE(m_alarms[0].acknowledged, 1);

        // A changed appointment is another entry.
        linesOf({appointment("Dentist!", at(kToday, 15, 0))}, at(kToday, 11, 0));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms[0].acknowledged, 0);
    }

    void daylightSavingDays_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::newRow("Berlin spring") << QByteArray("Europe/Berlin") << 2024 << 3 << 31;
        QTest::newRow("Berlin autumn") << QByteArray("Europe/Berlin") << 2024 << 10 << 27;
        QTest::newRow("New York spring") << QByteArray("America/New_York") << 2024 << 3 << 10;
        QTest::newRow("New York autumn") << QByteArray("America/New_York") << 2024 << 11 << 3;
    }

    void daylightSavingDays()
    {
        QFETCH(QByteArray, zone);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        pinTimeZone(zone.constData());
        const LocalDate date{std::chrono::year(year), std::chrono::month(unsigned(month)),
                             std::chrono::day(unsigned(day))};
        const LocalDate weekBefore = std::chrono::sys_days(date) - std::chrono::days(7);
        const QStringList lines = linesOf({daily(appointment("Walk", at(weekBefore, 8, 0))),
                                           daily(appointment("Night", at(weekBefore, 23, 30))),
                                           daily(allDay("Fast", weekBefore))},
                                          at(date, 0, 30));
        QCOMPARE(lines, (QStringList{"08:00 Walk", "23:30 Night", " Fast"}));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        QCOMPARE(m_alarms[0].startTime, at(date, 8, 0));
        QCOMPARE(m_alarms[1].startTime, at(date, 23, 30));
    }

    void copiesStayPrivate()
    {
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0))});
        m_clock.set(at(kToday, 10, 0));
        QCOMPARE(scan(), 1);
        const QString copy = m_dir.filePath("copies/datebooktmp.dat");
        QVERIFY(QFile::exists(copy));
        QCOMPARE(QFileInfo(m_dir.filePath("copies")).permissions() & 0x0077, 0);

        // A folder others may write to is refused: a failure, not a copy to retry.
        QFile::setPermissions(m_dir.filePath("copies"), QFileDevice::Permissions(0x7777));
        QCOMPARE(scan(), -1);
        QFile::setPermissions(m_dir.filePath("copies"), QFileDevice::Permissions(0x7700));

        m_copies->deleteCopies();
        QVERIFY(!QFile::exists(copy));
    }

    void aFileChangedDuringTheCopyIsReadNextTime()
    {
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0))});
        m_clock.set(at(kToday, 10, 0));
        QCOMPARE(scan(), 1);
        const FileStamp before = *fileStampOf(datebook());
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 12, 0))});
        QString error;
        QVERIFY(!m_copies->copy(datebook(), before, PrivateCopies::kDatebookCopy, error));
        QVERIFY(error.contains("changed"));
        QCOMPARE(scan(false), 1);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});
    }
};

QTEST_GUILESS_MAIN(TestAppointmentScan)
#include "tst_appointmentscan.moc"
