// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/paths.h"

#include <algorithm>

namespace palmfile {

namespace fs = std::filesystem;

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<fs::path> findIgnoringCase(const fs::path& folder, std::string_view name)
{
    std::error_code error;
    fs::path exact = folder / name;
#ifndef _WIN32
    if (fs::exists(exact, error))
        return exact;
#endif
    // Windows finds any spelling; the entry itself tells the one on disk.
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (equalIgnoringAsciiCase(it->path().filename().string(), name))
            return it->path();
    }
#ifdef _WIN32
    if (fs::exists(exact, error))
        return exact;
#endif
    return std::nullopt;
}

fs::path resolveIgnoringCase(const fs::path& base, std::initializer_list<std::string_view> names)
{
    fs::path path = base;
    bool found = true;
    for (std::string_view name : names) {
        std::optional<fs::path> entry;
        if (found)
            entry = findIgnoringCase(path, name);
        found = entry.has_value();
        path = found ? *entry : path / name;
    }
    return path;
}

} // namespace palmfile
