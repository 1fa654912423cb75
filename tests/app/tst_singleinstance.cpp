// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"
#include "palm/privatefolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void otherUsersAndProgramsDoNotCollide()
    {
        QTemporaryDir folderA;
        QTemporaryDir folderB;
        SingleInstanceGuard a(folderA.path(), QStringLiteral("chimewell"));
        SingleInstanceGuard b(folderB.path(), QStringLiteral("chimewell"));
        SingleInstanceGuard other(folderA.path(), QStringLiteral("othername"));
        for (SingleInstanceGuard* guard : {&a, &b, &other})
            QCOMPARE(guard->checkSingleInstance(), SingleInstanceGuard::Check::Run);
    }

    // A second copy learns that another runs, and the first one is asked to show its window.
    void secondCopyCallsTheFirst()
    {
#ifdef Q_OS_WIN
        QSKIP("the second copy's call would wait on this thread's own pipe server");
#else
        QTemporaryDir folder;
        SingleInstanceGuard first(folder.path(), QStringLiteral("chimewell"));
        QCOMPARE(first.checkSingleInstance(), SingleInstanceGuard::Check::Run);
        int requests = 0;
        connect(&first, &SingleInstanceGuard::activationRequested, [&requests] { ++requests; });
        SingleInstanceGuard second(folder.path(), QStringLiteral("chimewell"));
        QCOMPARE(second.checkSingleInstance(), SingleInstanceGuard::Check::AnotherRuns);
        QTRY_COMPARE(requests, 1);
#endif
    }

    // Unguarded, a second copy would run beside this one.
    void noLockNoRun()
    {
        SingleInstanceGuard guard(QStringLiteral("/nonexistent/chimewell-test"),
                                  QStringLiteral("chimewell"));
        QCOMPARE(guard.checkSingleInstance(), SingleInstanceGuard::Check::CannotGuard);
    }

    // The runtime folder is taken only when it is the user's own; otherwise a folder under the
    // user's home, where no one else can make it first.
    void privateFolderPlace()
    {
#ifndef Q_OS_UNIX
        QSKIP("the temporary folder is the user's own");
#else
        for (auto [runtime, taken] : {std::pair{"", false},
                                      {"relative", false},
                                      {"private", true},
                                      {"open", false},
                                      {"group", false},
                                      {"foreign", false},
                                      {"link", false}}) {
            QTemporaryDir base;
            const QString folder = base.filePath("runtime");
            const QString place = QString::fromLatin1(runtime);
            if (place == "link")
                QVERIFY(QFile::link(base.path(), folder));
            else if (!place.isEmpty() && place != "relative")
                QVERIFY(QDir().mkdir(folder) &&
                        QFile::setPermissions(
                            folder, QFileDevice::Permissions(place == "open"    ? 0x7777
                                                             : place == "group" ? 0x7770
                                                                                : 0x7700)));
            if (place == "foreign" && ::chown(QFile::encodeName(folder).constData(), 65534, 65534))
                continue; // only root can give a folder away

            const PrivateFolderPlaces places{place == "relative" ? place : folder,
                                             base.filePath("cache"), QString()};
            const QString expected =
                taken ? base.filePath("runtime/chimewell") : base.filePath("cache/chimewell/run");
            QCOMPARE(privateFolderPath(places), expected);
            QString error;
            QVERIFY2(ensurePrivateFolder(expected, error), qPrintable(error));
            QCOMPARE(QFileInfo(expected).permissions() & 0x0077, 0);
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
