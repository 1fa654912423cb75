// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and memory of the whole program, in-process on the offscreen platform:
//  - time from start to the first filled list with a fresh demo folder (the 1 s pause and the
//    worker's 500 ms start wait are shown separately and subtracted),
//  - peak resident memory after 10,000 forced passes over the demo folder.
//   startupbench PALMDAT

#include "app/refreshworker.h"
#include "app/startup.h"
#include "palm/clock.h"
#include "ui/desktopwindows.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSemaphore>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kForcedPasses = 10000;
constexpr qint64 kPauseMs = 1000;
constexpr qint64 kWorkerStartWaitMs = 500;

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The desktop windows, plus a stopwatch on the worker's posts: the first filled list, then
// forced passes one after the other until enough have been posted.
class MeasuredWindows : public DesktopWindows
{
public:
    explicit MeasuredWindows(const QElapsedTimer& sinceStart) : m_sinceStart(sinceStart) {}

    void openMainWindow(const RunContext& context) override
    {
        DesktopWindows::openMainWindow(context);
        // The demo's alarms are due at once; a modal alarm window would wait for a user.
        QObject::disconnect(&context.worker, &RefreshWorker::alarmDue, nullptr, nullptr);
        QObject::connect(
            &context.worker, &RefreshWorker::alarmDue, &context.worker,
            [](const QString&, int* answer) { *answer = 1; }, Qt::DirectConnection);
        QSemaphore& rescan = context.rescan;
        QObject::connect(&context.worker, &RefreshWorker::listUpdated, qApp,
                         [this, &rescan](const QString&, const QStringList& lines) {
                             if (firstListMs < 0 && !lines.isEmpty())
                                 firstListMs = m_sinceStart.elapsed();
                             if (++posts > kForcedPasses)
                                 QCoreApplication::exit(0);
                             else
                                 rescan.release();
                         });
    }

    qint64 firstListMs = -1;
    int posts = 0;

private:
    const QElapsedTimer& m_sinceStart;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: startupbench PALMDAT\n");
        return 2;
    }
    const QString demo = home.filePath(QStringLiteral("palm"));
    if (QProcess::execute(QString::fromLocal8Bit(argv[1]), {QStringLiteral("demo"), demo}) != 0)
        return 1;
    qputenv("CHIMEWELL_PALM_DESKTOP", demo.toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.filePath("config"));
    const long residentBefore = peakResidentKiB();

    QElapsedTimer sinceStart;
    sinceStart.start();
    SystemClock clock;
    MeasuredWindows windows(sinceStart);
    Startup startup({QStringLiteral("chimewell-bench"),
                     home.filePath(QStringLiteral("private")),
                     std::chrono::milliseconds(kPauseMs),
                     {}},
                    clock, windows);
    QElapsedTimer passes;
    passes.start();
    startup.initInstance();
    const qint64 passesMs = passes.elapsed() - windows.firstListMs;

    std::printf("first filled list after %lld ms: %lld ms beyond the %lld ms pause and the "
                "worker's %lld ms start wait (target < 300 ms)\n",
                static_cast<long long>(windows.firstListMs),
                static_cast<long long>(windows.firstListMs - kPauseMs - kWorkerStartWaitMs),
                static_cast<long long>(kPauseMs), static_cast<long long>(kWorkerStartWaitMs));
    std::printf("%d forced passes over the demo folder in %lld ms (%.2f ms a pass)\n",
                windows.posts - 1, static_cast<long long>(passesMs),
                double(passesMs) / (windows.posts - 1));
    std::printf("peak resident memory: %.1f MB (%.1f MB before start-up; target < 40 MB)\n",
                peakResidentKiB() / 1024.0, residentBefore / 1024.0);
    std::fflush(stdout);
    std::_Exit(0);
}
