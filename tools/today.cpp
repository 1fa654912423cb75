// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// palmdat today: one forced pass of Chimewell's own core over a Palm Desktop folder.

#include "commands.h"

#include "app/alarms.h"
#include "app/settingsstorage.h"
#include "app/stringtable.h"
#include "app/todaypass.h"
#include "palm/clock.h"
#include "palm/palmdesktopusers.h"
#include "palm/settings.h"
#include "palm/todaylist.h"
#include "palmfile/localdate.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <optional>

namespace palmdat {

namespace {

class PrintedNotice : public NoPalmDesktopNotice
{
public:
    void showNoPalmDesktop() override { printError(loadText(IDS_NO_PALM_DESKTOP)); }
};

// "YYYY-MM-DDTHH:MM:SS" as local wall-clock time.
std::optional<std::int64_t> parseLocalTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto field = [&](int n) { return match.captured(n).toInt(); };
    const palmfile::LocalDate date{std::chrono::year(field(1)),
                                   std::chrono::month(unsigned(field(2))),
                                   std::chrono::day(unsigned(field(3)))};
    if (!date.ok() || field(4) > 23 || field(5) > 59 || field(6) > 59)
        return std::nullopt;
    return palmfile::localTime(date, field(4), field(5), field(6));
}

struct TodayOptions
{
    QString desktopFolder;
    std::optional<int> userId;
    std::optional<std::int64_t> now;
    QStringList assignments; // "name=value", in order
};

std::optional<TodayOptions> parseOptions(const QStringList& arguments)
{
    TodayOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (argument == QLatin1String("--user-id") && hasValue) {
            bool ok = false;
            options.userId = arguments[++i].toInt(&ok);
            if (!ok)
                return std::nullopt;
        } else if (argument == QLatin1String("--now") && hasValue) {
            options.now = parseLocalTime(arguments[++i]);
            if (!options.now)
                return std::nullopt;
        } else if (argument == QLatin1String("--set") && hasValue) {
            options.assignments << arguments[++i];
        } else if (!argument.startsWith(QLatin1String("--")) && options.desktopFolder.isEmpty()) {
            options.desktopFolder = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.desktopFolder.isEmpty())
        return std::nullopt;
    return options;
}

QString formatHourMinute(std::int64_t t)
{
    const palmfile::TimeOfDay time = palmfile::localTimeOfDay(t);
    return QStringLiteral("%1:%2")
        .arg(time.hour, 2, 10, QLatin1Char('0'))
        .arg(time.minute, 2, 10, QLatin1Char('0'));
}

} // namespace

int runToday(const QStringList& arguments)
{
    const std::optional<TodayOptions> options = parseOptions(arguments);
    if (!options)
        return ExitUsage;

    // The private copies, and the empty profile that gives a first run's values, live in a
    // folder of our own: the user's profile is never touched.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        printError(QStringLiteral("palmdat: cannot create a temporary folder"));
        return ExitUnreadable;
    }
    const PalmDesktopUsers users(options->desktopFolder);
    PrintedNotice notice;
    Settings settings(&users, &notice);
    QSettings firstRun(scratch.filePath(QStringLiteral("profile.ini")), QSettings::IniFormat);
    SettingsStorage(firstRun, nullptr).load(settings);
    if (options->userId)
        settings.selectPalmUser(*options->userId);
    for (const QString& assignment : options->assignments) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals < 0 ||
            !setSettingsValue(settings, assignment.left(equals), assignment.mid(equals + 1))) {
            printError(QStringLiteral("palmdat: cannot set \"%1\"").arg(assignment));
            return ExitUsage;
        }
    }

    const SystemClock systemClock;
    const FixedClock fixedClock(options->now.value_or(0));
    const Clock& clock = options->now ? static_cast<const Clock&>(fixedClock) : systemClock;
    TodayListBuilder builder(clock, scratch.filePath(QStringLiteral("copies")),
                             loadText(IDS_TODO_PREFIX));
    const TodayPass pass = runTodayPass(builder, settings, true);
    builder.deleteCopies();

    QString text = pass.post ? pass.tooltip
                             : tooltipText(firstLineText(builder.alarms(), builder.locale(),
                                                         settings.showprivate != 0));
    text += QStringLiteral("\n---\n");
    for (const QString& line : pass.lines)
        text += line + QLatin1Char('\n');
    text += QStringLiteral("---\n");
    for (const AlarmEntry& entry : builder.alarms()) {
        text +=
            QStringLiteral("%1\t%2\t%3\n")
                .arg(formatHourMinute(entry.startTime))
                .arg(entry.alarmAdvance)
                .arg(entry.isPrivate && !settings.showprivate ? loadText(IDS_PRIVATE_APPOINTMENT)
                                                              : entry.description);
    }
    printOutput(text.toUtf8());
    return pass.result < 0 ? ExitUnreadable : ExitOk;
}

} // namespace palmdat
