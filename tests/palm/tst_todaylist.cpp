// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

#include <random>

using namespace std::chrono;

namespace {

const LocalDate kToday{2024y, May, 15d};

TimeValue daysFromToday(int days)
{
    return palmfile::localMidnight(sys_days(kToday) + std::chrono::days(days));
}

palmfile::TodoRecord todo(const std::string& description, TimeValue due = daysFromToday(-1),
                          int priority = 1, int category = 0)
{
    palmfile::TodoRecord record;
    record.description = description;
    record.due = due;
    record.priority = priority;
    record.category = category;
    return record;
}

} // namespace

class TestTodayList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    Settings m_settings;

    std::unique_ptr<TodayListBuilder> builder()
    {
        return std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"),
                                                  " To Do: ", QLocale("de_DE"));
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        pinTimeZone("Europe/Berlin");
        m_clock.set(at(kToday, 7, 0));
        m_settings = Settings();
        m_settings.datebookpath = m_dir.filePath("datebook.dat");
        m_settings.todopath = m_dir.filePath("todo.dat");
        writeDatebook(m_settings.datebookpath,
                      {appointment("Dentist", at(kToday, 10, 0)), allDay("Birthday", kToday),
                       appointment("Team", at(kToday, 8, 30)), allDay("Anniversary", kToday)});
    }

    // Due by today, most urgent first; undated ones only when asked for.
    void toDos()
    {
        const std::vector records = {todo("Tax return", daysFromToday(-1), 4, 1),
                                     todo("Presents", daysFromToday(0), 2, 2),
                                     todo("Paint fence\r\nshed", noDate(), 3, 2)};
        const auto lines = [&] {
            writeTodos(m_settings.todopath, records,
                       {{1, 1, 0, "Business", "Busi"}, {2, 2, 0, "Personal", "Pers"}});
            QStringList list;
            builder()->buildTodayList(m_settings, list, true);
            return list.filter(" To Do: ");
        };
        QCOMPARE(lines(), (QStringList{" To Do: (2)  15.05.24: Presents [Personal]",
                                       " To Do: (4)  14.05.24: Tax return [Business]"}));
        m_settings.showtodosnodate = 1;
        m_settings.maxprio = 3;
        QCOMPARE(lines(), (QStringList{" To Do: (2)  15.05.24: Presents [Personal]",
                                       " To Do: (3)  Paint fence  shed [Personal]",
                                       " To Do: (4)  14.05.24: Tax return [Business]"}));
    }

    // Timed lines by time, then the rest as text. A to-do list that fails, or is missing, hides
    // none of the appointments' lines and alarms; a failure says why.
    void aFailingToDoListHidesNothing()
    {
        const QStringList appointments{"08:30 Team", "10:00 Dentist", " Anniversary", " Birthday"};
        for (const bool unreadable : {false, true}) {
            writeTodos(m_settings.todopath, {todo("Tax return")});
            auto today = builder();
            QStringList list;
            QCOMPARE(today->buildTodayList(m_settings, list, true), 2);
            QCOMPARE(list,
                     appointments + QStringList{" To Do: (1)  14.05.24: Tax return [Unfiled]"});
            QCOMPARE(today->alarms()[0].description, QString("Team"));

            QFile::remove(m_settings.todopath);
            if (unreadable)
                writeBytes(m_settings.todopath, std::vector<std::uint8_t>(200, 'x'));
            list.clear();
            QCOMPARE(today->buildTodayList(m_settings, list, true), unreadable ? -1 : 2);
            QCOMPARE(list, appointments);
            QCOMPARE(today->alarms().size(), std::size_t(2));
            QCOMPARE(today->toDoFailure().contains(m_settings.todopath), unreadable);
        }
    }

    // Alarms with equal starts keep the order of the exchange sort, which picks the one that
    // rings first: random lists of few distinct starts against the procedure itself.
    void equalStartsKeepTheExchangeOrder()
    {
        const auto order = [](const AlarmList& alarms) {
            QStringList descriptions;
            for (const AlarmEntry& e : alarms)
                descriptions << e.description;
            return descriptions;
        };
        auto today = builder();
        std::mt19937 random(4711);
        for (int round = 0; round < 3000; ++round) {
            AlarmList alarms(random() % 40);
            const unsigned starts = 1 + random() % 6;
            for (std::size_t i = 0; i < alarms.size(); ++i) {
                alarms[i].startTime = random() % starts;
                alarms[i].description = QString::number(i);
            }
            today->alarms() = alarms;
            for (std::size_t i = 1; i < alarms.size(); ++i)
                for (std::size_t j = 0; j < i; ++j)
                    if (alarms[i].startTime < alarms[j].startTime)
                        std::swap(alarms[i], alarms[j]);
            QStringList none;
            today->sortTodayList(none);
            QCOMPARE(order(today->alarms()), order(alarms));
        }
    }
};

QTEST_GUILESS_MAIN(TestTodayList)
#include "tst_todaylist.moc"
