// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <cstring>

// Started as a child with "--hold-lock FOLDER": takes the lock, says so, and waits to be killed,
// which leaves the lock file behind as a crashed copy would.
static int holdLockUntilKilled(const char* folder)
{
    SingleInstanceGuard guard(QString::fromLocal8Bit(folder), QStringLiteral("chimewell"));
    if (!guard.CheckSingleInstance())
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
    void secondCopyAsksFirstToShow()
    {
        QTemporaryDir folder;
        SingleInstanceGuard first(folder.path(), QStringLiteral("chimewell"));
        QVERIFY(first.CheckSingleInstance());
        int activations = 0;
        connect(&first, &SingleInstanceGuard::activationRequested, this, [&] { ++activations; });

        // The later copy blocks while it talks to the first, so it runs on its own thread.
        bool secondMayRun = true;
        QThread* later = QThread::create([&] {
            SingleInstanceGuard second(folder.path(), QStringLiteral("chimewell"));
            secondMayRun = second.CheckSingleInstance();
        });
        later->start();
        QTRY_COMPARE(activations, 1);
        QVERIFY(later->wait(5000));
        delete later;
        QVERIFY(!secondMayRun);
    }

    void otherUsersAndProgramsDoNotCollide()
    {
        QTemporaryDir folderA;
        QTemporaryDir folderB;
        SingleInstanceGuard a(folderA.path(), QStringLiteral("chimewell"));
        SingleInstanceGuard b(folderB.path(), QStringLiteral("chimewell"));
        SingleInstanceGuard other(folderA.path(), QStringLiteral("othername"));
        QVERIFY(a.CheckSingleInstance());
        QVERIFY(b.CheckSingleInstance());
        QVERIFY(other.CheckSingleInstance());
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
        QVERIFY(next.CheckSingleInstance());
    }

    void missingFolderStillRuns()
    {
        SingleInstanceGuard guard(QStringLiteral("/nonexistent/chimewell-test"),
                                  QStringLiteral("chimewell"));
        QVERIFY(guard.CheckSingleInstance());
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
