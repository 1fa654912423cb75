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
    // user's home, where no one else can make it first. A folder planted there is refused.
    void privateFolderPlace()
    {
#ifndef Q_OS_UNIX
        QSKIP("the temporary folder is the user's own");
#else
        for (const QString place : {"private", "group", "foreign", "link"}) {
            QTemporaryDir base;
            const QString folder = base.filePath("runtime");
            if (place == "link")
                QVERIFY(QFile::link(base.path(), folder));
            else
                QVERIFY(QDir().mkdir(folder) &&
                        QFile::setPermissions(
                            folder, QFileDevice::Permissions(place == "group" ? 0x7770 : 0x7700)));
            if (place == "foreign" && ::chown(QFile::encodeName(folder).constData(), 65534, 65534))
                continue; // only root can give a folder away

            const PrivateFolderPlaces places{folder, base.filePath("cache"), QString()};
            const QString expected = place == "private" ? base.filePath("runtime/chimewell")
                                                        : base.filePath("cache/chimewell/run");
            QCOMPARE(privateFolderPath(places), expected);
            QString error;
            QVERIFY2(ensurePrivateFolder(expected, error), qPrintable(error));
            QCOMPARE(QFileInfo(expected).permissions() & 0x0077, 0);
            QCOMPARE(ensurePrivateFolder(folder, error),
                     place != "group" && place != "foreign" && place != "link");
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
