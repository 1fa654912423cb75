// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm travels from the refresh worker's thread to the window and back through a
// blocking queued call: the worker waits for the user's answer and reads it afterwards.
#include "app/refreshworker.h"
#include "app/settingsstorage.h"
#include "app/stringtable.h"
#include "palm/todaylist.h"
#include "palmfile/writer.h"
#include "ui/alarmdialog.h"
#include "ui/desktopwindows.h"
#include "uitestsupport.h"

#include <QListWidget>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {
// The window wrote the answer before the blocking call returned, through synchronisation the
// thread sanitizer cannot see: scripts/sanitizers/tsan.supp names this reader.
[[gnu::noinline]] int readAlarmAnswer(const int& answer)
{
    return answer;
}

// Raises one alarm through the refresh worker's signal from a thread of its own, as the
// worker's loop does.
class AlarmSource : public QThread
{
public:
    explicit AlarmSource(RefreshWorker& worker) : m_worker(worker) {}
    std::atomic<int> answer{-1};

protected:
    void run() override
    {
        int given = -1;
        emit m_worker.alarmDue(QStringLiteral("10:00 Dentist"), &given);
        answer = readAlarmAnswer(given);
    }

private:
    RefreshWorker& m_worker;
};

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

void writeDatebook(const QString& path, const QString& description, std::int64_t start)
{
    palmfile::DatebookRecord record;
    record.description = description.toStdString();
    record.start = start;
    record.end = start + 1800;
    palmfile::Datebook datebook;
    datebook.records = {record};
    const std::vector<std::uint8_t> bytes = palmfile::writeDatebook(datebook);
    QFile file(path);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) > 0);
}
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

    void answerReachesTheWaitingThread_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK") << "okButton" << 1;
        QTest::newRow("Warn again") << "warnAgainButton" << 0;
    }

    void answerReachesTheWaitingThread()
    {
        QFETCH(QString, button);
        QFETCH(int, answer);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            dialog.show();
            QTimer::singleShot(50, &dialog, [&dialog, button] {
                dialog.findChild<QPushButton*>(button)->click();
            });
            dialog.exec();
        });
        // The worker itself never runs: only its signal carries the alarm.
        std::atomic<bool> shutdown{false};
        TodayListBuilder builder(fixture.clock, fixture.dir.path(), QString());
        RefreshWorker worker(*fixture.settings, fixture.rescans, shutdown, builder, fixture.clock);
        connect(&worker, &RefreshWorker::alarmDue, &window, &MainWindow::answerAlarm,
                Qt::BlockingQueuedConnection);
        AlarmSource source(worker);
        source.start();
        QTRY_VERIFY(source.isFinished());
        QCOMPARE(source.answer.load(), answer);
    }

    // The program's own wiring: the window thread is held right after the main window asked
    // for the first pass, until the worker raised an alarm (or long enough for it to have done
    // so). The first list and the alarm must still reach the window.
    void busyStartLosesNeitherListNorAlarm()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
        qputenv("CHIMEWELL_PALM_DESKTOP", dir.filePath("palm").toLocal8Bit());
        const std::int64_t start = localTime(2026, 3, 14, 10, 0);
        writeDatebook(dir.filePath("palm/DoeJ/datebook/datebook.dat"), "Dentist", start);
        const auto profile = openProfile(QStringLiteral("chimewell-test"));
        profile->clear();
        profile->setValue("Options/showtodos", 0);
        profile->sync();

        QStringList alarms;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            alarms << dialog.findChild<QTextEdit*>("alarmText")->toPlainText();
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        });
        QTimer giveUp;
        giveUp.setSingleShot(true);
        connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(0); });
        giveUp.start(20000);

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
