#include "palmfile/reader.h"
#include "palmfile/writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sstream>

using namespace palmfile;

namespace {

// Every field in one line, so a failed comparison shows what differs.
std::string describe(const FileHeader& h)
{
    std::ostringstream s;
    s << h.fileName << '|' << h.tableString << '|' << h.nextFreeCategoryId << '|'
      << h.schemaResourceId << '|' << h.recordIdPosition << h.statusPosition << h.placementPosition;
    for (const Category& c : h.categories)
        s << " [" << c.index << ',' << c.id << ',' << c.dirty << ',' << c.name << ',' << c.shortName
          << ']';
    return s.str();
}

std::string describe(const DatebookRecord& r)
{
    std::ostringstream s;
    s << r.id << '|' << r.status << '|' << r.position << '|' << r.start << '|' << r.end << '|'
      << r.description << '|' << r.duration << '|' << r.note << '|' << r.untimed << r.isPrivate
      << '|' << r.category << '|' << r.alarmSet << ',' << r.alarmAmount << ',' << r.alarmUnit
      << "| exceptions";
    for (TimeValue t : r.exceptions)
        s << ' ' << t;
    if (r.repeat) {
        const Repeat& p = *r.repeat;
        s << " | repeat " << int(p.kind) << ',' << p.interval << ',' << p.end << ','
          << p.firstDayOfWeek << ',' << p.dayIndex << ',' << int(p.daysMask) << ',' << p.weekIndex
          << ',' << p.dayNumber << ',' << p.monthIndex;
    }
    return s.str();
}

std::string describe(const TodoRecord& r)
{
    std::ostringstream s;
    s << r.id << '|' << r.status << '|' << r.position << '|' << r.description << '|' << r.due << '|'
      << r.completed << '|' << r.priority << '|' << r.isPrivate << '|' << r.category << '|'
      << r.note;
    return s.str();
}

template <typename File> void compareFiles(const File& read, const File& written)
{
    QCOMPARE(describe(read.header), describe(written.header));
    QCOMPARE(read.records.size(), written.records.size());
    for (std::size_t i = 0; i < written.records.size(); ++i)
        QCOMPARE(describe(read.records[i]), describe(written.records[i]));
}

Repeat repeatOf(RepeatKind kind)
{
    Repeat r;
    r.kind = kind;
    r.interval = 2;
    r.end = 1956542399; // no end
    switch (kind) {
    case RepeatKind::Daily:
        r.dayIndex = 3;
        break;
    case RepeatKind::Weekly:
        r.firstDayOfWeek = r.dayIndex = 1;
        r.daysMask = 0x7F;
        break;
    case RepeatKind::MonthlyByDay:
        r.dayIndex = 5;
        r.weekIndex = 4;
        break;
    case RepeatKind::MonthlyByDate:
        r.dayNumber = 31;
        break;
    case RepeatKind::Yearly:
        r.dayNumber = 29;
        r.monthIndex = 1;
        break;
    }
    return r;
}

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    void datebookRoundTrip()
    {
        Datebook d;
        d.header.fileName = "C:\\Palm\\GewirtD\\datebook\\datebook.dat";
        d.header.tableString = "100 16";
        d.header.schemaResourceId = 54;
        d.header.categories = {{1, 17, 1, "Büro", "Bü"}, {2, 18, 0, "Privat", "Priv"}};
        int n = 0;
        for (RepeatKind kind : {RepeatKind::Daily, RepeatKind::Weekly, RepeatKind::MonthlyByDay,
                                RepeatKind::MonthlyByDate, RepeatKind::Yearly}) {
            // Two of each kind: the second object of a class is written as a class reference.
            for (int copy = 0; copy < 2; ++copy) {
                DatebookRecord r;
                r.id = 1000 + n++;
                r.start = 1711875600 + copy; // 2024-03-31, a DST day in Europe
                r.end = r.start + 5400;
                r.description = "Repeat " + std::to_string(int(kind));
                r.repeat = repeatOf(kind);
                r.exceptions = {1712000000, -86400};
                d.records.push_back(r);
            }
        }
        DatebookRecord plain;
        plain.status = StatusModified | StatusDeleted;
        plain.start = -1000000000; // before 1970
        plain.end = plain.start;
        plain.description = "Geburtstag Oma — “Kaffee”";
        plain.note = "line one\r\nline two\r\n## third-party markup";
        plain.untimed = plain.isPrivate = true;
        plain.category = 2;
        plain.alarmSet = true;
        plain.alarmAmount = 99;
        plain.alarmUnit = 2;
        d.records.push_back(plain);
        plain.status = StatusArchived;
        plain.note = std::string(70000, 'n');
        plain.description = std::string(300, 'd');
        plain.alarmSet = false;
        plain.alarmAmount = 0;
        plain.alarmUnit = -1;
        d.records.push_back(plain);

        const auto read = readDatebook(writeDatebook(d), "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        compareFiles(read.value(), d);
        QVERIFY(read.value().records[10].isDeleted());
        QVERIFY(read.value().records[11].isArchived());
    }

    void todoRoundTrip()
    {
        TodoList t;
        t.header.categories = {{1, 1, 0, "Einkauf", "Eink"}};
        TodoRecord undated;
        undated.description = "Steuererklärung";
        undated.due = 1956553199;
        undated.priority = 3;
        TodoRecord done;
        done.id = 77;
        done.status = StatusDeleted;
        done.description = "call back";
        done.note = "about the\r\ninvoice";
        done.due = 1700000000;
        done.completed = done.isPrivate = true;
        done.priority = 5;
        done.category = 1;
        t.records = {undated, done, TodoRecord{}};

        const auto read = readTodoList(writeTodoList(t), "todo.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        compareFiles(read.value(), t);
    }

    void timesBeyondTheFileRangeAreClamped()
    {
        TodoList t;
        t.records.resize(2);
        t.records[0].due = TimeValue(1) << 40;
        t.records[1].due = -(TimeValue(1) << 40);
        const auto read = readTodoList(writeTodoList(t), "todo.dat");
        QVERIFY(read.ok());
        QCOMPARE(read.value().records[0].due, TimeValue(INT32_MAX));
        QCOMPARE(read.value().records[1].due, TimeValue(INT32_MIN));
    }

    void atomicWrite()
    {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath("todo.dat");
        const std::vector<std::uint8_t> first(10, 'a');
        const std::vector<std::uint8_t> second(3, 'b');
        QCOMPARE(writeFileAtomically(path.toStdString(), first).value(), size_t(10));
        QCOMPARE(writeFileAtomically(path.toStdString(), second).value(), size_t(3));
        QCOMPARE(readFileBytes(path.toStdString()).value(), second);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"todo.dat"});

        const auto failed =
            writeFileAtomically(QDir(dir.path()).filePath("no/todo.dat").toStdString(), first);
        QVERIFY(!failed.ok());
        QVERIFY2(failed.error().starts_with("todo.dat: "), failed.error().c_str());
    }
};

QTEST_GUILESS_MAIN(TestWriter)
#include "tst_writer.moc"
