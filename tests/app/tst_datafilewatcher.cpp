// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datafilewatcher.h"
#include "app/sharedsettings.h"

#include <QDir>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

class TestDataFileWatcher : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& user, const QString& file) const
    {
        return m_dir.filePath(user + "/" + file);
    }

    static void write(const QString& file, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Append));
        out.write(content);
    }

    // Saves as many editors do: a new file renamed over the old one.
    static void replace(const QString& file, const QByteArray& content)
    {
        write(file + ".new", content);
        QFile::remove(file);
        QVERIFY(QFile::rename(file + ".new", file));
    }

    Settings settingsFor(const QString& user) const
    {
        Settings settings;
        settings.datebookpath = path(user, "datebook/datebook.dat");
        settings.todopath = path(user, "todo/todo.dat");
        return settings;
    }

    static void drain(QSemaphore& rescan)
    {
        QTest::qWait(100);
        rescan.tryAcquire(rescan.available());
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        write(path("ann", "datebook/datebook.dat"), "one");
        write(path("ann", "todo/todo.dat"), "one");
        write(path("ben", "datebook/datebook.dat"), "one");
    }

    void changesAskForOneRescan()
    {
        SharedSettings settings(settingsFor("ann"));
        QSemaphore rescan;
        DataFileWatcher watcher(settings, rescan);

        write(path("ann", "datebook/datebook.dat"), "two");
        QTRY_COMPARE(rescan.available(), 1);
        write(path("ann", "todo/todo.dat"), "two");
        write(path("ann", "datebook/datebook.dat"), "three");
        QTest::qWait(200);
        QCOMPARE(rescan.available(), 1);
        drain(rescan);

        // After a replacing save the new file is watched again.
        replace(path("ann", "datebook/datebook.dat"), "four");
        QTRY_COMPARE(rescan.available(), 1);
        drain(rescan);
        QTRY_VERIFY(watcher.watchedFiles().contains(path("ann", "datebook/datebook.dat")));
        write(path("ann", "datebook/datebook.dat"), "five");
        QTRY_COMPARE(rescan.available(), 1);
    }

    void followsTheUserAndNewFiles()
    {
        SharedSettings settings(settingsFor("ann"));
        QSemaphore rescan;
        DataFileWatcher watcher(settings, rescan);

        settings.update([&](Settings& s) { s = settingsFor("ben"); });
        watcher.updatePaths();
        QCOMPARE(watcher.watchedFiles(), QStringList{path("ben", "datebook/datebook.dat")});
        write(path("ann", "datebook/datebook.dat"), "two");
        QTest::qWait(200);
        QCOMPARE(rescan.available(), 0);

        // Ben has no to-do file yet: its creation is noticed through the folder.
        write(path("ben", "todo/todo.dat"), "new");
        QTRY_VERIFY(rescan.available() >= 1);
        QTRY_VERIFY(watcher.watchedFiles().contains(path("ben", "todo/todo.dat")));
    }
};

QTEST_GUILESS_MAIN(TestDataFileWatcher)
#include "tst_datafilewatcher.moc"
