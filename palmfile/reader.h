// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records.h"
#include "result.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace palmfile {

// Reads the classic (DB10 / TD10) datebook and to-do files of Palm Desktop up to 4.x, and
// their archives (.dba, .tda) and backups. Every record is returned, deleted and archived ones
// too: the caller decides what to skip. Failure messages start with `fileName`.
Result<Datebook> readDatebook(std::span<const std::uint8_t> bytes, std::string_view fileName);
Result<TodoList> readTodoList(std::span<const std::uint8_t> bytes, std::string_view fileName);

// The same for a file on disk; messages start with `path`.
Result<Datebook> readDatebookFile(const std::string& path);
Result<TodoList> readTodoListFile(const std::string& path);

// Datebooks and to-do lists of many years of daily use stay below a few megabytes.
inline constexpr std::size_t kMaxDataFileSize = std::size_t{64} << 20;

// The whole content of a regular file of at most `maxSize` bytes; the message starts with
// `path` and says why. Anything else (a folder, a FIFO, a device) is refused without waiting on
// it, and reading stops past `maxSize` whatever size the file claims.
Result<std::vector<std::uint8_t>> readFileBytes(const std::string& path,
                                                std::size_t maxSize = kMaxDataFileSize);

} // namespace palmfile
