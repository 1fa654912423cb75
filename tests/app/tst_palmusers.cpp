// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/palmuserswatcher.h"
#include "app/stringtable.h"
#include "palm/palmdesktopusers.h"
#include "palm/settings.h"
#include "palmfile/users.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class RecordingNotice : public NoPalmDesktopNotice
{
public:
    int shown = 0;
    void showNoPalmDesktop() override { ++shown; }
};

} // namespace

class TestPalmUsers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_desktop;

private slots:
    void initTestCase()
    {
        QVERIFY(m_desktop.isValid());
        // Copied from Windows: the folders keep Palm Desktop's spelling.
        for (const QString relative :
             {"AnnE/DateBook/DateBook.dat", "AnnE/ToDo/ToDo.dat", "BenS/datebook/datebook.dat"}) {
            QVERIFY(QDir(m_desktop.path()).mkpath(QFileInfo(relative).path()));
            QFile file(m_desktop.filePath(relative));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const auto bytes = palmfile::writeUsersDat({{300, "Ann", "AnnE"}, {400, "Ben", "BenS"}});
        QFile users(m_desktop.filePath("users.dat"));
        QVERIFY(users.open(QIODevice::WriteOnly));
        users.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    }

    void firstUserAndPaths()
    {
        const PalmDesktopUsers users(m_desktop.path());
        QCOMPARE(users.count(), 2);
        RecordingNotice quiet;
        Settings settings(&users, &quiet);
        QCOMPARE(quiet.shown, 0);
        QCOMPARE(settings.palmuserid, 300);
        QCOMPARE(settings.datebookpath, m_desktop.filePath("AnnE/DateBook/DateBook.dat"));
        QCOMPARE(settings.todopath, m_desktop.filePath("AnnE/ToDo/ToDo.dat"));

        // A missing file gets the usual spelling.
        settings.selectPalmUser(400);
        QCOMPARE(settings.datebookpath, m_desktop.filePath("BenS/datebook/datebook.dat"));
        QCOMPARE(settings.todopath, m_desktop.filePath("BenS/todo/todo.dat"));

        // A stale stored id names no file, so the scans report the failure.
        settings.selectPalmUser(-1);
        QVERIFY(settings.datebookpath.isEmpty());
        QVERIFY(settings.todopath.isEmpty());
    }

    void noPalmDesktopIsReported()
    {
        const PalmDesktopUsers none(QString{});
        QCOMPARE(none.count(), 0);
        QVERIFY(!none.error().isEmpty());
        RecordingNotice notice;
        const Settings settings(&none, &notice);
        QCOMPARE(notice.shown, 1);
        QVERIFY(settings.datebookpath.isEmpty());
    }

    // A user added in Palm Desktop while Chimewell runs is read again: when users.dat lists
    // the user, or without users.dat when the user's folder gets its datebook.
    void addedUsersAreNoticed_data()
    {
        QTest::addColumn<bool>("usersDat");
        QTest::newRow("users.dat") << true;
        QTest::newRow("folder scan") << false;
    }

    void addedUsersAreNoticed()
    {
        QFETCH(bool, usersDat);
        QTemporaryDir desktop;
        const auto addDatebook = [&](const QString& folder) {
            QVERIFY(QDir(desktop.path()).mkpath(folder + "/datebook"));
            QFile file(desktop.filePath(folder + "/datebook/datebook.dat"));
            QVERIFY(file.open(QIODevice::WriteOnly));
        };
        const auto writeUsers = [&](const std::vector<palmfile::PalmUser>& list) {
            const auto bytes = palmfile::writeUsersDat(list);
            QFile file(desktop.filePath("users.dat"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        };
        addDatebook("AnnE");
        QVERIFY(QDir(desktop.path()).mkpath("BenS/datebook"));
        if (usersDat) {
            addDatebook("BenS");
            writeUsers({{300, "Ann", "AnnE"}});
        }
        PalmDesktopUsers users(desktop.path());
        PalmUsersWatcher watcher(users);
        int changes = 0;
        connect(&watcher, &PalmUsersWatcher::usersChanged, [&] { ++changes; });
        QCOMPARE(users.count(), 1);

        if (usersDat)
            writeUsers({{300, "Ann", "AnnE"}, {400, "Ben", "BenS"}});
        else
            addDatebook("BenS");
        QTRY_COMPARE(changes, 1);
        QCOMPARE(users.count(), 2);
        QCOMPARE(users.name(users.idAt(1)), usersDat ? "Ben" : "BenS");
    }
};

QTEST_GUILESS_MAIN(TestPalmUsers)
#include "tst_palmusers.moc"
