// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "palmfixtures.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace std::chrono;

namespace {

const LocalDate kToday{2024y, May, 15d};

palmfile::TodoRecord overdue(const std::string& description)
{
    palmfile::TodoRecord record;
    record.description = description;
    record.due = palmfile::localMidnight(sys_days(kToday) - days(1));
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
        writeTodos(m_settings.todopath, {overdue("Tax return")});
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

    void onlyChangedFilesRebuild()
    {
        auto today = builder();
        QStringList list;
        QCOMPARE(today->buildTodayList(m_settings, list, true), 2);
        list = QStringList{"untouched"};
        QCOMPARE(today->buildTodayList(m_settings, list, false), 0);
        QCOMPARE(list, QStringList{"untouched"});

        writeTodos(m_settings.todopath, {overdue("Tax return"), overdue("Call bank")});
        QCOMPARE(today->buildTodayList(m_settings, list, false), 1);
        QCOMPARE(list.size(), 6);

        // Without to-dos the to-do file is not even looked at.
        m_settings.showtodos = 0;
        QFile::remove(m_settings.todopath);
        QCOMPARE(today->buildTodayList(m_settings, list, true), 1);
        QCOMPARE(list.size(), 4);
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
    // rings first.
    void equalStartsKeepTheExchangeOrder()
    {
        auto today = builder();
        const auto entry = [](TimeValue start, const char* description) {
            AlarmEntry e;
            e.startTime = start;
            e.description = description;
            return e;
        };
        today->alarms() = {entry(5, "A"), entry(7, "B"), entry(7, "C"), entry(6, "D")};
        QStringList none;
        today->sortTodayList(none);
        QStringList order;
        for (const AlarmEntry& e : today->alarms())
            order << e.description;
        // Moving D in behind A carries B past C.
        QCOMPARE(order, (QStringList{"A", "D", "C", "B"}));
    }
};

QTEST_GUILESS_MAIN(TestTodayList)
#include "tst_todaylist.moc"
