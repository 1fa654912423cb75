// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/autostart.h"
#include "app/refreshworker.h"
#include "app/settingsstorage.h"
#include "app/sharedsettings.h"
#include "app/startup.h"
#include "app/stringtable.h"
#include "fakeautostart.h"
#include "palm/settings.h"
#include "tests/palm/palmfixtures.h"

#include <QDir>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {

// Records what the start-up asks of the windows; "the user" quits once the first list arrived
// (unless `quitAfterList` is off).
class FakeWindows : public WindowLayer, public NoPalmDesktopNotice
{
public:
    NoPalmDesktopNotice& noPalmDesktopNotice() override { return *this; }
    Autostart& autostart() override { return m_autostart; }
    void showNoPalmDesktop() override
    {
        steps << "notice";
        if (duringNotice) {
            // A message box runs its own loop.
            QEventLoop box;
            m_box = &box;
            QTimer::singleShot(0, duringNotice);
            QTimer::singleShot(10000, &box, &QEventLoop::quit);
            box.exec();
            m_box = nullptr;
        }
    }
    void openMainWindow(const RunContext& context) override
    {
        steps << "window";
        this->context = &context;
        QObject::connect(
            &context.worker, &QThread::finished, &context.worker,
            [this] { m_workerEnded.store(true, std::memory_order_release); }, Qt::DirectConnection);
        QObject::connect(&context.worker, &RefreshWorker::listUpdated, &m_loop, [this] {
            if (quitAfterList)
                m_loop.quit();
        });
        context.settings.update([](Settings& settings) { settings.autostart = 1; });
        // The window's set-up asks for the first rescan.
        context.rescan.release();
    }
    void showMainWindow() override { steps << "show"; }
    void showError(const QString& text) override { steps << "error: " + text; }
    void runUntilQuit() override
    {
        steps << "run";
        if (whileRunning)
            QTimer::singleShot(0, whileRunning);
        QTimer::singleShot(10000, &m_loop, &QEventLoop::quit);
        m_loop.exec();
    }
    void endRun() override
    {
        steps << "end";
        m_loop.quit();
        if (m_box)
            m_box->quit();
    }
    // The thread sanitizer does not see QThread::wait(); without a sign from the worker's own
    // thread it takes the worker's last reads for races with any later use of that memory.
    bool workerEnded(RefreshWorker* worker) const
    {
        return worker->wait(5000) && m_workerEnded.load(std::memory_order_acquire);
    }
    QStringList steps;
    const RunContext* context = nullptr;
    std::function<void()> whileRunning;
    std::function<void()> duringNotice;
    bool quitAfterList = true;

private:
    FakeAutostart m_autostart;
    std::atomic<bool> m_workerEnded{false};
    QEventLoop m_loop;
    QEventLoop* m_box = nullptr;
};

const LocalDate kToday{2024y, std::chrono::May, 15d};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_profile;
    QTemporaryDir m_palm;
    FakeClock m_clock;

    StartupOptions options(const QTemporaryDir& privateFolder) const
    {
        return {QStringLiteral("chimewell-test"), privateFolder.path(),
                std::chrono::milliseconds(0), privateFolder.filePath("state")};
    }

private slots:
    void initTestCase()
    {
        pinTimeZone("Europe/Berlin");
        setUiLanguage(UiLanguage::English);
        m_clock.set(at(kToday, 9, 0));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_profile.path());
        QVERIFY(QDir(m_palm.path()).mkpath("DoeJ/datebook"));
        QVERIFY(QDir(m_palm.path()).mkpath("DoeJ/todo"));
        writeDatebook(m_palm.filePath("DoeJ/datebook/datebook.dat"),
                      {appointment("Dentist", at(kToday, 10, 0))});
        writeTodos(m_palm.filePath("DoeJ/todo/todo.dat"), {});
    }

    void init()
    {
        openProfile(QStringLiteral("chimewell-test"))->clear();
        qputenv("CHIMEWELL_PALM_DESKTOP", m_palm.path().toLocal8Bit());
    }

    // After a pass, the end leaves no private copy behind. The rest of the end (saved values,
    // autostart, no lock) is checked with the termination signal, which ends the run alike.
    void runsTheWorkerUntilQuit()
    {
        QTemporaryDir privateFolder;
        FakeWindows windows;
        Startup startup(options(privateFolder), m_clock, windows);
        QCOMPARE(startup.initInstance(), 0);
        QVERIFY(windows.workerEnded(startup.worker()));

        QCOMPARE(windows.steps, QStringList({"window", "run"}));
        QVERIFY(!QFile::exists(privateFolder.filePath("datebooktmp.dat")));
        QVERIFY(!QFile::exists(privateFolder.filePath("todotmp.dat")));
    }

    // Ends as Quit does, also when the signal comes while a message box of the start-up is
    // open. Changed values reach the profile at once, before any end. However often a save
    // fails, the user is told once; a save that succeeds again ends it.
    void terminationSignalEndsTheRunAsQuitDoes()
    {
#ifndef Q_OS_UNIX
        QSKIP("termination signals are Unix ones, and a folder blocks the profile file here");
#else
        const QString file = openProfile(QStringLiteral("chimewell-test"))->fileName();
        for (const bool duringStartup : {false, true}) {
            openProfile(QStringLiteral("chimewell-test"))->clear();
            QTemporaryDir empty;
            if (duringStartup)
                qputenv("CHIMEWELL_PALM_DESKTOP", empty.path().toLocal8Bit());
            QTemporaryDir privateFolder;
            FakeWindows windows;
            windows.quitAfterList = false;
            const auto terminate = [] { std::raise(SIGTERM); };
            if (duringStartup)
                windows.duringNotice = terminate;
            windows.whileRunning = [&] {
                const auto save = [&] { windows.context->saveSettings(SaveScope::Values); };
                const auto block = [&] { QVERIFY(QFile::remove(file) && QDir().mkpath(file)); };
                block();
                save();
                save();
                QVERIFY(QDir().rmdir(file));
                windows.context->settings.update([](Settings& s) { s.warnagaintime = 7; });
                save();
                QCOMPARE(openProfile(QStringLiteral("chimewell-test"))
                             ->value("Options/warnagaintime")
                             .toInt(),
                         7);
                QCOMPARE(windows.autostart().startupShortcutExists(), 0);
                block();
                save();
                QVERIFY(QDir().rmdir(file));
                terminate();
            };
            Startup startup(options(privateFolder), m_clock, windows);
            QCOMPARE(startup.initInstance(), 0);
            QVERIFY(windows.workerEnded(startup.worker()));

            QVERIFY(windows.steps.contains("end"));
            QCOMPARE(windows.steps.contains("run"), !duringStartup);
            QCOMPARE(windows.steps.filter("error: ").size(), duringStartup ? 0 : 2);
            const auto saved = openProfile(QStringLiteral("chimewell-test"));
            saved->beginGroup("Options");
            QCOMPARE(saved->childKeys().size(), 15);
            QCOMPARE(windows.autostart().startupShortcutExists(), 1);
            QVERIFY(!QFile::exists(privateFolder.filePath("chimewell-test.lock")));
        }
#endif
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
