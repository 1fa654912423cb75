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

private slots:
    // A data file that does not exist yet, like a new user's to-do list, is noticed through its
    // folder once it is made, and watched from then on.
    void aNewFileIsNoticed()
    {
        QTemporaryDir dir;
        Settings s;
        s.datebookpath = dir.filePath("datebook/datebook.dat");
        s.todopath = dir.filePath("todo/todo.dat");
        const auto make = [](const QString& file) {
            QVERIFY(QDir().mkpath(QFileInfo(file).path()));
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
        };
        make(s.datebookpath);
        SharedSettings settings(s);
        QSemaphore rescan;
        DataFileWatcher watcher(settings, rescan);
        QCOMPARE(watcher.watchedFiles(), QStringList{s.datebookpath});
        make(s.todopath);
        QTRY_COMPARE(rescan.available(), 1);
        QTRY_VERIFY(watcher.watchedFiles().contains(s.todopath));
    }
};

QTEST_GUILESS_MAIN(TestDataFileWatcher)
#include "tst_datafilewatcher.moc"
