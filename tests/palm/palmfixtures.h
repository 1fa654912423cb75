// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Palm data files written with our own writer, a settable clock and pinned time zones for the
// scan and worker tests.

#include "palm/clock.h"
#include "palmfile/localdate.h"
#include "palmfile/records.h"
#include "palmfile/writer.h"
#include "tests/palmfile/testtime.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTest>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

// A clock that stands still at the time it is set to, or, once started, runs on from there
// in real time (for waits that must end on a due instant). Its steady time is the real one, so
// setting it forward looks like a sleep of the machine.
class FakeClock : public Clock
{
public:
    explicit FakeClock(std::int64_t now = 0) { set(now); }
    std::int64_t now() const override { return nowMs() / 1000; }
    std::int64_t nowMs() const override
    {
        return m_setMs.load() + (m_running.load() ? realMs() - m_startedMs.load() : 0);
    }
    std::int64_t steadyMs() const override { return realMs(); }
    void set(std::int64_t now)
    {
        m_running.store(false);
        m_setMs.store(now * 1000);
    }
    void run()
    {
        m_startedMs.store(realMs());
        m_running.store(true);
    }

private:
    static std::int64_t realMs()
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

    std::atomic<std::int64_t> m_setMs{0};
    std::atomic<std::int64_t> m_startedMs{0};
    std::atomic<bool> m_running{false};
};

using palmfile::LocalDate;
using palmfile::TimeValue;
using namespace std::chrono_literals;

inline TimeValue at(LocalDate day, int hour, int minute, int second = 0)
{
    return palmfile::localTime(day, hour, minute, second);
}

inline palmfile::DatebookRecord appointment(const std::string& description, TimeValue start,
                                            const std::string& note = {})
{
    palmfile::DatebookRecord record;
    record.description = description;
    record.note = note;
    record.start = start;
    record.end = start + 1800;
    return record;
}

inline palmfile::DatebookRecord allDay(const std::string& description, LocalDate day)
{
    palmfile::DatebookRecord record = appointment(description, palmfile::localMidnight(day));
    record.end = record.start;
    record.untimed = true;
    return record;
}

inline palmfile::DatebookRecord withAlarm(palmfile::DatebookRecord record, int minutes)
{
    record.alarmSet = true;
    record.alarmAmount = minutes;
    record.alarmUnit = int(palmfile::AlarmUnit::Minutes);
    return record;
}

inline TimeValue noDate()
{
    return at(LocalDate{2031y, std::chrono::December, 31d}, 23, 59, 59);
}

inline void writeBytes(const QString& path, const std::vector<std::uint8_t>& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())),
             qint64(bytes.size()));
}

// Moves the file's modification time on, so that a rewrite is seen as a change even within
// the file system's timestamp granularity.
inline void newVersion(const QString& path)
{
    static qint64 version = 0;
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1'600'000'000 + ++version),
                             QFileDevice::FileModificationTime));
}

inline void writeDatebook(const QString& path, std::vector<palmfile::DatebookRecord> records)
{
    palmfile::Datebook datebook;
    datebook.records = std::move(records);
    writeBytes(path, palmfile::writeDatebook(datebook));
    newVersion(path);
}

inline void writeTodos(const QString& path, std::vector<palmfile::TodoRecord> records,
                       std::vector<palmfile::Category> categories = {})
{
    palmfile::TodoList list;
    list.header.categories = std::move(categories);
    list.records = std::move(records);
    writeBytes(path, palmfile::writeTodoList(list));
    newVersion(path);
}
