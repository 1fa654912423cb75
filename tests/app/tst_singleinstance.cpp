// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"
#include "palm/privatefolder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// Started as a child with "--hold-lock FOLDER": takes the lock, says so, and waits to be killed,
// which leaves the lock file behind as a crashed copy would.
static int holdLockUntilKilled(const char* folder)
{
    SingleInstanceGuard guard(QString::fromLocal8Bit(folder), QStringLiteral("chimewell"));
    if (guard.checkSingleInstance() != SingleInstanceGuard::Check::Run)
        return 3;
    std::puts("locked");
    std::fflush(stdout);
    QThread::sleep(60);
    return 0;
}

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

    void crashedCopyDoesNotBlockNewStart()
    {
        QTemporaryDir folder;
        QProcess crashed;
        crashed.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--hold-lock"), folder.path()});
        QVERIFY(crashed.waitForReadyRead(10000));
        QCOMPARE(crashed.readAll().trimmed(), QByteArray("locked"));
        crashed.kill();
        QVERIFY(crashed.waitForFinished(5000));
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("chimewell.lock"))));

        SingleInstanceGuard next(folder.path(), QStringLiteral("chimewell"));
        QCOMPARE(next.checkSingleInstance(), SingleInstanceGuard::Check::Run);
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
                            folder, QFileDevice::Permissions(place == "open" ? 0x7777 : 0x7700)));
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

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--hold-lock") == 0)
        return holdLockUntilKilled(argv[2]);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
