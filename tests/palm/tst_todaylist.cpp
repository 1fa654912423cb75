#include "app/settings.h"
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

    std::unique_ptr<TodayListBuilder> builder(const QLocale& locale = QLocale("de_DE"))
    {
        return std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"),
                                                  " To Do: ", locale);
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

    void linesInDisplayOrder()
    {
        auto today = builder();
        QStringList list;
        QCOMPARE(today->BuildTodayList(m_settings, list, true), 2);
        QCOMPARE(list, (QStringList{"08:30 Team", "10:00 Dentist", " Anniversary", " Birthday",
                                    " To Do: (1)  14.05.24: Tax return [Unfiled]"}));
        QCOMPARE(today->alarms().size(), std::size_t(2));
        QCOMPARE(today->alarms()[0].description, QString("Team"));
    }

    void germanToDoLinesSortBetweenTimedAndUntimed()
    {
        auto today = std::make_unique<TodayListBuilder>(m_clock, m_dir.filePath("copies"),
                                                        "Aufgaben:", QLocale("de_DE"));
        QStringList list;
        today->BuildTodayList(m_settings, list, true);
        QCOMPARE(list, (QStringList{"08:30 Team", "10:00 Dentist",
                                    "Aufgaben:(1)  14.05.24: Tax return [Unfiled]", " Anniversary",
                                    " Birthday"}));
    }

    void onlyChangedFilesRebuild()
    {
        auto today = builder();
        QStringList list;
        QCOMPARE(today->BuildTodayList(m_settings, list, true), 2);

        list = QStringList{"untouched"};
        QCOMPARE(today->BuildTodayList(m_settings, list, false), 0);
        QCOMPARE(list, QStringList{"untouched"});

        writeTodos(m_settings.todopath, {overdue("Tax return"), overdue("Call bank")});
        QCOMPARE(today->BuildTodayList(m_settings, list, false), 1);
        QCOMPARE(list.size(), 6);
        QCOMPARE(list.first(), QString("08:30 Team"));

        // Without to-dos the to-do file is not even looked at.
        m_settings.showtodos = 0;
        QFile::remove(m_settings.todopath);
        QCOMPARE(today->BuildTodayList(m_settings, list, true), 1);
        QCOMPARE(list.size(), 4);
    }

    void failures()
    {
        auto today = builder();
        QStringList list{"untouched"};
        QFile::remove(m_settings.todopath);
        QCOMPARE(today->BuildTodayList(m_settings, list, true), -1);
        QCOMPARE(list, QStringList{"untouched"});
        // The datebook was scanned before the to-do list failed.
        QCOMPARE(today->alarms().size(), std::size_t(2));

        m_settings.datebookpath.clear();
        QCOMPARE(today->BuildTodayList(m_settings, list, true), -1);
        QCOMPARE(today->alarms().size(), std::size_t(2));
    }

    void twelveHourTimesSortAsText()
    {
        writeDatebook(m_settings.datebookpath, {appointment("Breakfast", at(kToday, 9, 0)),
                                                appointment("Lunch", at(kToday, 13, 0))});
        auto today = builder(QLocale("en_US"));
        QStringList list;
        today->BuildTodayList(m_settings, list, true);
        for (QString& line : list)
            line.replace(QChar(0x202F), ' ');
        QCOMPARE(list.mid(0, 2), (QStringList{"01:00 PM Lunch", "09:00 AM Breakfast"}));
    }

    void equalStartsKeepTheExchangeOrder()
    {
        auto today = builder();
        AlarmList& alarms = today->alarms();
        const auto entry = [](TimeValue start, const char* description) {
            AlarmEntry e;
            e.startTime = start;
            e.description = description;
            return e;
        };
        alarms = {entry(5, "A"), entry(7, "B"), entry(7, "C"), entry(6, "D")};
        QStringList none;
        today->SortTodayList(none);
        QStringList order;
        for (const AlarmEntry& e : alarms)
            order << e.description;
        // Moving D in behind A carries B past C.
        QCOMPARE(order, (QStringList{"A", "D", "C", "B"}));
    }
};

QTEST_GUILESS_MAIN(TestTodayList)
#include "tst_todaylist.moc"
