// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/paths.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

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

std::FILE* openFile(const std::string& path, const char* mode)
{
#ifdef _WIN32
    const std::wstring wide = fs::path(std::u8string(path.begin(), path.end())).wstring();
    if (std::strchr(mode, 'x')) {
        const int fd =
            _wopen(wide.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
        return fd < 0 ? nullptr : _fdopen(fd, "wb");
    }
    const std::string narrow(mode);
    return _wfopen(wide.c_str(), std::wstring(narrow.begin(), narrow.end()).c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

} // namespace palmfile
