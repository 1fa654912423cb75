// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/palmuserswatcher.h"
#include "palm/palmdesktopusers.h"
#include "palmfile/users.h"
#include "tests/palm/palmfixtures.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestPalmUsers : public QObject
{
    Q_OBJECT

private slots:
    // A user added in Palm Desktop while Chimewell runs is read again: when users.dat lists
    // the user, or without users.dat when the user's folder gets its datebook (in any case).
    void addedUsersAreNoticed()
    {
        for (const bool usersDat : {true, false}) {
            QTemporaryDir desktop;
            const auto writeUsers = [&](const std::vector<palmfile::PalmUser>& list) {
                writeBytes(desktop.filePath("users.dat"), palmfile::writeUsersDat(list));
            };
            const auto addDatebook = [&](const QString& folder) {
                QVERIFY(QDir(desktop.path()).mkpath(folder));
                writeBytes(desktop.filePath(folder + "/datebook.dat"), {});
            };
            addDatebook("AnnE/datebook");
            QVERIFY(QDir(desktop.path()).mkpath("BenS/DateBook"));
            if (usersDat) {
                addDatebook("BenS/DateBook");
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
                addDatebook("BenS/DateBook");
            QTRY_COMPARE(changes, 1);
            QCOMPARE(users.count(), 2);
            QCOMPARE(users.name(users.idAt(1)), usersDat ? "Ben" : "BenS");
        }
    }
};

QTEST_GUILESS_MAIN(TestPalmUsers)
#include "tst_palmusers.moc"
