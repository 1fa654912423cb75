// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the refresh worker's passes: the pass that runs every 5 seconds over unchanged files
// (which must cost next to nothing), a forced pass over a 50,000-record datebook with a to-do
// list, and the first forced pass over datebooks of n alarms today (which must grow with n, not
// with its square). Prints figures; asserts nothing.

#include "app/todaypass.h"
#include "palm/clock.h"
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "palmfile/localdate.h"
#include "palmfile/writer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <random>

using namespace palmfile;
using namespace std::chrono;

namespace {

constexpr int kRecords = 50000;

class NowClock : public Clock
{
public:
    std::int64_t now() const override { return std::time(nullptr); }
};

// Appointments spread over three years around today, 30% repeating (most of them daily or
// weekly, so today's list is long), with notes.
Datebook makeDatebook(LocalDate today)
{
    std::mt19937 random(7351);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Datebook book;
    for (int i = 0; i < kRecords; ++i) {
        DatebookRecord record;
        const LocalDate day = sys_days(today) + days(pick(-800, 300));
        record.untimed = pick(0, 9) == 0;
        record.start = record.untimed ? localMidnight(day) : localTime(day, pick(0, 23), 0, 0);
        record.end = record.start + 1800;
        record.description = "Appointment " + std::to_string(i) + (i % 7 ? "" : " REM 10");
        record.note = std::string(std::size_t(pick(0, 120)), 'n') + "\r\nsecond line";
        record.alarmSet = pick(0, 1);
        record.alarmAmount = 5;
        if (pick(0, 9) < 3) {
            Repeat repeat;
            repeat.kind = pick(0, 9) < 2 ? RepeatKind::Daily : RepeatKind::Weekly;
            repeat.interval = pick(1, 2);
            repeat.daysMask = std::uint8_t(pick(1, 127));
            repeat.end = localTime(LocalDate{2031y, December, 31d}, 23, 59, 59);
            record.repeat = repeat;
        }
        book.records.push_back(std::move(record));
    }
    return book;
}

TodoList makeTodos(LocalDate today)
{
    TodoList list;
    for (int i = 0; i < 500; ++i) {
        TodoRecord record;
        record.description = "Task " + std::to_string(i);
        record.due = localMidnight(sys_days(today) + days(i % 60 - 30));
        record.priority = i % 5 + 1;
        list.records.push_back(std::move(record));
    }
    return list;
}

// `count` appointments later today, many of them at the same minute.
Datebook makeAlarmDatebook(LocalDate today, int count)
{
    std::mt19937 random(2417);
    Datebook book;
    for (int i = 0; i < count; ++i) {
        DatebookRecord record;
        const int minute = std::uniform_int_distribution<int>(7 * 60, 23 * 60 + 59)(random);
        record.start = localTime(today, minute / 60, minute % 60, 0);
        record.end = record.start + 1800;
        record.description = "Call " + std::to_string(i % 97);
        record.note = i % 3 ? "" : "bring the papers";
        record.alarmSet = true;
        record.alarmAmount = 5;
        book.records.push_back(std::move(record));
    }
    return book;
}

bool writeFile(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
               qint64(bytes.size());
}

// VmRSS of this process, where /proc tells it.
QString residentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return QString::fromLatin1(line.mid(6).simplified());
    return QStringLiteral("unknown");
}

template <typename Work> double averageMicroseconds(int runs, Work&& work)
{
    const auto begin = steady_clock::now();
    for (int i = 0; i < runs; ++i)
        work();
    return duration<double, std::micro>(steady_clock::now() - begin).count() / runs;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const NowClock clock;
    const LocalDate today = localDateOf(clock.now());
    Settings settings;
    settings.datebookpath = dir.filePath("datebook.dat");
    settings.todopath = dir.filePath("todo.dat");
    settings.showalltodaysappts = 1;
    settings.showtodosnodate = 1;
    const auto datebook = writeDatebook(makeDatebook(today));
    if (!dir.isValid() || !writeFile(settings.datebookpath, datebook) ||
        !writeFile(settings.todopath, writeTodoList(makeTodos(today)))) {
        std::fprintf(stderr, "corebench: cannot write the test files\n");
        return 1;
    }

    TodayListBuilder builder(clock, dir.filePath("copies"), " To Do: ", QLocale::c());
    QStringList list;
    int result = 0;
    const double forced = averageMicroseconds(5, [&] {
        const TodayPass pass = runTodayPass(builder, settings, true);
        result = pass.result;
        list = pass.lines;
    });
    if (result <= 0) {
        std::fprintf(stderr, "corebench: the forced pass failed (%d)\n", result);
        return 1;
    }
    std::printf("forced pass, %d-record datebook (%.1f MB) and 500 to-dos: %.1f ms "
                "(%lld lines, %zu alarms)\n",
                kRecords, double(datebook.size()) / 1e6, forced / 1000, qlonglong(list.size()),
                builder.alarms().size());
    std::printf("resident memory after these passes: %s\n", qPrintable(residentMemory()));

    const double idle = averageMicroseconds(20000, [&] {
        QStringList untouched;
        result = builder.buildTodayList(settings, untouched, false);
    });
    std::printf("pass over unchanged files (status only): %.1f us (result %d; target < 50 us)\n",
                idle, result);

    // A new builder each time: every alarm is new to it, as in the first pass after start.
    const FixedClock morning(localTime(today, 6, 0, 0));
    settings.showtodos = 0;
    for (int count : {100, 1000, 10000}) {
        if (!writeFile(settings.datebookpath, writeDatebook(makeAlarmDatebook(today, count))))
            return 1;
        std::size_t alarms = 0;
        const int runs = count >= 10000 ? 3 : 20;
        const double pass = averageMicroseconds(runs, [&] {
            TodayListBuilder fresh(morning, dir.filePath("copies"), " To Do: ", QLocale::c());
            QStringList lines;
            fresh.buildTodayList(settings, lines, true);
            alarms = fresh.alarms().size();
        });
        std::printf("first forced pass, %5d alarms today: %8.2f ms (%zu alarms)\n", count,
                    pass / 1000, alarms);
    }
    return 0;
}
