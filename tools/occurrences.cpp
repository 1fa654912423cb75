// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat occurrences: every appointment in a range of days, as the scans see them.

#include "commands.h"

#include "palmfile/reader.h"
#include "palmfile/recurrence.h"

#include <QDate>
#include <QFile>

#include <algorithm>
#include <tuple>

using namespace palmfile;

namespace palmdat {

namespace {

struct Occurrence
{
    LocalDate date;
    bool untimed = false;
    TimeOfDay time;
    std::size_t record = 0;
};

std::optional<LocalDate> dateArgument(const QString& text)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid() || text.size() != 10)
        return std::nullopt;
    return LocalDate{std::chrono::year{date.year()}, std::chrono::month(date.month()),
                     std::chrono::day(date.day())};
}

QString dateText(LocalDate date)
{
    return QDate(int(date.year()), unsigned(date.month()), unsigned(date.day()))
        .toString(Qt::ISODate);
}

QString oneLine(const std::string& text)
{
    QString line = QString::fromStdString(text);
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

} // namespace

int runOccurrences(const QStringList& arguments)
{
    QString file;
    std::optional<LocalDate> from, to;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--from") || argument == QLatin1String("--to")) {
            if (++i == arguments.size())
                return ExitUsage;
            const auto date = dateArgument(arguments[i]);
            if (!date) {
                printError(
                    QStringLiteral("palmdat: %1: expected a date like 2026-05-01, not \"%2\"")
                        .arg(argument, arguments[i]));
                return ExitUsage;
            }
            (argument == QLatin1String("--from") ? from : to) = date;
        } else if (file.isEmpty()) {
            file = argument;
        } else {
            return ExitUsage;
        }
    }
    if (file.isEmpty() || !from || !to)
        return ExitUsage;
    if (*from > *to) {
        printError(QStringLiteral("palmdat: --from %1 is after --to %2")
                       .arg(dateText(*from), dateText(*to)));
        return ExitUsage;
    }

    const auto datebook = readDatebookFile(QFile::encodeName(file).toStdString());
    if (!datebook) {
        printError(QString::fromStdString(datebook.error()));
        return ExitUnreadable;
    }
    const auto& records = datebook.value().records;
    std::vector<Occurrence> occurrences;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const DatebookRecord& record = records[i];
        if (record.isDeleted() || record.isArchived())
            continue;
        const TimeOfDay start = localTimeOfDay(record.start);
        for (LocalDate date : occurrencesBetween(record, *from, *to)) {
            // The wall-clock time of the first occurrence on this day, as mktime makes it (an
            // hour that daylight saving skips moves on).
            const TimeOfDay time =
                record.untimed
                    ? TimeOfDay{}
                    : localTimeOfDay(localTime(date, start.hour, start.minute, start.second));
            occurrences.push_back({date, record.untimed, time, i});
        }
    }
    std::stable_sort(occurrences.begin(), occurrences.end(),
                     [](const Occurrence& a, const Occurrence& b) {
                         if (a.date != b.date)
                             return a.date < b.date;
                         if (a.untimed != b.untimed)
                             return a.untimed;
                         return std::tie(a.time.hour, a.time.minute, a.time.second) <
                                std::tie(b.time.hour, b.time.minute, b.time.second);
                     });

    QString out;
    for (const Occurrence& o : occurrences) {
        out += dateText(o.date) + QLatin1Char(' ');
        out += o.untimed ? QStringLiteral("all-day")
                         : QStringLiteral("%1:%2")
                               .arg(o.time.hour, 2, 10, QLatin1Char('0'))
                               .arg(o.time.minute, 2, 10, QLatin1Char('0'));
        out += QLatin1Char('\t') + oneLine(records[o.record].description) + QLatin1Char('\n');
    }
    printOutput(out.toUtf8());
    return ExitOk;
}

} // namespace palmdat
