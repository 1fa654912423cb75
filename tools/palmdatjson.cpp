// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmdatjson.h"

#include "palmfile/layout.h"
#include "palmfile/localdate.h"
#include "palmfile/recurrence.h"

#include <QDate>
#include <QJsonArray>
#include <QTime>

#include <cmath>
#include <limits>
#include <type_traits>

using namespace palmfile;

namespace palmdat {

namespace {

const QStringList kRepeatKinds = {"daily", "weekly", "monthly-by-day", "monthly-by-date",
                                  "yearly"}; // RepeatKind 1..5
const QStringList kAlarmUnits = {"minutes", "hours", "days"};

constexpr qint64 kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr qint64 kInt32Max = std::numeric_limits<std::int32_t>::max();

QString dateText(LocalDate date)
{
    return QString::asprintf("%04d-%02u-%02u", int(date.year()), unsigned(date.month()),
                             unsigned(date.day()));
}

QString timeText(TimeValue t)
{
    const TimeOfDay time = localTimeOfDay(t);
    return dateText(localDateOf(t)) +
           QString::asprintf("T%02d:%02d:%02d", time.hour, time.minute, time.second);
}

QJsonValue dateOrNull(TimeValue t)
{
    return isNoDate(t) ? QJsonValue() : QJsonValue(dateText(roundedDateOf(t)));
}

// What Palm Desktop writes for "no date": 2031-12-31 23:59:59 local time.
TimeValue noDate()
{
    using namespace std::chrono;
    return localTime(year(2031) / December / 31, 23, 59, 59);
}

int weekdayOf(LocalDate date)
{
    return int(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding());
}

std::optional<LocalDate> parseDate(QStringView text)
{
    if (text.size() != 10)
        return std::nullopt;
    const QDate date = QDate::fromString(text.toString(), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    return LocalDate(std::chrono::year(date.year()), std::chrono::month(unsigned(date.month())),
                     std::chrono::day(unsigned(date.day())));
}

QJsonObject repeatToJson(const Repeat& r)
{
    QJsonObject o{{"kind", kRepeatKinds.value(int(r.kind) - 1)},
                  {"interval", r.interval},
                  {"end", dateOrNull(r.end)},
                  {"first_day_of_week", r.firstDayOfWeek}};
    switch (r.kind) {
    case RepeatKind::Daily:
        break;
    case RepeatKind::Weekly: {
        QJsonArray days;
        for (int day = 0; day < 7; ++day) {
            if (r.daysMask & (1 << day))
                days.append(day);
        }
        o.insert("days", days);
        break;
    }
    case RepeatKind::MonthlyByDay:
        o.insert("weekday", r.dayIndex);
        o.insert("week", r.weekIndex);
        break;
    case RepeatKind::MonthlyByDate:
        o.insert("day", r.dayNumber);
        break;
    case RepeatKind::Yearly:
        o.insert("day", r.dayNumber);
        o.insert("month", r.monthIndex + 1);
        break;
    }
    return o;
}

QJsonValue alarmToJson(const DatebookRecord& r)
{
    if (!r.alarmSet)
        return QJsonValue();
    const QJsonValue unit = r.alarmUnit >= 0 && r.alarmUnit < kAlarmUnits.size()
                                ? QJsonValue(kAlarmUnits[r.alarmUnit])
                                : QJsonValue(r.alarmUnit);
    return QJsonObject{{"amount", r.alarmAmount}, {"unit", unit}};
}

QJsonObject recordToJson(const DatebookRecord& r)
{
    QJsonArray exceptions;
    for (const TimeValue t : r.exceptions)
        exceptions.append(dateText(roundedDateOf(t)));
    return {{"id", r.id},
            {"status", qint64(r.status)},
            {"position", r.position},
            {"start", timeText(r.start)},
            {"end", timeText(r.end)},
            {"description", QString::fromStdString(r.description)},
            {"note", QString::fromStdString(r.note)},
            {"untimed", r.untimed},
            {"private", r.isPrivate},
            {"category", r.category},
            {"alarm", alarmToJson(r)},
            {"alarm_minutes", alarmAdvanceMinutes(r)},
            {"repeat", r.repeat ? QJsonValue(repeatToJson(*r.repeat)) : QJsonValue()},
            {"exceptions", exceptions}};
}

QJsonObject recordToJson(const TodoRecord& r)
{
    return {{"id", r.id},
            {"status", qint64(r.status)},
            {"position", r.position},
            {"description", QString::fromStdString(r.description)},
            {"note", QString::fromStdString(r.note)},
            {"due", dateOrNull(r.due)},
            {"completed", r.completed},
            {"priority", r.priority},
            {"private", r.isPrivate},
            {"category", r.category}};
}

template <typename File> QJsonObject fileToJson(const File& file, const char* format)
{
    QJsonArray categories;
    for (const Category& c : file.header.categories) {
        categories.append(QJsonObject{{"index", c.index},
                                      {"id", c.id},
                                      {"name", QString::fromStdString(c.name)},
                                      {"short", QString::fromStdString(c.shortName)}});
    }
    QJsonArray records;
    for (const auto& r : file.records)
        records.append(recordToJson(r));
    return {{"format", format},
            {"file_name", QString::fromStdString(file.header.fileName)},
            {"categories", categories},
            {"records", records}};
}

// Reads the members of one JSON object; the first problem is kept in `error`, prefixed with
// where the object sits ("record 3: ").
class Fields
{
public:
    Fields(const QJsonValue& value, QString where, QString& error)
        : m_object(value.toObject()), m_where(std::move(where)), m_error(error)
    {
        if (!value.isObject())
            fail(QString(), QStringLiteral("expected an object"));
    }

    bool ok() const { return m_error.isEmpty(); }
    bool has(const char* key) const { return m_object.contains(QLatin1String(key)); }
    QJsonValue value(const char* key) const { return m_object.value(QLatin1String(key)); }
    const QString& where() const { return m_where; }

    void fail(const QString& key, const QString& what)
    {
        if (ok())
            m_error = m_where + (key.isEmpty() ? QString() : key + QStringLiteral(": ")) + what;
    }

    void allowOnly(const QStringList& keys)
    {
        for (const QString& key : m_object.keys()) {
            if (!keys.contains(key))
                fail(key, QStringLiteral("unknown field"));
        }
    }

    qint64 integer(const char* key, qint64 fallback, qint64 min = kInt32Min, qint64 max = kInt32Max)
    {
        if (!has(key))
            return fallback;
        const QJsonValue v = value(key);
        const double d = v.toDouble();
        if (!v.isDouble() || d != std::floor(d) || d < double(min) || d > double(max)) {
            fail(key, QStringLiteral("expected a whole number from %1 to %2").arg(min).arg(max));
            return fallback;
        }
        return qint64(d);
    }

    bool boolean(const char* key, bool fallback)
    {
        if (!has(key))
            return fallback;
        if (!value(key).isBool())
            fail(key, QStringLiteral("expected true or false"));
        return value(key).toBool(fallback);
    }

    std::string text(const char* key, const std::string& fallback = {})
    {
        if (!has(key))
            return fallback;
        if (!value(key).isString())
            fail(key, QStringLiteral("expected a text"));
        return value(key).toString().toStdString();
    }

    // A local time "YYYY-MM-DDTHH:MM:SS", or a date "YYYY-MM-DD" for its local midnight.
    std::optional<TimeValue> time(const char* key)
    {
        if (!has(key))
            return std::nullopt;
        const QString s = value(key).toString();
        const auto date = parseDate(QStringView(s).left(10));
        const QTime clock = QTime::fromString(s.mid(11), QStringLiteral("HH:mm:ss"));
        if (date && s.size() == 10)
            return inRange(key, localMidnight(*date));
        if (date && s.size() == 19 && s[10] == QLatin1Char('T') && clock.isValid())
            return inRange(key, localTime(*date, clock.hour(), clock.minute(), clock.second()));
        fail(key, QStringLiteral("expected a local time like 2024-05-01T09:30:00"));
        return std::nullopt;
    }

    // A date "YYYY-MM-DD" for its local midnight, or null for "no date".
    TimeValue dateOrNoDate(const char* key) { return date(value(key), key).value_or(noDate()); }

    // Local midnight of the date `v` holds; none for null or missing.
    std::optional<TimeValue> date(const QJsonValue& v, const QString& key)
    {
        if (v.isNull() || v.isUndefined())
            return std::nullopt;
        const auto parsed = parseDate(v.toString());
        if (!v.isString() || !parsed) {
            fail(key, QStringLiteral("expected a date like 2024-05-01 or null"));
            return std::nullopt;
        }
        return inRange(key, localMidnight(*parsed));
    }

    QJsonArray array(const char* key)
    {
        if (has(key) && !value(key).isArray())
            fail(key, QStringLiteral("expected a list"));
        return value(key).toArray();
    }

private:
    TimeValue inRange(const QString& key, TimeValue t)
    {
        if (t < kInt32Min || t > kInt32Max)
            fail(key, QStringLiteral("outside the years 1901 to 2038 that the file can hold"));
        return t;
    }

    QJsonObject m_object;
    QString m_where;
    QString& m_error;
};

std::optional<Repeat> repeatFromJson(const QJsonValue& value, const QString& where, TimeValue start,
                                     QString& error)
{
    if (value.isNull() || value.isUndefined())
        return std::nullopt;
    Fields f(value, where + QStringLiteral("repeat: "), error);
    const int kind = kRepeatKinds.indexOf(f.value("kind").toString()) + 1;
    if (kind == 0) {
        f.fail("kind", QStringLiteral("expected one of ") + kRepeatKinds.join(", "));
        return std::nullopt;
    }
    QStringList keys = {"kind", "interval", "end", "first_day_of_week"};
    const LocalDate startDate = localDateOf(start);
    Repeat r;
    r.kind = RepeatKind(kind);
    r.interval = int(f.integer("interval", 1));
    r.end = f.dateOrNoDate("end");
    r.firstDayOfWeek = int(f.integer("first_day_of_week", 0));
    switch (r.kind) {
    case RepeatKind::Daily:
        r.dayIndex = weekdayOf(startDate); // the desktop stores it, nothing reads it
        break;
    case RepeatKind::Weekly: {
        keys << "days";
        r.dayIndex = r.firstDayOfWeek;
        const QJsonArray days = f.has("days") ? f.array("days") : QJsonArray{weekdayOf(startDate)};
        for (const QJsonValue& day : days) {
            const int d = day.toInt(-1);
            if (d < 0 || d > 6 || !day.isDouble())
                f.fail("days", QStringLiteral("expected weekdays from 0 (Sunday) to 6"));
            else
                r.daysMask |= std::uint8_t(1 << d);
        }
        break;
    }
    case RepeatKind::MonthlyByDay:
        keys << "weekday"
             << "week";
        r.dayIndex = int(f.integer("weekday", weekdayOf(startDate)));
        r.weekIndex = int(f.integer("week", (unsigned(startDate.day()) - 1) / 7));
        break;
    case RepeatKind::MonthlyByDate:
        keys << "day";
        r.dayNumber = int(f.integer("day", unsigned(startDate.day())));
        break;
    case RepeatKind::Yearly:
        keys << "day"
             << "month";
        r.dayNumber = int(f.integer("day", unsigned(startDate.day())));
        r.monthIndex = int(f.integer("month", unsigned(startDate.month()), kInt32Min + 1)) - 1;
        break;
    }
    f.allowOnly(keys);
    return r;
}

void alarmFromJson(const QJsonValue& value, const QString& where, DatebookRecord& r, QString& error)
{
    if (value.isNull() || value.isUndefined())
        return;
    Fields f(value, where + QStringLiteral("alarm: "), error);
    f.allowOnly({"amount", "unit"});
    r.alarmSet = true;
    r.alarmAmount = int(f.integer("amount", 0));
    const QJsonValue unit = f.value("unit");
    if (unit.isString()) {
        r.alarmUnit = int(kAlarmUnits.indexOf(unit.toString()));
        if (r.alarmUnit < 0)
            f.fail("unit", QStringLiteral("expected one of ") + kAlarmUnits.join(", "));
    } else {
        r.alarmUnit = int(f.integer("unit", 0));
    }
}

DatebookRecord datebookRecordFromJson(const QJsonValue& value, const QString& where, QString& error)
{
    Fields f(value, where, error);
    f.allowOnly({"id", "status", "position", "start", "end", "description", "note", "untimed",
                 "private", "category", "alarm", "alarm_minutes", "repeat", "exceptions"});
    DatebookRecord r;
    r.id = int(f.integer("id", 0));
    r.status = std::uint32_t(f.integer("status", StatusAdded, 0, 0xFFFFFFFF));
    r.position = int(f.integer("position", r.position));
    const auto start = f.time("start");
    if (!start && f.ok())
        f.fail("start", QStringLiteral("missing"));
    r.start = start.value_or(0);
    r.end = f.time("end").value_or(r.start);
    r.description = f.text("description");
    r.note = f.text("note");
    r.untimed = f.boolean("untimed", false);
    r.isPrivate = f.boolean("private", false);
    r.category = int(f.integer("category", 0));
    f.integer("alarm_minutes", 0, kInt32Min, kInt32Max); // derived from "alarm"
    if (!f.ok())
        return r;
    alarmFromJson(f.value("alarm"), where, r, error);
    r.repeat = repeatFromJson(f.value("repeat"), where, r.start, error);
    for (const QJsonValue& exception : f.array("exceptions")) {
        if (const auto t = f.date(exception, QStringLiteral("exceptions")))
            r.exceptions.push_back(*t);
        else
            f.fail("exceptions", QStringLiteral("expected dates like 2024-05-01"));
    }
    return r;
}

TodoRecord todoRecordFromJson(const QJsonValue& value, const QString& where, QString& error)
{
    Fields f(value, where, error);
    f.allowOnly({"id", "status", "position", "description", "note", "due", "completed", "priority",
                 "private", "category"});
    TodoRecord r;
    r.id = int(f.integer("id", 0));
    r.status = std::uint32_t(f.integer("status", StatusAdded, 0, 0xFFFFFFFF));
    r.position = int(f.integer("position", r.position));
    r.description = f.text("description");
    r.note = f.text("note");
    r.due = f.dateOrNoDate("due");
    r.completed = f.boolean("completed", false);
    r.priority = int(f.integer("priority", 1));
    r.isPrivate = f.boolean("private", false);
    r.category = int(f.integer("category", 0));
    return r;
}

template <typename File, typename ReadRecord>
Result<File> fileFromJson(const QJsonObject& json, const char* format, ReadRecord readRecord)
{
    QString error;
    Fields f(json, QString(), error);
    f.allowOnly({"format", "file_name", "categories", "records"});
    if (f.value("format").toString() != QLatin1String(format))
        f.fail("format", QStringLiteral("expected \"%1\"").arg(QLatin1String(format)));
    File file;
    file.header.fileName = f.text("file_name");
    if constexpr (std::is_same_v<File, Datebook>)
        file.header.schemaResourceId = layout::kDatebookResourceId;
    const QJsonArray categories = f.array("categories");
    for (qsizetype i = 0; i < categories.size() && error.isEmpty(); ++i) {
        Fields c(categories[i], QStringLiteral("category %1: ").arg(i), error);
        c.allowOnly({"index", "id", "name", "short"});
        Category category;
        category.index = int(c.integer("index", i + 1));
        category.id = int(c.integer("id", category.index));
        category.name = c.text("name");
        category.shortName = c.text("short", category.name);
        file.header.categories.push_back(std::move(category));
    }
    const QJsonArray records = f.array("records");
    for (qsizetype i = 0; i < records.size() && error.isEmpty(); ++i)
        file.records.push_back(readRecord(records[i], QStringLiteral("record %1: ").arg(i), error));
    if (!error.isEmpty())
        return Result<File>::failure(error.toStdString());
    return file;
}

} // namespace

QJsonObject datebookToJson(const Datebook& datebook)
{
    return fileToJson(datebook, "datebook");
}

QJsonObject todoListToJson(const TodoList& todoList)
{
    return fileToJson(todoList, "todo");
}

Result<Datebook> datebookFromJson(const QJsonObject& json)
{
    return fileFromJson<Datebook>(json, "datebook", &datebookRecordFromJson);
}

Result<TodoList> todoListFromJson(const QJsonObject& json)
{
    return fileFromJson<TodoList>(json, "todo", &todoRecordFromJson);
}

} // namespace palmdat
