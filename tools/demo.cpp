// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat demo: a complete Palm Desktop folder to try Chimewell with, its day set around now.

#include "commands.h"

#include "palmfile/layout.h"
#include "palmfile/localdate.h"
#include "palmfile/users.h"
#include "palmfile/writer.h"

#include <QFile>

#include <ctime>
#include <filesystem>

using namespace palmfile;
namespace fs = std::filesystem;

namespace palmdat {

namespace {

const PalmUser firstUser{0x1A2B3C4D, "Ann Example", "ExampleA"};
const PalmUser secondUser{0x5E6F7081, "Ben Sample", "SampleB"};

// Times relative to the moment the folder is made.
class DemoDay
{
public:
    DemoDay() : m_now(std::time(nullptr)), m_today(localDateOf(m_now)) {}

    // `minutes` from now, on a whole minute, never earlier than that.
    TimeValue inMinutes(int minutes) const { return (m_now + minutes * 60 + 59) / 60 * 60; }
    TimeValue daysFromToday(int days) const { return localMidnight(dayFromToday(days)); }
    // The wall-clock time of `t` on a day `days` from today.
    TimeValue daysFromToday(int days, TimeValue t) const
    {
        const TimeOfDay time = localTimeOfDay(t);
        return localTime(dayFromToday(days), time.hour, time.minute, time.second);
    }
    static TimeValue noDate()
    {
        using namespace std::chrono;
        return localTime(LocalDate{year{2031}, December, day{31}}, 23, 59, 59);
    }

private:
    LocalDate dayFromToday(int days) const
    {
        return LocalDate{std::chrono::sys_days{m_today} + std::chrono::days{days}};
    }

    TimeValue m_now;
    LocalDate m_today;
};

DatebookRecord appointment(std::string description, TimeValue start)
{
    DatebookRecord r;
    r.description = std::move(description);
    r.start = r.end = start;
    return r;
}

DatebookRecord untimed(std::string description, TimeValue day)
{
    DatebookRecord r = appointment(std::move(description), day);
    r.untimed = true;
    return r;
}

TodoRecord todo(std::string description, TimeValue due, int priority, int category = 0)
{
    TodoRecord r;
    r.description = std::move(description);
    r.due = due;
    r.priority = priority;
    r.category = category;
    return r;
}

FileHeader header(const PalmUser& user, const char* file)
{
    FileHeader h;
    h.fileName = "C:\\Palm\\" + user.folder + "\\" + file;
    return h;
}

Datebook firstDatebook(const DemoDay& day)
{
    Datebook book;
    book.header = header(firstUser, "datebook\\datebook.dat");
    book.header.schemaResourceId = layout::kDatebookResourceId;
    auto& r = book.records;
    r.push_back(appointment("Call the bank", day.inMinutes(2)));
    r.push_back(appointment("Dentist", day.inMinutes(10)));
    r.back().alarmSet = true;
    r.back().alarmAmount = 5;
    r.back().alarmUnit = int(AlarmUnit::Minutes);
    r.push_back(appointment("Team meeting REM 15", day.inMinutes(40)));
    r.push_back(appointment("Breakfast with Carla", day.inMinutes(-90)));
    r.push_back(untimed("Mum's birthday", day.daysFromToday(0)));
    // Started a week ago: today's occurrence comes from the repeat rule.
    r.push_back(appointment("Take vitamins", day.daysFromToday(-7, day.inMinutes(180))));
    r.back().repeat = Repeat{.kind = RepeatKind::Daily, .interval = 1, .end = DemoDay::noDate()};
    r.push_back(appointment("Doctor's appointment", day.inMinutes(120)));
    r.back().isPrivate = true;
    r.push_back(appointment("Project review", day.inMinutes(240)));
    r.back().note = "Agenda:\r\n1. Budget\r\n2. Schedule\r\nBring the printouts.";
    return book;
}

TodoList firstTodoList(const DemoDay& day)
{
    TodoList list;
    list.header = header(firstUser, "todo\\todo.dat");
    list.header.categories = {{1, 1, 0, "Business", "Busi"}, {2, 2, 0, "Personal", "Pers"}};
    auto& r = list.records;
    r.push_back(todo("Send the invoice", day.daysFromToday(-3), 2, 1));
    r.push_back(todo("Buy milk", day.daysFromToday(0), 1, 2));
    r.push_back(todo("Renew passport", DemoDay::noDate(), 1, 2));
    r.push_back(todo("Read the manual", DemoDay::noDate(), 3));
    r.push_back(todo("Book the flights", day.daysFromToday(-1), 1, 1));
    r.back().completed = true;
    r.push_back(todo("Surprise party for Carla", day.daysFromToday(0), 2, 2));
    r.back().isPrivate = true;
    return list;
}

Datebook secondDatebook(const DemoDay& day)
{
    Datebook book;
    book.header = header(secondUser, "datebook\\datebook.dat");
    book.header.schemaResourceId = layout::kDatebookResourceId;
    book.records.push_back(appointment("Lunch with Ann", day.inMinutes(60)));
    book.records.back().alarmSet = true;
    book.records.back().alarmAmount = 10;
    book.records.back().alarmUnit = int(AlarmUnit::Minutes);
    book.records.push_back(untimed("Gym", day.daysFromToday(0)));
    return book;
}

TodoList secondTodoList(const DemoDay& day)
{
    TodoList list;
    list.header = header(secondUser, "todo\\todo.dat");
    list.records.push_back(todo("Water the plants", day.daysFromToday(0), 1));
    return list;
}

bool write(const fs::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    const auto written = writeFileAtomically(path.string(), bytes);
    if (!written) {
        printError(QString::fromStdString(written.error()));
        return false;
    }
    return true;
}

} // namespace

int runDemo(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return ExitUsage;
    const fs::path root(QFile::encodeName(arguments[0]).toStdString());
    const DemoDay day;
    const bool ok =
        write(root / "users.dat", writeUsersDat({firstUser, secondUser})) &&
        write(root / firstUser.folder / "datebook" / "datebook.dat",
              writeDatebook(firstDatebook(day))) &&
        write(root / firstUser.folder / "todo" / "todo.dat", writeTodoList(firstTodoList(day))) &&
        write(root / secondUser.folder / "datebook" / "datebook.dat",
              writeDatebook(secondDatebook(day))) &&
        write(root / secondUser.folder / "todo" / "todo.dat", writeTodoList(secondTodoList(day)));
    if (!ok)
        return ExitUnreadable;
    printOutput(QFile::decodeName(root.string().c_str()).toUtf8() + '\n');
    return ExitOk;
}

} // namespace palmdat
