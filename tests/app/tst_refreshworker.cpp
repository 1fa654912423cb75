// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/refreshworker.h"
#include "app/sharedsettings.h"
#include "app/stringtable.h"
#include "palm/todaylist.h"
#include "tests/palm/palmfixtures.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const LocalDate kToday{2024y, std::chrono::May, 15d};

// Lives on the test's thread and answers the worker like the main window does.
class Window : public QObject
{
    Q_OBJECT

public:
    QStringList posts; // the tooltips of the lists posted
    QStringList alarms;
    int answer = 1;
    // False: the alarm reaches no window, and no answer is given.
    bool shows = true;
    int unshown = 0;
    // Time the alarm window stays open, on the fake clock.
    FakeClock* clock = nullptr;
    int openSeconds = 0;

public slots:
    void updateList(const QString& tooltip) { posts << tooltip; }

    void answerAlarm(const QString& text, int* result)
    {
        if (!shows) {
            ++unshown;
            return;
        }
        alarms << text;
        if (openSeconds)
            clock->set(clock->now() + openSeconds);
        *result = answer;
    }
};

} // namespace

class TestRefreshWorker : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    std::unique_ptr<SharedSettings> m_settings;
    std::unique_ptr<TodayListBuilder> m_builder;
    std::unique_ptr<QSemaphore> m_rescan;
    std::atomic<bool> m_shutdown{false};
    // The thread sanitizer does not see QThread::wait(): the worker's own sign that it ended
    // orders its last writes before the test destroys what it used.
    std::atomic<bool> m_workerEnded{false};
    std::unique_ptr<RefreshWorker> m_worker;
    std::unique_ptr<Window> m_window;
    std::unique_ptr<AlarmStateFile> m_stateFile;

    QString datebook() const { return m_dir.filePath("datebook.dat"); }

    void start()
    {
        m_worker = std::make_unique<RefreshWorker>(*m_settings, *m_rescan, m_shutdown, *m_builder,
                                                   m_clock, m_stateFile.get());
        connect(m_worker.get(), &RefreshWorker::listUpdated, m_window.get(), &Window::updateList,
                Qt::QueuedConnection);
        connect(m_worker.get(), &RefreshWorker::alarmDue, m_window.get(), &Window::answerAlarm,
                Qt::BlockingQueuedConnection);
        m_workerEnded = false;
        connect(
            m_worker.get(), &QThread::finished, m_window.get(),
            [this] { m_workerEnded.store(true, std::memory_order_release); }, Qt::DirectConnection);
        m_worker->start();
        m_rescan->release();
    }

    // Stops the worker while this thread keeps answering its blocking calls.
    bool stop()
    {
        m_shutdown = true;
        m_rescan->release();
        QElapsedTimer timer;
        timer.start();
        while (!m_worker->wait(10)) {
            QCoreApplication::processEvents();
            if (timer.elapsed() > 10000)
                return false;
        }
        return m_workerEnded.load(std::memory_order_acquire);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        pinTimeZone("Europe/Berlin");
        setUiLanguage(UiLanguage::English);
    }

    void init()
    {
        m_clock.set(at(kToday, 10, 0));
        Settings settings;
        settings.datebookpath = datebook();
        settings.showtodos = 0;
        m_settings = std::make_unique<SharedSettings>(settings);
        m_builder = std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"),
                                                       " To Do: ", QLocale("de_DE"));
        m_rescan = std::make_unique<QSemaphore>();
        m_shutdown = false;
        m_window = std::make_unique<Window>();
        m_window->clock = &m_clock;
        m_stateFile.reset();
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0), "Bring card"),
                                   appointment("Team", at(kToday, 12, 0))});
    }

    void cleanup()
    {
        if (m_worker)
            QVERIFY(stop());
        m_worker.reset();
    }

    void alarmAnswers()
    {
        m_clock.set(at(kToday, 10, 55));
        m_window->answer = 0;
        m_window->openSeconds = 30;
        start();
        QTRY_COMPARE(m_window->alarms.size(), 1);
        QCOMPARE(m_window->alarms[0], QString("11:00 Dentist\r\nBring card"));
        m_window->openSeconds = 0;
        // The worker reads the closing time after the answer has reached it; the clock may
        // move only once the next pass shows that it has.
        m_rescan->release();
        QTRY_COMPARE(m_window->posts.size(), 2);

        // Snoozed when the window closed (10:55:30): due again one minute later.
        m_clock.set(at(kToday, 10, 56, 29));
        m_rescan->release();
        QTRY_COMPARE(m_window->posts.size(), 3);
        QCOMPARE(m_window->alarms.size(), 1);

        m_window->answer = 1;
        m_clock.set(at(kToday, 10, 56, 30));
        m_rescan->release();
        QTRY_COMPARE(m_window->alarms.size(), 2);
    }

    // Not recorded as snoozed, and not raised again at once either: the release's pass
    // (which posts first) brings it.
    void alarmThatNoWindowShowedStaysDue()
    {
        m_clock.set(at(kToday, 10, 55));
        m_window->shows = false;
        start();
        QTRY_COMPARE(m_window->unshown, 1);
        m_window->shows = true;
        m_rescan->release();
        QTRY_COMPARE(m_window->alarms.size(), 1);
        QCOMPARE(m_window->posts.size(), 2);
        QCOMPARE(m_window->unshown, 1);
    }

    // A restart keeps the answers; what came due while Chimewell was not running, or while the
    // machine slept, rings once, marked as missed.
    void answersAndMissedAlarmsSurviveARestart()
    {
        m_stateFile = std::make_unique<AlarmStateFile>(m_dir.filePath("state"));
        writeDatebook(datebook(), {appointment("Dentist", at(kToday, 11, 0), "Bring card"),
                                   appointment("Team", at(kToday, 12, 0)),
                                   appointment("Lunch", at(kToday, 12, 30))});
        const auto restartAt = [this](TimeValue now) {
            if (m_worker)
                QVERIFY(stop());
            m_clock.set(now);
            m_shutdown = false;
            m_builder = std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"),
                                                           " To Do: ", QLocale("de_DE"));
            m_window->posts.clear();
            start();
            QTRY_COMPARE(m_window->posts.size(), 1);
        };
        restartAt(at(kToday, 10, 55));
        QTRY_COMPARE(m_window->alarms, QStringList{"11:00 Dentist\r\nBring card"});
        restartAt(at(kToday, 10, 57));
        QCOMPARE(m_window->posts[0], QString("12:00 Team"));

        restartAt(at(kToday, 12, 10));
        QTRY_COMPARE(m_window->alarms.size(), 2);
        QCOMPARE(m_window->alarms[1], QString("Missed reminder: 12:00 Team"));

        // The machine sleeps through the lunch's alarm.
        m_clock.set(at(kToday, 12, 40));
        m_rescan->release();
        QTRY_COMPARE(m_window->alarms.size(), 3);
        QCOMPARE(m_window->alarms[2], QString("Missed reminder: 12:30 Lunch"));
        m_rescan->release(2);
        QTRY_COMPARE(m_window->posts.size(), 4);
        QCOMPARE(m_window->alarms.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestRefreshWorker)
#include "tst_refreshworker.moc"
