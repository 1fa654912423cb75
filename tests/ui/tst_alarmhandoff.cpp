// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/refreshworker.h"
#include "app/settingsstorage.h"
#include "app/stringtable.h"
#include "ui/alarmdialog.h"
#include "ui/desktopwindows.h"
#include "uitestsupport.h"

#include <QListWidget>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {
// Its first reading on the window thread holds that thread, as a busy log-on does, until
// `hold` returns.
struct HoldingClock : Clock
{
    std::int64_t t = 0;
    std::function<void()> hold;
    mutable std::atomic<bool> held{false};
    std::int64_t now() const override
    {
        if (hold && QThread::currentThread() == qApp->thread() && !held.exchange(true))
            hold();
        return t;
    }
};

} // namespace

class TestAlarmHandoff : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    void cleanup() { AlarmDialog::setTestRunner({}); }

    // The program's own wiring: the window thread is held right after the main window asked
    // for the first pass, until the worker raised an alarm (or long enough for it to have done
    // so). The first list and the alarm must still reach the window.
    void busyStartLosesNeitherListNorAlarm()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        qputenv("CHIMEWELL_PALM_DESKTOP", dir.filePath("palm").toLocal8Bit());
        const std::int64_t start = at(2026y / 3 / 14, 10, 0);
        QVERIFY(QDir().mkpath(dir.filePath("palm/DoeJ/datebook")));
        writeDatebook(dir.filePath("palm/DoeJ/datebook/datebook.dat"),
                      {appointment("Dentist", start)});
        const auto profile = openProfile(QStringLiteral("chimewell-test"));
        profile->clear();
        profile->setValue("Options/showtodos", 0);
        profile->sync();

        QStringList alarms;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            alarms << dialog.findChild<QTextEdit*>("alarmText")->toPlainText();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
        QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(0); });

        QSemaphore alarmRaised;
        QObject observer;
        HoldingClock clock;
        clock.t = start - 120;
        DesktopWindows windows;
        Startup startup(
            {"chimewell-test", dir.filePath("private"), std::chrono::milliseconds(0), {}}, clock,
            windows);
        // The thread sanitizer does not see QThread::wait(); the worker's own sign that it ended
        // keeps it from taking the worker's last reads for races with later uses of the stack.
        std::atomic<bool> workerEnded{false};
        clock.hold = [&] {
            QObject::connect(
                startup.worker(), &RefreshWorker::alarmDue, &observer,
                [&] { alarmRaised.release(); }, Qt::DirectConnection);
            QObject::connect(
                startup.worker(), &QThread::finished, &observer,
                [&] { workerEnded.store(true, std::memory_order_release); }, Qt::DirectConnection);
            alarmRaised.tryAcquire(1, 700);
        };
        QCOMPARE(startup.initInstance(), 0);
        QVERIFY(startup.worker()->wait(5000));
        QVERIFY(workerEnded.load(std::memory_order_acquire));

        QCOMPARE(alarms, QStringList{"10:00 Dentist"});
        MainWindow* window = windows.mainWindow();
        const QListWidget* list = window->findChild<QListWidget*>();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("10:00 Dentist"));
        QCOMPARE(window->findChild<QSystemTrayIcon*>()->toolTip(), QString("10:00 Dentist"));
    }
};

QTEST_MAIN(TestAlarmHandoff)
#include "tst_alarmhandoff.moc"
