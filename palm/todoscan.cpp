// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todoscan.h"

#include "palm/clock.h"
#include "palm/settings.h"
#include "palmfile/localdate.h"
#include "palmfile/reader.h"
#include "timetexts.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <span>

using namespace palmfile;

namespace {

QString categoryName(const FileHeader& header, std::int32_t index)
{
    if (index == 0)
        // Palm Desktop names the category without a name in the user's language.
        return QCoreApplication::translate("ToDoScan", "Unfiled");
    for (const Category& category : header.categories) {
        if (category.index == index)
            return QString::fromStdString(category.name);
    }
    return QString();
}

} // namespace

bool isNoDueDate(std::int64_t due)
{
    return isNoDate(due);
}

ToDoScan::ToDoScan(const Clock& clock, const QLocale& locale, const PrivateCopies& copies,
                   QString prefix)
    : m_clock(clock), m_locale(locale), m_copies(copies), m_prefix(std::move(prefix)),
      m_source("to-do list", PrivateCopies::kToDoCopy, DataFileSource::WhenMissing::IsEmpty, clock)
{}

int ToDoScan::scanToDos(const Settings& settings, QStringList& lines, bool force)
{
    const DataFileSource::Fetched fetched = m_source.fetch(settings.todopath, force, m_copies);
    // A user who never used the to-do list may have no file: nothing to list.
    if (fetched.status == DataFileSource::Status::Missing) {
        lines.clear();
        return 1;
    }
    if (fetched.status != DataFileSource::Status::Copied)
        return fetched.resultWithoutReading(lines.size());

    const Result<TodoList> todos =
        readTodoList(fetched.content(), QFile::encodeName(settings.todopath).toStdString());
    if (const std::optional<int> result = m_source.refusal(todos, fetched))
        return *result;
    lines.clear();

    std::vector<const TodoRecord*> byPriority;
    for (const TodoRecord& record : todos.value().records)
        byPriority.push_back(&record);
    std::stable_sort(
        byPriority.begin(), byPriority.end(),
        [](const TodoRecord* a, const TodoRecord* b) { return a->priority < b->priority; });

    const LocalDate today = localDateOf(m_clock.now());
    for (const TodoRecord* record : byPriority) {
        if (record->isDeleted() || record->isArchived() || record->description.empty() ||
            record->completed || (record->isPrivate && !settings.showprivate))
            continue;
        const bool undated = isNoDueDate(record->due);
        if (undated && (!settings.showtodosnodate || record->priority > settings.maxprio))
            continue;
        // Due dates are dates: one written in another time zone is not local midnight.
        const LocalDate due = roundedDateOf(record->due);
        if (!undated && due > today)
            continue;

        QString description = QString::fromStdString(record->description);
        flattenLineBreaks(description);
        QString line = m_prefix;
        if (settings.maxprio > 1 || !undated)
            line += QStringLiteral("(%1)  ").arg(record->priority);
        if (!undated)
            line += formatDateText(localMidnight(due), m_locale) + QStringLiteral(": ");
        line += description + QStringLiteral(" [") +
                categoryName(todos.value().header, record->category) + QLatin1Char(']');
        lines.append(line);
    }
    return 1;
}
