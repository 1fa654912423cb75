// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/appointmentscan.h"
#include "palm/settings.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace std::chrono;

namespace {

const LocalDate kToday{2024y, May, 15d};

#ifdef Q_OS_LINUX
// Root reads and writes whatever the file's permissions say; this thread, while the object
// lives, does not.
class WithoutFileAccessOverride
{
public:
    WithoutFileAccessOverride()
    {
        syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~(CAP_TO_MASK(CAP_DAC_OVERRIDE) | CAP_TO_MASK(CAP_DAC_READ_SEARCH));
        syscall(SYS_capset, &m_header, lowered);
    }
    ~WithoutFileAccessOverride() { syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
};
#else
struct WithoutFileAccessOverride
{};
#endif

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
        return m_scan->scanAppointments(m_settings, m_lines, force, m_alarms);
    }

    // Writes `records`, scans at `now` (10:00 by default) and returns the lines.
    QStringList linesOf(std::vector<palmfile::DatebookRecord> records,
                        TimeValue now = at(kToday, 10, 0))
    {
        writeDatebook(datebook(), std::move(records));
        m_clock.set(now);
        if (scan() != 1)
            qWarning("scan failed");
        return m_lines;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        pinTimeZone("Europe/Berlin");
        m_copies = std::make_unique<PrivateCopies>(m_dir.filePath("copies"));
        m_scan = std::make_unique<AppointmentScan>(m_clock, QLocale("de_DE"), *m_copies);
        m_settings = Settings();
        m_settings.datebookpath = datebook();
        m_settings.showalltodaysappts = 1;
        m_lines.clear();
        m_alarms.clear();
    }

    void onlyChangedFilesAreRead()
    {
        QCOMPARE(linesOf({appointment("Dentist", at(kToday, 11, 0))}),
                 QStringList{"11:00 Dentist"});
        QCOMPARE(scan(false), 0);
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 12, 0))});
        QCOMPARE(scan(false), 1);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});

        // A small file that does not read whole is taken for one still being written: the last
        // list and alarms stay, for half a minute.
        writeBytes(datebook(), std::vector<std::uint8_t>(99, 'x'));
        QCOMPARE(scan(true), 0);
        m_clock.set(at(kToday, 10, 0) + 29);
        QCOMPARE(scan(false), 0);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});
        QCOMPARE(m_alarms.size(), std::size_t(1));
        m_clock.set(at(kToday, 10, 0) + 30);
        QCOMPARE(scan(false), -1);
        QVERIFY(m_scan->failure().contains(datebook()));

        // A datebook emptied in place is small too, and reads whole: nothing left to list.
        writeDatebook(datebook(), {});
        QVERIFY(QFileInfo(datebook()).size() < 100);
        QCOMPARE(scan(false), 1);
        QVERIFY(m_lines.isEmpty());
        QVERIFY(m_alarms.empty());
    }

    void pastAppointmentsAreListedButNeverRing()
    {
        const std::vector records = {appointment("Past", at(kToday, 9, 0)),
                                     daily(appointment("Standup", at(kToday, 9, 15) - 86400)),
                                     appointment("Now", at(kToday, 10, 0)),
                                     appointment("Late", at(kToday, 23, 0))};
        QCOMPARE(linesOf(records),
                 (QStringList{"09:00 Past", "09:15 Standup", "10:00 Now", "23:00 Late"}));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        QCOMPARE(m_alarms[0].startTime, at(kToday, 10, 0));
        m_settings.showalltodaysappts = 0;
        QCOMPARE(linesOf(records), (QStringList{"10:00 Now", "23:00 Late"}));
    }

    void whichRecordsShow()
    {
        palmfile::DatebookRecord deleted = appointment("Deleted", at(kToday, 11, 0));
        deleted.status |= palmfile::StatusDeleted;
        palmfile::DatebookRecord archived = appointment("Archived", at(kToday, 11, 0));
        archived.status |= palmfile::StatusArchived;
        palmfile::DatebookRecord secret = appointment("Secret", at(kToday, 11, 0));
        secret.isPrivate = true;
        palmfile::DatebookRecord fromTheEast = allDay("Holiday", kToday);
        fromTheEast.start -= 3600; // local midnight of a zone one hour east
        const std::vector records = {appointment("", at(kToday, 11, 0)),
                                     allDay("", kToday),
                                     deleted,
                                     archived,
                                     appointment("Yesterday", at(kToday, 11, 0) - 86400),
                                     appointment("Tomorrow", at(kToday, 0, 0) + 86400),
                                     allDay("Birthday", kToday),
                                     fromTheEast,
                                     secret};
        // A private appointment not shown still rings.
        QCOMPARE(linesOf(records), (QStringList{" Birthday", " Holiday"}));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QVERIFY(m_alarms.front().isPrivate);

        m_settings.showprivate = 1;
        m_settings.showuntimedappts = 0;
        QCOMPARE(linesOf(records), QStringList{"11:00 Secret"});
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
             daily(appointment("Starts tomorrow", at(kToday, 12, 0) + 86400))});
        QCOMPARE(lines, (QStringList{"09:30 Standup", "12:15 Lunch  with Ann", " Gym week"}));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms.front().startTime, at(kToday, 12, 15));
        QCOMPARE(m_alarms.front().note, QString("Room 4"));
    }

    void reminderCodes()
    {
        const std::pair<const char*, int> rows[] = {{"Call office REM 15", 15},
                                                    {"Call office REM 07 ", 7},
                                                    {"REM 5", -1},
                                                    {"xREM 5", 5},
                                                    {"Call office REM 123", -1},
                                                    {"Call office REM  5", -1},
                                                    {"Call office rem 15", -1}};
        for (const auto& [description, minutes] : rows)
            QCOMPARE(parseReminderSuffix(description), minutes);
    }

    // The code beats the Palm alarm; identical appointments ring once.
    void alarmEntries()
    {
        const auto twin = appointment("Dentist", at(kToday, 11, 0), "bring card");
        linesOf({withAlarm(appointment("Call REM 15", at(kToday, 11, 0)), 30),
                 withAlarm(appointment("Call", at(kToday, 11, 0)), 30), twin, twin,
                 appointment("Dentist", at(kToday, 11, 0), "other note")});
        QCOMPARE(m_lines.size(), 5);
        QCOMPARE(m_alarms.size(), std::size_t(4));
        QCOMPARE(m_alarms[0].alarmAdvance, 15);
        QCOMPARE(m_alarms[1].alarmAdvance, 30);
        QCOMPARE(m_alarms[2].alarmAdvance, -1);
    }

    void alarmStateSurvivesRescans()
    {
        const std::vector records = {appointment("Dentist", at(kToday, 11, 0)),
                                     appointment("Dentist", at(kToday, 15, 0))};
        linesOf(records);
        m_alarms[0].snoozed = 1;
        m_alarms[0].snoozedAt = at(kToday, 10, 56);
        m_alarms[1].acknowledged = 1;

        linesOf(records, at(kToday, 10, 58));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        QCOMPARE(m_alarms[0].snoozedAt, at(kToday, 10, 56));
        QCOMPARE(m_alarms[1].acknowledged, 1);

        // Once the appointment has started, a rescan drops its entry, snoozed or not.
        linesOf(records, at(kToday, 11, 0, 1));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms[0].acknowledged, 1);

        // A changed appointment is another entry.
        linesOf({appointment("Dentist!", at(kToday, 15, 0))}, at(kToday, 11, 0));
        QCOMPARE(m_alarms.size(), std::size_t(1));
        QCOMPARE(m_alarms[0].acknowledged, 0);
    }

    void privateCopies()
    {
        linesOf({appointment("Dentist", at(kToday, 11, 0))});
        const QString copies = m_dir.filePath("copies");
#ifndef Q_OS_WIN // there the user's own temporary folder is private by its access list
        QCOMPARE(QFileInfo(copies).permissions() & 0x0077, 0);
#endif

        // A copy of a file that changed meanwhile is refused as one being written; the next
        // scan reads the change.
        const FileStamp before = *fileStampOf(datebook());
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 12, 0))});
        CopyFailure failure;
        QVERIFY(!m_copies->copy(datebook(), before, PrivateCopies::kDatebookCopy, failure));
        QCOMPARE(failure.kind, CopyFailure::Kind::Changed);
        QCOMPARE(scan(false), 1);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});
#ifndef Q_OS_WIN
        // A folder the group may use is refused: a failure, not a copy to retry.
        QFile::setPermissions(copies, QFileDevice::Permissions(0x7770));
        QCOMPARE(scan(), -1);
        QFile::setPermissions(copies, QFileDevice::Permissions(0x7700));
#endif

        m_copies->deleteCopies();
        QVERIFY(!QFile::exists(m_dir.filePath("copies/datebooktmp.dat")));
    }

    // A copy that fails keeps the lines and alarms held and answers their number, for a few
    // passes; one bound to fail again (no permission to read, no room for the copy) is a
    // failure at once, which says why.
    void copyFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("quietPasses");
        QTest::addColumn<int>("error"); // whose text the failure holds; 0: not checked
        QTest::newRow("a folder in the copy's place") << "folder" << 2 << 0;
#ifdef Q_OS_LINUX
        QTest::newRow("no room for the copy") << "full" << 0 << ENOSPC;
        QTest::newRow("no permission to read") << "unreadable" << 0 << EACCES;
#endif
    }

    void copyFailures()
    {
        QFETCH(QString, fault);
        QFETCH(int, quietPasses);
        QFETCH(int, error);
        const QStringList held = linesOf(
            {appointment("Dentist", at(kToday, 12, 0)), appointment("Gym", at(kToday, 18, 0))});
        const QString copy = m_dir.filePath("copies/datebooktmp.dat");
        QVERIFY(QFile::remove(copy));
        if (fault == "folder")
            QVERIFY(QDir().mkdir(copy));
        else if (fault == "full")
            QVERIFY(QFile::link("/dev/full", copy));
        else
            QVERIFY(QFile::setPermissions(datebook(), {}));
        {
            const WithoutFileAccessOverride asAnyUser;
            for (int pass = 0; pass < quietPasses; ++pass)
                QCOMPARE(scan(), 2);
            QCOMPARE(scan(), -1);
        }
        QVERIFY2(!error || m_scan->failure().contains(QString::fromLocal8Bit(std::strerror(error))),
                 qPrintable(m_scan->failure()));
        QCOMPARE(m_lines, held);
        QCOMPARE(m_alarms.size(), std::size_t(2));

        QVERIFY(
            QFile::setPermissions(datebook(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QDir().rmdir(copy);
        QFile::remove(copy);
        QCOMPARE(scan(), 1);
    }
};

QTEST_GUILESS_MAIN(TestAppointmentScan)
#include "tst_appointmentscan.moc"
