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
private slots:
    void initTestCase()
    {
        QVERIFY(m_desktop.isValid() && m_home.isValid());
        QVERIFY(QDir(m_home.path()).mkpath("runtime"));
        QVERIFY(
            QFile::setPermissions(m_home.filePath("runtime"), QFileDevice::Permissions(0x7700)));
        QVERIFY(QDir(m_home.path()).mkpath("tmp"));
        pinTimeZone("Europe/Berlin");
        QVERIFY(QDir(m_desktop.path()).mkpath("CidS/datebook"));
        QVERIFY(QDir(m_desktop.path()).mkpath("CidS/todo"));
        palmfile::DatebookRecord secret = appointment("Dentist", at(kToday, 11, 0));
        secret.isPrivate = true;
        writeDatebook(m_desktop.filePath("CidS/datebook/datebook.dat"),
                      {appointment("Call", at(kToday, 10, 0)), secret});
        writeBytes(m_desktop.filePath("CidS/todo/todo.dat"), std::vector<std::uint8_t>(200, 'x'));
        writeBytes(m_desktop.filePath("users.dat"),
                   palmfile::writeUsersDat({{500, "Cid", "CidS"}}));
    }

    // A to-do list that cannot be read gets its error line, and the appointments stay. A private
    // appointment stays out of the lines but rings without its text. The run leaves nothing behind
    // in the home, runtime and temporary folders.
    void today()
    {
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
        process.start(PALMDAT_PATH, {"today", m_desktop.path(), "--now", "2024-05-15T09:30:00"});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1);
        QCOMPARE(
            QString::fromUtf8(process.readAllStandardOutput()).replace(m_desktop.path(), "DESKTOP"),
            "10:00 Call\n---\nError: Can't read to-do list: DESKTOP/CidS/todo/todo.dat: not a "
            "to-do file: this is a file with the unknown tag 0x78787878\n10:00 Call\n---\n"
            "10:00\t-1\tCall\n11:00\t-1\tPrivate appointment\n");
        QCOMPARE(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 (QStringList{"runtime", "tmp"}));
        QVERIFY(QDir(m_home.filePath("runtime")).isEmpty());
        QVERIFY(QDir(m_home.filePath("tmp")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPalmdatToday)
#include "tst_palmdattoday.moc"
