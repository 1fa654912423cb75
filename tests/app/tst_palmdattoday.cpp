// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/users.h"
#include "tests/palm/palmfixtures.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const LocalDate kToday{2024y, std::chrono::May, 15d};

} // namespace

// palmdat today runs the real core: its output is what the window and the tooltip would show.
class TestPalmdatToday : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_desktop;
    QTemporaryDir m_home;

    void addUser(const QString& folder, std::vector<palmfile::DatebookRecord> records)
    {
        QVERIFY(QDir(m_desktop.path()).mkpath(folder + "/datebook"));
        QVERIFY(QDir(m_desktop.path()).mkpath(folder + "/todo"));
        writeDatebook(m_desktop.filePath(folder + "/datebook/datebook.dat"), std::move(records));
        palmfile::TodoRecord milk;
        milk.description = "Buy milk";
        milk.due = noDate();
        milk.priority = 2;
        writeTodos(m_desktop.filePath(folder + "/todo/todo.dat"), {milk});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_desktop.isValid() && m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkpath("runtime"));
        QVERIFY(
            QFile::setPermissions(m_home.filePath("runtime"), QFileDevice::Permissions(0x7700)));
        QVERIFY(QDir(m_home.path()).mkpath("tmp"));
        pinTimeZone("Europe/Berlin");
        addUser("AnnE", {appointment("Breakfast", at(kToday, 8, 0)),
                         withAlarm(appointment("Dentist", at(kToday, 11, 0), "card"), 10),
                         allDay("Birthday", kToday)});
        addUser("BenS", {appointment("Lunch REM 15", at(kToday, 12, 30))});
        addUser("CidS", {appointment("Call", at(kToday, 10, 0))});
        writeBytes(m_desktop.filePath("CidS/todo/todo.dat"), std::vector<std::uint8_t>(200, 'x'));
        const auto users = palmfile::writeUsersDat(
            {{300, "Ann", "AnnE"}, {400, "Ben", "BenS"}, {500, "Cid", "CidS"}});
        writeBytes(m_desktop.filePath("users.dat"), users);
    }

    void today_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("first user, first-run values")
            << QStringList{} << 0
            << "11:00 Dentist  card\n---\n08:00 Breakfast\n11:00 Dentist\n Birthday\n---\n"
               "11:00\t10\tDentist\n";
        QTest::newRow("options apply in order")
            << QStringList{"--user-id", "400", "--set", "showtodosnodate=1", "--set", "maxprio=3"}
            << 0
            << "12:30 Lunch REM 15\n---\n12:30 Lunch REM 15\n"
               " To Do: (2)  Buy milk [Unfiled]\n---\n12:30\t15\tLunch REM 15\n";
        QTest::newRow("unreadable to-do list")
            << QStringList{"--user-id", "500"} << 1
            << "10:00 Call\n---\nError: Can't read to-do list: DESKTOP/CidS/todo/todo.dat: not "
               "a to-do file: this is a file with the unknown tag 0x78787878\n10:00 "
               "Call\n---\n10:00\t-1\tCall\n";
    }

    // Each run also leaves nothing behind in the home, runtime and temporary folders.
    void today()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "Europe/Berlin");
        environment.insert("LC_ALL", "de_DE.UTF-8");
        environment.insert("LANGUAGE", "en");
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_CONFIG_HOME", m_home.filePath("config"));
        environment.insert("XDG_RUNTIME_DIR", m_home.filePath("runtime"));
        environment.insert("TMPDIR", m_home.filePath("tmp"));
        process.setProcessEnvironment(environment);
        process.start(PALMDAT_PATH,
                      QStringList{"today", m_desktop.path(), "--now", "2024-05-15T09:30:00"} +
                          arguments);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(
            QString::fromUtf8(process.readAllStandardOutput()).replace(m_desktop.path(), "DESKTOP"),
            output);
        QCOMPARE(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"runtime", "tmp"}));
        QVERIFY(QDir(m_home.filePath("runtime")).isEmpty());
        QVERIFY(QDir(m_home.filePath("tmp")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPalmdatToday)
#include "tst_palmdattoday.moc"
