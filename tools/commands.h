// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

#include <cstdint>
#include <vector>

// The subcommands of palmdat. Each takes the arguments after its name and returns the exit
// code; main() prints the command's usage line when it returns ExitUsage.

namespace palmdat {

enum ExitCode
{
    ExitOk = 0,
    ExitUnreadable = 1, // a file could not be read or written; the message is on stderr
    ExitUsage = 2,
};

struct Command
{
    const char* name;
    const char* arguments; // for the usage text, e.g. "FILE"
    const char* summary;
    int (*run)(const QStringList& arguments);
};

int runDump(const QStringList& arguments);
int runMake(const QStringList& arguments);
int runOccurrences(const QStringList& arguments);
int runUsers(const QStringList& arguments);
int runDemo(const QStringList& arguments);
int runLocate(const QStringList& arguments);
int runToday(const QStringList& arguments);
int runIcs(const QStringList& arguments);

// True when the bytes start with the to-do file's tag.
bool hasTodoTag(const std::vector<std::uint8_t>& bytes);

// UTF-8 on stderr with a line break; on stdout as given.
void printError(const QString& message);
void printOutput(const QByteArray& utf8);

} // namespace palmdat
