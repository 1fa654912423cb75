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

// The same for a file on disk; messages name the file's base name.
Result<Datebook> readDatebookFile(const std::string& path);
Result<TodoList> readTodoListFile(const std::string& path);

// The whole content of a file; the message names the file's base name and the reason.
Result<std::vector<std::uint8_t>> readFileBytes(const std::string& path);

} // namespace palmfile
