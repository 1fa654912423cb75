// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/palmuserswatcher.h"
#include "app/stringtable.h"
#include "palm/palmdesktopusers.h"
#include "palm/settings.h"
#include "palmfile/users.h"
#include "tests/palm/palmfixtures.h"

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

// An empty file at `relative` in `folder`, with the folders it needs.
void addFile(const QTemporaryDir& folder, const QString& relative)
{
    QVERIFY(QDir(folder.path()).mkpath(QFileInfo(relative).path()));
    writeBytes(folder.filePath(relative), {});
}

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
             {"AnnE/DateBook/DateBook.dat", "AnnE/ToDo/ToDo.dat", "BenS/datebook/datebook.dat"})
            addFile(m_desktop, relative);
        writeBytes(m_desktop.filePath("users.dat"),
                   palmfile::writeUsersDat({{300, "Ann", "AnnE"}, {400, "Ben", "BenS"}}));
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
    // the user, or without users.dat when the user's folder gets its datebook (in any case).
    void addedUsersAreNoticed()
    {
        for (const bool usersDat : {true, false}) {
            QTemporaryDir desktop;
            const auto writeUsers = [&](const std::vector<palmfile::PalmUser>& list) {
                writeBytes(desktop.filePath("users.dat"), palmfile::writeUsersDat(list));
            };
            addFile(desktop, "AnnE/datebook/datebook.dat");
            QVERIFY(QDir(desktop.path()).mkpath("BenS/DateBook"));
            if (usersDat) {
                addFile(desktop, "BenS/DateBook/datebook.dat");
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
                addFile(desktop, "BenS/DateBook/datebook.dat");
            QTRY_COMPARE(changes, 1);
            QCOMPARE(users.count(), 2);
            QCOMPARE(users.name(users.idAt(1)), usersDat ? "Ben" : "BenS");
        }
    }
};

QTEST_GUILESS_MAIN(TestPalmUsers)
#include "tst_palmusers.moc"
