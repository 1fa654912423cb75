// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"

#include <QCoreApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

#ifndef CHIMEWELL_HAVE_LIBICAL
int runIcsUnavailable(const QStringList&)
{
    palmdat::printError(
        QStringLiteral("palmdat: ics is not available: this palmdat was built without libical"));
    return palmdat::ExitUnreadable;
}
#endif

const palmdat::Command kCommands[] = {
    {"dump", "FILE", "print a datebook or to-do file as JSON", palmdat::runDump},
    {"make", "IN.json OUT", "write a datebook or to-do file from JSON as dump prints it",
     palmdat::runMake},
    {"occurrences", "FILE --from DATE --to DATE",
     "list the appointments from one date (YYYY-MM-DD) to another", palmdat::runOccurrences},
    {"users", "DESKTOP_FOLDER", "print the Palm users of a Palm Desktop folder as JSON",
     palmdat::runUsers},
    {"demo", "FOLDER", "make a demo Palm Desktop folder with two users, its day set around now",
     palmdat::runDemo},
    {"locate", "", "print the Palm Desktop folder that Chimewell would use", palmdat::runLocate},
    {"today", "DESKTOP_FOLDER [--user-id N] [--now YYYY-MM-DDTHH:MM:SS] [--set name=value ...]",
     "print today's list, tooltip and alarms as Chimewell shows them", palmdat::runToday},
#ifdef CHIMEWELL_HAVE_LIBICAL
    {"ics", "FOLDER-or-FILE [--user-id N] [-o OUT.ics]",
     "write the datebook and to-dos as an iCalendar file", palmdat::runIcs},
#else
    {"ics", "FOLDER-or-FILE [--user-id N] [-o OUT.ics]",
     "not available: this palmdat was built without libical", runIcsUnavailable},
#endif
};

QString usageLine(const palmdat::Command& command)
{
    return QStringLiteral("  palmdat %1 %2")
        .arg(QLatin1String(command.name), QLatin1String(command.arguments));
}

QString usage()
{
    QString text = QStringLiteral("Usage:\n");
    for (const auto& command : kCommands) {
        text += usageLine(command).leftJustified(47) + QLatin1Char(' ') +
                QLatin1String(command.summary) + QLatin1Char('\n');
    }
    return text;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("palmdat"));
#ifdef Q_OS_WIN
    // The same bytes as everywhere: JSON and lists end their lines with LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.isEmpty()) {
        palmdat::printError(usage().trimmed());
        return palmdat::ExitUsage;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("help")) {
        palmdat::printOutput(usage().toUtf8());
        return palmdat::ExitOk;
    }
    for (const auto& command : kCommands) {
        if (name == QLatin1String(command.name)) {
            const int code = command.run(arguments);
            if (code == palmdat::ExitUsage)
                palmdat::printError(QStringLiteral("Usage:\n") + usageLine(command));
            return code;
        }
    }
    palmdat::printError(QStringLiteral("palmdat: unknown command \"%1\"\n").arg(name) +
                        usage().trimmed());
    return palmdat::ExitUsage;
}

namespace palmdat {

void printError(const QString& message)
{
    std::fputs(message.toUtf8().append('\n').constData(), stderr);
}

void printOutput(const QByteArray& utf8)
{
    std::fwrite(utf8.constData(), 1, std::size_t(utf8.size()), stdout);
}

} // namespace palmdat
