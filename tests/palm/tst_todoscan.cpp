// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/settings.h"
#include "palm/todoscan.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono;

namespace {

const LocalDate kToday{2024y, May, 15d};

palmfile::TodoRecord todo(const std::string& description, TimeValue due, int priority = 1,
                          int category = 0)
{
    palmfile::TodoRecord record;
    record.description = description;
    record.due = due;
    record.priority = priority;
    record.category = category;
    return record;
}

TimeValue daysFromToday(int days)
{
    return palmfile::localMidnight(sys_days(kToday) + std::chrono::days(days));
}

} // namespace

class TestToDoScan : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeClock m_clock;
    std::unique_ptr<PrivateCopies> m_copies;
    std::unique_ptr<ToDoScan> m_scan;
    Settings m_settings;
    QStringList m_lines;

    QString todoFile() const { return m_dir.filePath("todo.dat"); }

    QStringList linesOf(std::vector<palmfile::TodoRecord> records)
    {
        writeTodos(todoFile(), std::move(records),
                   {{1, 1, 0, "Business", "Busi"}, {2, 2, 0, "Personal", "Pers"}});
        if (m_scan->scanToDos(m_settings, m_lines, false) != 1)
            qWarning("scan failed");
        return m_lines;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        pinTimeZone("Europe/Berlin");
        m_clock.set(at(kToday, 10, 0));
        m_copies = std::make_unique<PrivateCopies>(m_dir.filePath("copies"));
        m_scan = std::make_unique<ToDoScan>(m_clock, QLocale("de_DE"), *m_copies, " To Do: ");
        m_settings = Settings();
        m_settings.todopath = todoFile();
        m_lines.clear();
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
        QCOMPARE(linesOf(records),
                 (QStringList{" To Do: (1)  15.05.24: Today, written east of here [Unfiled]",
                              " To Do: (2)  15.05.24: Presents [Personal]",
                              " To Do: (3)  15.05.24: Unknown category []",
                              " To Do: (4)  14.05.24: Tax return [Business]"}));

        m_settings.showprivate = 1;
        QVERIFY(linesOf(records).contains(" To Do: (1)  15.05.24: Secret [Unfiled]"));
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
        QCOMPARE(linesOf(records), QStringList{});
        m_settings.showtodosnodate = 1;
        m_settings.maxprio = maxprio;
        QCOMPARE(linesOf(records), lines);
    }

    void unchangedSmallAndMissingFiles()
    {
        QCOMPARE(linesOf({todo("Tax return", daysFromToday(-1))}).size(), 1);
        QCOMPARE(m_scan->scanToDos(m_settings, m_lines, false), 0);

        // Half written (for a while), then emptied: a to-do list without items is small.
        writeBytes(todoFile(), std::vector<std::uint8_t>(50, 'x'));
        QCOMPARE(m_scan->scanToDos(m_settings, m_lines, true), 0);
        QCOMPARE(m_lines.size(), 1);
        writeTodos(todoFile(), {});
        QVERIFY(QFileInfo(todoFile()).size() < 100);
        QCOMPARE(m_scan->scanToDos(m_settings, m_lines, false), 1);
        QVERIFY(m_lines.isEmpty());

        // No file is no to-do: news once, then unchanged until the file appears.
        QFile::remove(todoFile());
        QCOMPARE(m_scan->scanToDos(m_settings, m_lines, false), 1);
        QVERIFY(m_lines.isEmpty());
        QCOMPARE(m_scan->scanToDos(m_settings, m_lines, false), 0);
        QCOMPARE(linesOf({todo("Tax return", daysFromToday(-1))}).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestToDoScan)
#include "tst_todoscan.moc"
