// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/reader.h"

#include "palmfile/archive.h"
#include "palmfile/layout.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace palmfile {

using namespace layout;

namespace {

struct FileKind
{
    std::uint32_t tag;
    const char* name; // "datebook"
    std::span<const std::uint16_t> schema;
};

constexpr FileKind kDatebook{kDatebookTag, "datebook", kDatebookSchema};
constexpr FileKind kTodo{kTodoTag, "to-do", kTodoSchema};

std::string hex(std::uint32_t value)
{
    char out[16];
    std::snprintf(out, sizeof out, "0x%08x", value);
    return out;
}

// Palm Desktop 4.1's "Calendar" files start with 0xCAFEBABE (byte order unclear), Palm Desktop
// 6 keeps Access databases.
bool isNewerFormat(std::span<const std::uint8_t> bytes)
{
    auto startsWith = [&](std::size_t at, std::string_view s) {
        return bytes.size() >= at + s.size() &&
               std::equal(s.begin(), s.end(), bytes.begin() + at,
                          [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
    };
    using namespace std::string_view_literals;
    return startsWith(0, "\xCA\xFE\xBA\xBE"sv) || startsWith(0, "\xBE\xBA\xFE\xCA"sv) ||
           (startsWith(0, "\x00\x01\x00\x00"sv) &&
            (startsWith(4, "Standard Jet DB"sv) || startsWith(4, "Standard ACE DB"sv)));
}

std::string describeTag(std::uint32_t tag)
{
    switch (tag) {
    case kDatebookTag:
        return "a datebook file (tag DB10)";
    case kTodoTag:
        return "a to-do file (tag TD10)";
    case kAddressTag:
        return "an address file (tag AB10)";
    case kMemoTag:
        return "a memo file (tag MP10)";
    }
    return "a file with the unknown tag " + hex(tag);
}

bool isKnownType(std::uint16_t type)
{
    return (type >= TypeInteger && type <= TypeRepeat && type != 4) ||
           (type >= TypeExtraFirst && type <= TypeExtraLast);
}

// The fewest bytes a field of `type` takes, its type code included.
std::size_t minimumFieldSize(std::uint16_t type)
{
    switch (type) {
    case TypeString:
        return 4 + 4 + 1;
    case TypeRepeat:
        return 4 + 2 + 2;
    default:
        return 4 + 4;
    }
}

// Reads the fields of one file's records, each checked against the schema of the header.
class FieldReader
{
public:
    // The fields from `classicCount` on are Palm Desktop 4.1.4 additions.
    FieldReader(ArchiveReader& in, const std::vector<std::uint16_t>& schema,
                std::size_t classicCount)
        : m_in(in), m_schema(schema), m_extraStart(classicCount)
    {}

    std::int32_t integer(std::size_t field)
    {
        typeCode(field);
        return m_in.i32();
    }
    TimeValue time(std::size_t field) { return integer(field); }
    bool boolean(std::size_t field) { return integer(field) != 0; }
    std::string text(std::size_t field)
    {
        typeCode(field);
        m_in.u32(); // always 0 in the desktop's files
        return m_in.text();
    }
    void repeat(std::size_t field, DatebookRecord& record)
    {
        typeCode(field);
        readRepeat(record.exceptions, record.repeat);
    }
    // The fields after the classic ones: read to stay in step, their values unused.
    void skipExtraFields()
    {
        for (std::size_t field = m_extraStart; field < m_schema.size() && m_in.ok(); ++field) {
            const std::uint16_t type = m_schema[field];
            typeCode(field);
            if (type == TypeString) {
                m_in.u32();
                m_in.text();
            } else if (type == TypeRepeat) {
                std::vector<TimeValue> exceptions;
                std::optional<Repeat> repeat;
                readRepeat(exceptions, repeat);
            } else {
                m_in.u32();
            }
        }
    }

private:
    void typeCode(std::size_t field)
    {
        const std::size_t start = m_in.offset();
        const std::uint32_t type = m_in.u32();
        if (m_in.ok() && type != m_schema[field]) {
            m_in.fail("field " + std::to_string(field) + " has type code " + std::to_string(type) +
                          " where the header says " + std::to_string(m_schema[field]),
                      start);
        }
    }

    void readRepeat(std::vector<TimeValue>& exceptions, std::optional<Repeat>& repeat)
    {
        const std::size_t countAt = m_in.offset();
        const std::uint32_t count = m_in.count();
        if (m_in.ok() && count > m_in.remaining() / 4) {
            m_in.fail(std::to_string(count) + " exception dates run past end of file", countAt);
            return;
        }
        exceptions.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i)
            exceptions.push_back(m_in.i32());

        const std::size_t tagAt = m_in.offset();
        const ObjectTag tag = m_in.objectTag();
        if (!m_in.ok())
            return;
        if (tag.kind == ObjectTag::Kind::Null) {
            repeat.reset();
            return;
        }
        if (tag.kind == ObjectTag::Kind::Reference) {
            // MFC writes an object a second time as a reference to the first.
            auto known = std::lower_bound(
                m_repeats.begin(), m_repeats.end(), tag.objectIndex,
                [](const auto& entry, std::uint32_t index) { return entry.first < index; });
            if (known == m_repeats.end() || known->first != tag.objectIndex) {
                m_in.fail("reference to object " + std::to_string(tag.objectIndex) +
                              ", which is not a repeat rule",
                          tagAt);
                return;
            }
            repeat = known->second;
            return;
        }

        Repeat r;
        const std::size_t brandAt = m_in.offset();
        const std::int32_t brand = m_in.i32();
        r.interval = m_in.i32();
        r.end = m_in.i32();
        r.firstDayOfWeek = m_in.i32();
        switch (brand) {
        case 1:
            r.dayIndex = m_in.i32();
            break;
        case 2:
            r.dayIndex = m_in.i32();
            r.daysMask = m_in.u8();
            break;
        case 3:
            r.dayIndex = m_in.i32();
            r.weekIndex = m_in.i32();
            break;
        case 4:
            r.dayNumber = m_in.i32();
            break;
        case 5:
            r.dayNumber = m_in.i32();
            r.monthIndex = m_in.i32();
            break;
        default:
            m_in.fail("unsupported repeat kind " + std::to_string(brand), brandAt);
            return;
        }
        if (!m_in.ok())
            return;
        r.kind = static_cast<RepeatKind>(brand);
        m_repeats.emplace_back(tag.objectIndex, r); // object indices only grow
        repeat = r;
    }

    ArchiveReader& m_in;
    const std::vector<std::uint16_t>& m_schema;
    std::size_t m_extraStart;
    std::vector<std::pair<std::uint32_t, Repeat>> m_repeats;
};

// Reads the header; on return the reader stands at the first record and `recordCount` holds
// their number, or the reader has failed.
FileHeader readHeader(ArchiveReader& in, const FileKind& kind, std::size_t& recordCount)
{
    FileHeader header;
    in.setContext("header");
    header.fileName = in.text();
    header.tableString = in.text();
    header.nextFreeCategoryId = in.i32();

    constexpr std::size_t kMinimumCategorySize = 3 * 4 + 2;
    const std::size_t categoriesAt = in.offset();
    const std::uint32_t categoryCount = in.u32();
    if (in.ok() && categoryCount > in.remaining() / kMinimumCategorySize) {
        in.fail(std::to_string(categoryCount) + " categories run past end of file", categoriesAt);
        return header;
    }
    header.categories.reserve(categoryCount);
    for (std::uint32_t i = 0; i < categoryCount && in.ok(); ++i) {
        Category c;
        c.index = in.i32();
        c.id = in.i32();
        c.dirty = in.i32();
        c.name = in.text();
        c.shortName = in.text();
        header.categories.push_back(std::move(c));
    }

    header.schemaResourceId = in.i32();
    const std::size_t fieldsAt = in.offset();
    const std::uint32_t fieldsPerRow = in.u32();
    header.recordIdPosition = in.i32();
    header.statusPosition = in.i32();
    header.placementPosition = in.i32();
    const std::size_t schemaAt = in.offset();
    const std::uint16_t schemaCount = in.u16();
    if (!in.ok())
        return header;
    if (schemaCount != fieldsPerRow) {
        in.fail("rows have " + std::to_string(fieldsPerRow) + " fields but the schema lists " +
                    std::to_string(schemaCount),
                fieldsAt);
        return header;
    }
    if (schemaCount > in.remaining() / 2) {
        in.fail("schema runs past end of file", schemaAt);
        return header;
    }
    header.schema.reserve(schemaCount);
    for (std::uint16_t i = 0; i < schemaCount; ++i) {
        const std::size_t at = in.offset();
        const std::uint16_t type = in.u16();
        if (!isKnownType(type)) {
            in.fail("schema field " + std::to_string(i) + " has the unsupported type code " +
                        std::to_string(type),
                    at);
            return header;
        }
        if (i < kind.schema.size() && type != kind.schema[i]) {
            in.fail("schema field " + std::to_string(i) + " has type code " + std::to_string(type) +
                        " where a " + kind.name + " file has " + std::to_string(kind.schema[i]),
                    at);
            return header;
        }
        header.schema.push_back(type);
    }
    if (header.schema.size() < kind.schema.size()) {
        in.fail("the schema lists " + std::to_string(header.schema.size()) + " fields where a " +
                    kind.name + " file has " + std::to_string(kind.schema.size()),
                schemaAt);
        return header;
    }

    const std::size_t entriesAt = in.offset();
    const std::uint32_t entries = in.u32();
    if (!in.ok())
        return header;
    if (entries % fieldsPerRow != 0) {
        in.fail("entry count " + std::to_string(entries) + " is not a multiple of the " +
                    std::to_string(fieldsPerRow) + " fields per row",
                entriesAt);
        return header;
    }
    std::size_t minimumRecordSize = 0;
    for (const std::uint16_t type : header.schema)
        minimumRecordSize += minimumFieldSize(type);
    recordCount = entries / fieldsPerRow;
    if (recordCount > in.remaining() / minimumRecordSize) {
        in.fail(std::to_string(recordCount) + " records run past end of file", entriesAt);
        return header;
    }
    return header;
}

template <typename File, typename Record>
Result<File> readFile(std::span<const std::uint8_t> bytes, std::string_view fileName,
                      const FileKind& kind, Record (*readRecord)(FieldReader&))
{
    const std::string name(fileName);
    if (bytes.empty())
        return Result<File>::failure(name + ": the file is empty");
    if (isNewerFormat(bytes))
        return Result<File>::failure(name + ": unsupported newer Palm Desktop format");

    ArchiveReader in(bytes);
    const std::uint32_t tag = in.u32();
    if (!in.ok())
        return Result<File>::failure(name + ": too short for a Palm Desktop file");
    if (tag != kind.tag) {
        return Result<File>::failure(name + ": not a " + kind.name + " file: this is " +
                                     describeTag(tag));
    }

    File file;
    std::size_t recordCount = 0;
    file.header = readHeader(in, kind, recordCount);
    if (!in.ok())
        return Result<File>::failure(in.error().message(fileName));

    FieldReader fields(in, file.header.schema, kind.schema.size());
    file.records.reserve(recordCount);
    for (std::size_t i = 0; i < recordCount; ++i) {
        in.setContext("record", static_cast<std::int64_t>(i));
        Record record = readRecord(fields);
        fields.skipExtraFields();
        if (!in.ok())
            return Result<File>::failure(in.error().message(fileName));
        file.records.push_back(std::move(record));
    }
    return file;
}

DatebookRecord readDatebookRecord(FieldReader& f)
{
    DatebookRecord r;
    r.id = f.integer(0);
    r.status = static_cast<std::uint32_t>(f.integer(1));
    r.position = f.integer(2);
    r.start = f.time(3);
    r.end = f.time(4);
    r.description = f.text(5);
    r.duration = f.integer(6);
    r.note = f.text(7);
    r.untimed = f.boolean(8);
    r.isPrivate = f.boolean(9);
    r.category = f.integer(10);
    r.alarmSet = f.boolean(11);
    r.alarmAmount = f.integer(12);
    r.alarmUnit = f.integer(13);
    f.repeat(14, r);
    return r;
}

TodoRecord readTodoRecord(FieldReader& f)
{
    TodoRecord r;
    r.id = f.integer(0);
    r.status = static_cast<std::uint32_t>(f.integer(1));
    r.position = f.integer(2);
    r.description = f.text(3);
    r.due = f.time(4);
    r.completed = f.boolean(5);
    r.priority = f.integer(6);
    r.isPrivate = f.boolean(7);
    r.category = f.integer(8);
    r.note = f.text(9);
    return r;
}

// Does not wait: opening a FIFO for reading would wait for a writer.
int openForReading(const char* path)
{
#ifdef _WIN32
    // The path is UTF-8; the C library's narrow calls would take it in the ANSI code page.
    const std::string_view text(path);
    const std::filesystem::path wide(std::u8string(text.begin(), text.end()));
    const int fd = ::_wopen(wide.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
    // Windows refuses a folder as "permission denied".
    std::error_code error;
    if (fd < 0 && std::filesystem::is_directory(wide, error))
        errno = EISDIR;
    return fd;
#else
    return ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
#endif
}

struct FileDescriptor
{
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

Result<Datebook> readDatebook(std::span<const std::uint8_t> bytes, std::string_view fileName)
{
    return readFile<Datebook>(bytes, fileName, kDatebook, &readDatebookRecord);
}

Result<TodoList> readTodoList(std::span<const std::uint8_t> bytes, std::string_view fileName)
{
    return readFile<TodoList>(bytes, fileName, kTodo, &readTodoRecord);
}

Result<std::vector<std::uint8_t>> readFileBytes(const std::string& path, std::size_t maxSize)
{
    using Bytes = Result<std::vector<std::uint8_t>>;
    const auto failure = [&](const std::string& why) { return Bytes::failure(path + ": " + why); };
    const FileDescriptor file{openForReading(path.c_str())};
    // Checked on the opened file: the name may point elsewhere by now.
    struct stat status
    {};
    if (file.fd < 0 || ::fstat(file.fd, &status) != 0)
        return failure(std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        return failure(std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode))
        return failure("not a regular file");
    const std::string tooLarge = "larger than " + std::to_string(maxSize) + " bytes";
    if (std::uintmax_t(status.st_size) > maxSize)
        return failure(tooLarge);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(status.st_size));
    // The size is only a first guess: some files (as in /proc) claim none and go on and on.
    std::uint8_t chunk[64 * 1024];
    for (;;) {
        const auto got = ::read(file.fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failure(std::strerror(errno));
        if (got == 0)
            return bytes;
        if (bytes.size() + std::size_t(got) > maxSize)
            return failure(tooLarge);
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
}

Result<Datebook> readDatebookFile(const std::string& path)
{
    auto bytes = readFileBytes(path);
    if (!bytes)
        return Result<Datebook>::failure(bytes.error());
    return readDatebook(bytes.value(), path);
}

Result<TodoList> readTodoListFile(const std::string& path)
{
    auto bytes = readFileBytes(path);
    if (!bytes)
        return Result<TodoList>::failure(bytes.error());
    return readTodoList(bytes.value(), path);
}

} // namespace palmfile
