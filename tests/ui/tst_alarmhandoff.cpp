// The alarm travels from the refresh worker's thread to the window and back through a
// blocking queued call: the worker waits for the user's answer and reads it afterwards.
#include "app/stringtable.h"
#include "ui/alarmdialog.h"
#include "uitestsupport.h"

#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>

namespace {
// Raises one alarm from its own thread, as the refresh worker does.
class AlarmSource : public QThread
{
    Q_OBJECT
public:
    std::atomic<int> answer{-1};

signals:
    void alarmDue(const QString& alarmText, int* answer);

protected:
    void run() override
    {
        int given = -1;
        emit alarmDue(QStringLiteral("10:00 Dentist"), &given);
        answer = given;
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
        AlarmSource source;
        connect(&source, &AlarmSource::alarmDue, &window, &MainWindow::answerAlarm,
                Qt::BlockingQueuedConnection);
        source.start();
        QTRY_VERIFY(source.isFinished());
        QCOMPARE(source.answer.load(), answer);
    }
};

QTEST_MAIN(TestAlarmHandoff)
#include "tst_alarmhandoff.moc"
