#include "palmfile/archive.h"
#include "palmfile/reader.h"
#include "palmfile/writer.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

using namespace palmfile;

namespace {

using Bytes = std::vector<std::uint8_t>;

QString samplePath(const char* name)
{
    return QStringLiteral(CHIMEWELL_SAMPLES_DIR "/hebcal-dotcom/") + QLatin1String(name);
}

// A small datebook that uses every repeat kind, a category and a class reference.
Datebook fixtureDatebook()
{
    Datebook d;
    d.header.schemaResourceId = 54;
    d.header.categories.push_back({1, 1, 0, "Business", "Bus"});
    DatebookRecord single;
    single.description = "A";
    single.start = 1700000000;
    single.end = 1700003600;
    d.records.push_back(single);
    for (int kind = 1; kind <= 5; ++kind) {
        DatebookRecord r;
        r.description = "repeat " + std::to_string(kind);
        r.start = r.end = 1700000000 + kind * 86400;
        r.repeat = Repeat{};
        r.repeat->kind = static_cast<RepeatKind>(kind);
        r.repeat->daysMask = 0x2A;
        r.exceptions = {1700100000};
        d.records.push_back(r);
    }
    d.records.push_back(d.records[2]); // CWeekly again, by class reference
    return d;
}

TodoList fixtureTodoList()
{
    TodoList t;
    t.header.categories.push_back({1, 5, 0, "Home", "Home"});
    TodoRecord r;
    r.description = "Buy milk";
    r.note = "2 litres";
    r.due = 1700000000;
    t.records = {r, r};
    return t;
}

std::size_t find(const Bytes& bytes, std::string_view what)
{
    const auto it = std::search(bytes.begin(), bytes.end(), what.begin(), what.end());
    return it == bytes.end() ? std::string::npos : std::size_t(it - bytes.begin());
}

void putU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = std::uint8_t(value >> (8 * i));
}

// Offsets in a written file whose file name and table string are empty: tag, two empty strings,
// next free id, category count, and the categories.
constexpr std::size_t kResourceIdAt = 14 + 4 + 4 + 4 + 1 + 8 + 1 + 3; // one "Business"/"Bus"
constexpr std::size_t kFieldsPerRowAt = kResourceIdAt + 4;
constexpr std::size_t kSchemaAt = kFieldsPerRowAt + 4 + 12 + 2;
constexpr std::size_t kEntriesAt = kSchemaAt + 2 * 15;
constexpr std::size_t kFirstRecordAt = kEntriesAt + 4;

} // namespace

class TestReader : public QObject
{
    Q_OBJECT

private slots:
    void federalHolidaysSample()
    {
        const QString path = samplePath("FederalHolidays.dba");
        if (!QFile::exists(path))
            QSKIP("sample files are absent");
        const auto read = readDatebookFile(path.toStdString());
        QVERIFY2(read.ok(), read.error().c_str());
        const Datebook& d = read.value();
        QCOMPARE(d.header.fileName, std::string("Fed.dba"));
        QCOMPARE(d.header.tableString, std::string());
        QCOMPARE(d.header.nextFreeCategoryId, 128);
        QVERIFY(d.header.categories.empty());
        QCOMPARE(d.header.schemaResourceId, 54);
        QCOMPARE(d.header.schema.size(), size_t(15));
        QCOMPARE(d.records.size(), size_t(10));
        for (const DatebookRecord& r : d.records) {
            QCOMPARE(r.id, 0);
            QCOMPARE(r.status, 1u);
            QCOMPARE(r.position, 0x7FFFFFFF);
            QVERIFY(r.untimed && !r.alarmSet && r.repeat);
        }
        const DatebookRecord& labor = d.records[0];
        QCOMPARE(labor.description, std::string("Labor Day"));
        QCOMPARE(labor.repeat->kind, RepeatKind::MonthlyByDay);
        QCOMPARE(labor.repeat->interval, 12);
        QCOMPARE(labor.repeat->end, TimeValue(0x46DBB0F0));
        QCOMPARE(labor.repeat->dayIndex, 1);
        QCOMPARE(labor.repeat->weekIndex, 0);
        const DatebookRecord& veterans = d.records[2];
        QCOMPARE(veterans.repeat->kind, RepeatKind::Yearly);
        QCOMPARE(veterans.repeat->dayNumber, 11);
        QCOMPARE(veterans.repeat->monthIndex, 10);
        // Christmas is the first object of class 0x8004 (CDateOfYear defined at record 2).
        const DatebookRecord& christmas = d.records[4];
        QCOMPARE(christmas.repeat->kind, RepeatKind::Yearly);
        QCOMPARE(christmas.repeat->dayNumber, 25);
        QCOMPARE(christmas.repeat->monthIndex, 11);
        const DatebookRecord& memorial = d.records[9];
        QCOMPARE(memorial.description, std::string("Memorial Day"));
        QCOMPARE(memorial.repeat->weekIndex, 4);
        QCOMPARE(memorial.exceptions.size(), size_t(4));
        // 2000-05-29 at midnight US Pacific and at midnight in a UTC+1 zone.
        QVERIFY(std::count(memorial.exceptions.begin(), memorial.exceptions.end(), 959583600));
        QVERIFY(std::count(memorial.exceptions.begin(), memorial.exceptions.end(), 959554800));
    }

    void nonFederalHolidaysSample()
    {
        const QString path = samplePath("non-FederalHolidays.dba");
        if (!QFile::exists(path))
            QSKIP("sample files are absent");
        const auto read = readDatebookFile(path.toStdString());
        QVERIFY2(read.ok(), read.error().c_str());
        const auto& records = read.value().records;
        QCOMPARE(records.size(), size_t(6));
        QCOMPARE(records[2].description, std::string("St Patrick's Day"));
        QCOMPARE(records[2].alarmAmount, 0);
        QCOMPARE(records[2].alarmUnit, -1);
        // Mothers' Day defines CDayOfMonth as class 6; Fathers' Day refers to it as 0x8006.
        for (const auto& [index, week] : {std::pair{4, 1}, std::pair{5, 2}}) {
            QCOMPARE(records[index].repeat->kind, RepeatKind::MonthlyByDay);
            QCOMPARE(records[index].repeat->dayIndex, 0);
            QCOMPARE(records[index].repeat->weekIndex, week);
        }
    }

    // Our writer reproduces the desktop's own files byte for byte.
    void samplesRewriteIdentically()
    {
        for (const char* name : {"FederalHolidays.dba", "non-FederalHolidays.dba"}) {
            const QString path = samplePath(name);
            if (!QFile::exists(path))
                QSKIP("sample files are absent");
            const auto bytes = readFileBytes(path.toStdString());
            QVERIFY(bytes.ok());
            const auto read = readDatebook(bytes.value(), name);
            QVERIFY(read.ok());
            QVERIFY(writeDatebook(read.value()) == bytes.value());
        }
    }

    // Every cut of a valid file is an error with a message, never a crash or a partial success.
    void truncationAtEveryOffset()
    {
        std::vector<std::pair<std::string, Bytes>> files = {
            {"datebook.dat", writeDatebook(fixtureDatebook())},
            {"todo.dat", writeTodoList(fixtureTodoList())}};
        const QString sample = samplePath("FederalHolidays.dba");
        if (QFile::exists(sample))
            files.emplace_back("Fed.dba", readFileBytes(sample.toStdString()).value());
        for (const auto& [name, bytes] : files) {
            const bool todo = name == "todo.dat";
            QVERIFY(todo ? readTodoList(bytes, name).ok() : readDatebook(bytes, name).ok());
            for (std::size_t size = 0; size < bytes.size(); ++size) {
                const std::span<const std::uint8_t> cut(bytes.data(), size);
                const std::string error =
                    todo ? readTodoList(cut, name).error() : readDatebook(cut, name).error();
                QVERIFY2(error.starts_with(name + ": "),
                         (name + " cut at " + std::to_string(size)).c_str());
                if (size >= 4)
                    QVERIFY2(error.find(" at offset 0x") != std::string::npos, error.c_str());
            }
        }
    }

    void corruptDatebooks_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QString>("error");
        const int cDayName = int(find(writeDatebook(fixtureDatebook()), "CDayName"));
        const int brandAt = cDayName + 8;
        QTest::newRow("to-do tag") << 0 << 0x54440100u
                                   << "datebook.dat: not a datebook file: this is a to-do file "
                                      "(tag TD10)";
        QTest::newRow("address tag") << 0 << 0x41420100u << "an address file (tag AB10)";
        QTest::newRow("unknown tag") << 0 << 0x12345678u << "unknown tag 0x12345678";
        QTest::newRow("cafebabe") << 0 << 0xBEBAFECAu
                                  << "datebook.dat: unsupported newer Palm Desktop format";
        QTest::newRow("cafebabe swapped")
            << 0 << 0xCAFEBABEu << "datebook.dat: unsupported newer Palm Desktop format";
        QTest::newRow("giant category count")
            << 10 << 0xFFFFFFF0u << "header: 4294967280 categories run past end";
        QTest::newRow("fields per row differ from schema")
            << int(kFieldsPerRowAt) << 16u << "rows have 16 fields but the schema lists 15";
        QTest::newRow("type code 0 in schema")
            << int(kSchemaAt) << 0x00010000u << "schema field 0 has the unsupported type code 0";
        QTest::newRow("type code 4 in schema") << int(kSchemaAt + 2) << 0x00010004u
                                               << "schema field 1 has the unsupported type code 4";
        QTest::newRow("unknown type code in schema")
            << int(kSchemaAt + 4) << 0x00030063u
            << "schema field 2 has the unsupported type code 99";
        QTest::newRow("schema not the datebook's")
            << int(kSchemaAt + 4) << 0x00030005u
            << "schema field 2 has type code 5 where a datebook file has 1";
        QTest::newRow("entries not whole rows")
            << int(kEntriesAt) << 106u << "entry count 106 is not a multiple of the 15 fields";
        QTest::newRow("giant entry count")
            << int(kEntriesAt) << 0xFFFFFFF0u << "286331152 records run past end of file";
        QTest::newRow("field type differs from schema")
            << int(kFirstRecordAt + 8) << 3u
            << QString("record 0: field 1 has type code 3 where the header says 1 at offset %1")
                   .arg(QString::number(kFirstRecordAt + 8, 16).prepend("0x"));
        QTest::newRow("repeat kind 6") << brandAt << 6u << "record 1: unsupported repeat kind 6";
        QTest::newRow("repeat kind 0") << brandAt << 0u << "record 1: unsupported repeat kind 0";
        QTest::newRow("unknown class")
            << cDayName - 6 << 0x00018009u << "record 1: unknown class index 9";
        QTest::newRow("exceptions past end")
            << cDayName - 12 << 0xFFFFFFFFu << "record 1: 1700134911 exception dates run past end";
    }
    void corruptDatebooks()
    {
        QFETCH(int, at);
        QFETCH(uint, value);
        QFETCH(QString, error);
        Bytes bytes = writeDatebook(fixtureDatebook());
        putU32(bytes, std::size_t(at), value);
        const auto read = readDatebook(bytes, "datebook.dat");
        QVERIFY(!read.ok());
        QVERIFY2(QString::fromStdString(read.error()).contains(error), read.error().c_str());
    }

    void accessDatabasesAreNewerFormats_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("jet") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        QTest::newRow("ace") << QByteArray("\x00\x01\x00\x00Standard ACE DB\x00", 20);
    }
    void accessDatabasesAreNewerFormats()
    {
        QFETCH(QByteArray, start);
        const Bytes bytes(start.begin(), start.end());
        QCOMPARE(readTodoList(bytes, "todo.dat").error(),
                 std::string("todo.dat: unsupported newer Palm Desktop format"));
    }

    void stringPastEnd()
    {
        Bytes bytes = writeTodoList(fixtureTodoList());
        const std::size_t lastNote = bytes.size() - 9; // "2 litres"
        bytes[lastNote] = 9;
        char expected[96];
        std::snprintf(expected, sizeof expected,
                      "todo.dat: record 1: string runs past end of file at offset %#zx", lastNote);
        QCOMPARE(readTodoList(bytes, "todo.dat").error(), std::string(expected));
    }

    void datebookGivenToTodoReader()
    {
        QCOMPARE(readTodoList(writeDatebook(fixtureDatebook()), "todo.dat").error(),
                 std::string("todo.dat: not a to-do file: this is a datebook file (tag DB10)"));
    }

    // Palm Desktop 4.1.4 appends fields of its own; they are read past, the classic ones kept.
    void extraTrailingFields()
    {
        const std::vector<std::uint16_t> extras = {64, 5, 2, 66, 8};
        ArchiveWriter out;
        out.u32(0x44420100);
        out.text("datebook.dat");
        out.text("");
        out.u32(128);
        out.u32(0);
        out.u32(54);
        out.u32(20);
        out.u32(0);
        out.u32(1);
        out.u32(2);
        out.u16(20);
        const std::vector<std::uint16_t> schema = {1, 1, 1, 3, 1, 5,  1, 5, 6,  6,
                                                   1, 6, 1, 1, 8, 64, 5, 2, 66, 8};
        for (auto type : schema)
            out.u16(type);
        out.u32(2 * 20);
        for (int record = 0; record < 2; ++record) {
            for (std::size_t field = 0; field < schema.size(); ++field) {
                out.u32(schema[field]);
                if (schema[field] == 5) {
                    out.u32(0);
                    out.text(field == 5 ? "Dentist" : "extra text");
                } else if (schema[field] == 8) {
                    out.count(0);
                    if (field == 14 && record == 0) {
                        out.newObjectTag("CDateOfMonth");
                        for (int v : {4, 1, 0x749E77BF, 0, 15})
                            out.i32(v);
                    } else if (field == 14) {
                        out.objectReference(2); // the first record's repeat object
                    } else {
                        out.nullTag();
                    }
                } else {
                    out.u32(field == 3 ? 1700000000 : 7);
                }
            }
        }
        const auto read = readDatebook(out.data(), "datebook.dat");
        QVERIFY2(read.ok(), read.error().c_str());
        QCOMPARE(read.value().header.schema, schema);
        QCOMPARE(read.value().records.size(), size_t(2));
        for (const DatebookRecord& r : read.value().records) {
            QCOMPARE(r.description, std::string("Dentist"));
            QCOMPARE(r.start, TimeValue(1700000000));
            QCOMPARE(r.alarmUnit, 7);
            QVERIFY(r.repeat);
            QCOMPARE(r.repeat->kind, RepeatKind::MonthlyByDate);
            QCOMPARE(r.repeat->dayNumber, 15);
        }
    }

    void fileErrorsNameTheFile()
    {
        QTemporaryDir dir;
        const std::string missing = QDir(dir.path()).filePath("datebook.dat").toStdString();
        QCOMPARE(readDatebookFile(missing).error(),
                 std::string("datebook.dat: ") + std::strerror(ENOENT));
        QVERIFY(!readTodoListFile(dir.path().toStdString()).ok());
        QFile empty(QDir(dir.path()).filePath("todo.dat"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        QCOMPARE(readTodoListFile(empty.fileName().toStdString()).error(),
                 std::string("todo.dat: the file is empty"));
    }
};

QTEST_GUILESS_MAIN(TestReader)
#include "tst_reader.moc"
