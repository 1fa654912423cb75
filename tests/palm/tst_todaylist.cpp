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

    std::unique_ptr<TodayListBuilder> builder(const QString& prefix = " To Do: ",
                                              const QLocale& locale = QLocale("de_DE"))
    {
        return std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"), prefix,
                                                  locale);
    }

    // The to-do lines of a list of `records`.
    QStringList toDoLines(std::vector<palmfile::TodoRecord> records)
    {
        writeTodos(m_settings.todopath, std::move(records),
                   {{1, 1, 0, "Business", "Busi"}, {2, 2, 0, "Personal", "Pers"}});
        QStringList list;
        builder()->buildTodayList(m_settings, list, true);
        return list.filter(QStringLiteral(" To Do: "));
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
        writeTodos(m_settings.todopath, {todo("Tax return")});
    }

    void dueItems()
    {
        palmfile::TodoRecord done = todo("Done", daysFromToday(-1));
        done.completed = true;
        palmfile::TodoRecord secret = todo("Secret", daysFromToday(0));
        secret.isPrivate = true;
        const std::vector records = {
            todo("Tax return", daysFromToday(-1), 4, 1),
            todo("Presents", daysFromToday(0), 2, 2),
            todo("Later", daysFromToday(1)),
            todo("Tomorrow, written east of here", daysFromToday(1) - 3600),
            todo("Today, written east of here", daysFromToday(0) - 3600),
            done,
            secret,
            todo("Unknown category", daysFromToday(0), 3, 9),
        };
        QCOMPARE(toDoLines(records),
                 (QStringList{" To Do: (1)  15.05.24: Today, written east of here [Unfiled]",
                              " To Do: (2)  15.05.24: Presents [Personal]",
                              " To Do: (3)  15.05.24: Unknown category []",
                              " To Do: (4)  14.05.24: Tax return [Business]"}));

        m_settings.showprivate = 1;
        QVERIFY(toDoLines(records).contains(" To Do: (1)  15.05.24: Secret [Unfiled]"));
    }

    void undatedItems_data()
    {
        QTest::addColumn<int>("maxprio");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("up to 1, no priority shown")
            << 1 << QStringList{" To Do: Call Ann [Unfiled]"};
        QTest::newRow("out of range 9") << 9
                                        << QStringList{" To Do: (1)  Call Ann [Unfiled]",
                                                       " To Do: (3)  Paint fence  shed [Personal]",
                                                       " To Do: (5)  Someday [Unfiled]"};
    }

    void undatedItems()
    {
        QFETCH(int, maxprio);
        QFETCH(QStringList, lines);
        const std::vector records = {todo("Paint fence\r\nshed", noDate(), 3, 2),
                                     todo("Someday", noDate(), 5), todo("Call Ann", noDate(), 1)};
        QCOMPARE(toDoLines(records), QStringList{});
        m_settings.showtodosnodate = 1;
        m_settings.maxprio = maxprio;
        QCOMPARE(toDoLines(records), lines);
    }

    // Lines sort as text, blank-led (untimed) lines last, so the to-do prefix decides where
    // the to-dos go.
    void displayOrder_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("English prefix")
            << " To Do: "
            << QStringList{"08:30 Team", "10:00 Dentist", " Anniversary", " Birthday",
                           " To Do: (1)  14.05.24: Tax return [Unfiled]"};
        QTest::newRow("German prefix")
            << "Aufgaben:"
            << QStringList{"08:30 Team", "10:00 Dentist",
                           "Aufgaben:(1)  14.05.24: Tax return [Unfiled]", " Anniversary",
                           " Birthday"};
    }

    void displayOrder()
    {
        QFETCH(QString, prefix);
        QFETCH(QStringList, lines);
        auto today = builder(prefix);
        QStringList list;
        QCOMPARE(today->buildTodayList(m_settings, list, true), 2);
        QCOMPARE(list, lines);
        QCOMPARE(today->alarms().size(), std::size_t(2));
        QCOMPARE(today->alarms()[0].description, QString("Team"));
    }

    // A file that cannot be read hides nothing of the other: its lines and alarms stay, and
    // the failure names the file and the reason. No to-do file at all means no to-dos.
    void aFailingFileHidesNothingOfTheOther_data()
    {
        QTest::addColumn<QString>("broken");
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("datebookFailure");
        QTest::addColumn<QString>("toDoFailure");
        const QStringList appointments{"08:30 Team", "10:00 Dentist", " Anniversary", " Birthday"};
        const QByteArray garbage(200, 'x');
        QTest::newRow("no to-do file")
            << "todo.dat" << QByteArray() << 2 << appointments << QString() << QString();
        QTest::newRow("unreadable to-do list")
            << "todo.dat" << garbage << -1 << appointments << QString() << "todo.dat: not a";
        QTest::newRow("no datebook") << "datebook.dat" << QByteArray() << -1
                                     << QStringList{" To Do: (1)  14.05.24: Tax return [Unfiled]"}
                                     << "datebook.dat: no such file" << QString();
        QTest::newRow("unreadable datebook")
            << "datebook.dat" << garbage << -1
            << QStringList{" To Do: (1)  14.05.24: Tax return [Unfiled]"} << "datebook.dat: not a"
            << QString();
    }

    void aFailingFileHidesNothingOfTheOther()
    {
        QFETCH(QString, broken);
        QFETCH(QByteArray, content);
        QFETCH(int, result);
        QFETCH(QStringList, lines);
        QFETCH(QString, datebookFailure);
        QFETCH(QString, toDoFailure);
        auto today = builder();
        QStringList list;
        QCOMPARE(today->buildTodayList(m_settings, list, true), 2);
        m_clock.set(at(kToday, 7, 1));

        QFile::remove(m_dir.filePath(broken));
        if (!content.isEmpty())
            writeBytes(m_dir.filePath(broken),
                       std::vector<std::uint8_t>(content.begin(), content.end()));
        list.clear();
        QCOMPARE(today->buildTodayList(m_settings, list, true), result);
        QCOMPARE(list, lines);
        QCOMPARE(today->alarms().size(), std::size_t(2));
        const auto failure = [&](const QString& given, const QString& expected) {
            return expected.isEmpty() ? given.isEmpty() : given.contains(m_dir.filePath(expected));
        };
        QVERIFY2(failure(today->datebookFailure(), datebookFailure),
                 qPrintable(today->datebookFailure()));
        QVERIFY2(failure(today->toDoFailure(), toDoFailure), qPrintable(today->toDoFailure()));
    }

    // Alarms with equal starts keep the order of the exchange sort, which picks the one that
    // rings first: random lists of few distinct starts against the procedure itself.
    void equalStartsKeepTheExchangeOrder()
    {
        const auto exchangeSort = [](AlarmList& alarms) {
            for (std::size_t i = 1; i < alarms.size(); ++i)
                for (std::size_t j = 0; j < i; ++j)
                    if (alarms[i].startTime < alarms[j].startTime)
                        std::swap(alarms[i], alarms[j]);
        };
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
            exchangeSort(alarms);
            QStringList none;
            today->sortTodayList(none);
            QCOMPARE(order(today->alarms()), order(alarms));
        }
    }
};

QTEST_GUILESS_MAIN(TestTodayList)
#include "tst_todaylist.moc"
