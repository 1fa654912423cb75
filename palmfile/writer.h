// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "records.h"
#include "result.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace palmfile {

// Writes the classic layout that Palm Desktop 3.x/4.x writes (DB10 / TD10), with the classic
// fields only: a longer schema in `header.schema` is not written. Texts are stored as
// Windows-1252. Time values outside the files' signed 32-bit range are clamped to it.
std::vector<std::uint8_t> writeDatebook(const Datebook& datebook);
std::vector<std::uint8_t> writeTodoList(const TodoList& todoList);

// Replaces `path` with `bytes` through a temporary file in the same folder, so readers see the
// old or the new content, never a part. Returns the number of bytes written.
Result<std::size_t> writeFileAtomically(const std::string& path,
                                        std::span<const std::uint8_t> bytes);

} // namespace palmfile
