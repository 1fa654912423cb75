// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm travels from the refresh worker's thread to the window and back through a
// blocking queued call: the worker waits for the user's answer and reads it afterwards.
#include "app/refreshworker.h"
#include "app/stringtable.h"
#include "palm/todaylist.h"
#include "ui/alarmdialog.h"
#include "uitestsupport.h"

#include <QPushButton>
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
};

QTEST_MAIN(TestAlarmHandoff)
#include "tst_alarmhandoff.moc"
