// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/appointmentscan.h"
#include "palm/settings.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

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

    // A small file that does not read whole is taken for one still being written: the last
    // list and alarms stay, for half a minute.
    void halfWrittenFile()
    {
        linesOf({appointment("Dentist", at(kToday, 12, 0))});
        writeBytes(datebook(), std::vector<std::uint8_t>(99, 'x'));
        QCOMPARE(scan(true), 0);
        m_clock.set(at(kToday, 10, 0) + 29);
        QCOMPARE(scan(false), 0);
        QCOMPARE(m_lines, QStringList{"12:00 Dentist"});
        QCOMPARE(m_alarms.size(), std::size_t(1));
        m_clock.set(at(kToday, 10, 0) + 30);
        QCOMPARE(scan(false), -1);
        QVERIFY(m_scan->failure().contains(datebook()));
    }

    // Hidden unless private items are shown, but it rings all the same.
    void privateAppointment()
    {
        palmfile::DatebookRecord secret = appointment("Secret", at(kToday, 11, 0));
        secret.isPrivate = true;
        QVERIFY(linesOf({secret}).isEmpty());
        QVERIFY(m_alarms.size() == 1 && m_alarms.front().isPrivate);
        m_settings.showprivate = 1;
        QCOMPARE(linesOf({secret}), QStringList{"11:00 Secret"});
    }

    // A trailing "REM nn" beats the Palm alarm.
    void alarmEntries()
    {
        const std::pair<const char*, int> codes[] = {
            {"Call REM 15", 15}, {"Call REM 7 ", 7}, {"xREM 5", 5}, {"Call rem 15", -1}};
        for (const auto& [description, minutes] : codes)
            QCOMPARE(parseReminderSuffix(description), minutes);
        linesOf({withAlarm(appointment("Call REM 15", at(kToday, 11, 0)), 30),
                 withAlarm(appointment("Call", at(kToday, 12, 0)), 30),
                 appointment("Dentist", at(kToday, 13, 0))});
        QCOMPARE(m_alarms.size(), std::size_t(3));
        QCOMPARE(m_alarms[0].alarmAdvance, 15);
        QCOMPARE(m_alarms[1].alarmAdvance, 30);
        QCOMPARE(m_alarms[2].alarmAdvance, -1);
    }

    // A rescan keeps the answers; once the appointment has started, it drops the entry.
    void alarmStateSurvivesRescans()
    {
        const std::vector records = {appointment("Dentist", at(kToday, 11, 0)),
                                     appointment("Dentist", at(kToday, 15, 0))};
        linesOf(records);
        m_alarms[0].snoozed = 1;
        m_alarms[0].snoozedAt = at(kToday, 10, 56);
        linesOf(records, at(kToday, 10, 58));
        QCOMPARE(m_alarms.size(), std::size_t(2));
        QCOMPARE(m_alarms[0].snoozedAt, at(kToday, 10, 56));
        linesOf(records, at(kToday, 11, 0, 1));
        QCOMPARE(m_alarms.size(), std::size_t(1));
    }

#ifdef Q_OS_LINUX
    // A copy bound to fail again, like one of a file this user may not read, is a failure at
    // once, which says why; the lines and alarms stay.
    void unreadableFile()
    {
        const QStringList held = linesOf({appointment("Dentist", at(kToday, 12, 0))});
        QVERIFY(QFile::setPermissions(datebook(), {}));
        {
            const WithoutFileAccessOverride asAnyUser;
            QCOMPARE(scan(), -1);
        }
        QVERIFY(QFile::setPermissions(datebook(), QFile::ReadOwner | QFile::WriteOwner));
        QVERIFY2(m_scan->failure().contains(QString::fromLocal8Bit(std::strerror(EACCES))),
                 qPrintable(m_scan->failure()));
        QCOMPARE(m_lines, held);
        QCOMPARE(m_alarms.size(), std::size_t(1));
    }
#endif
};

QTEST_GUILESS_MAIN(TestAppointmentScan)
#include "tst_appointmentscan.moc"
