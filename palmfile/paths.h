// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace palmfile {

// Palm Desktop folders copied from Windows or kept in a Wine prefix keep Windows' spelling
// ("DateBook/DateBook.dat", "Program Files/palmOne"), while Windows itself ignores case.

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b);
// The entry `name` in `folder`, or else one whose name differs from it only in ASCII case.
std::optional<std::filesystem::path> findIgnoringCase(const std::filesystem::path& folder,
                                                      std::string_view name);
// `base` followed by `names`, each matched as findIgnoringCase does; from the first name that
// matches nothing on, the names are appended as they are.
std::filesystem::path resolveIgnoringCase(const std::filesystem::path& base,
                                          std::initializer_list<std::string_view> names);

// std::fopen for a UTF-8 path: on Windows the C library would take it in the ANSI code page
// and knows no "x" (create, failing when the file exists).
std::FILE* openFile(const std::string& path, const char* mode);

} // namespace palmfile
