// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/desktopfolder.h"

#include "palmfile/codepage.h"
#include "palmfile/paths.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace palmfile {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view palmCoreKey = "Software\\U.S. Robotics\\Pilot Desktop\\Core";

bool isFolder(const fs::path& path)
{
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

#ifndef _WIN32
char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = lowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// A string as Wine writes it in its registry files, from just after the opening quote (or
// from the start of a key name) to `close` or the end of the line: backslash escapes, and
// characters beyond ASCII as \x followed by up to four hex digits of a UTF-16 unit.
std::string unescapeRegistryText(std::string_view text, char close, std::size_t* end = nullptr)
{
    std::vector<std::uint8_t> utf16;
    const auto put = [&utf16](unsigned unit) {
        utf16.push_back(static_cast<std::uint8_t>(unit));
        utf16.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    std::size_t i = 0;
    for (; i < text.size() && text[i] != close; ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            put(static_cast<unsigned char>(c));
            continue;
        }
        const char e = text[++i];
        if (e == 'x') {
            unsigned unit = 0;
            int digits = 0;
            for (; digits < 4 && i + 1 < text.size() && hexDigit(text[i + 1]) >= 0; ++digits)
                unit = unit * 16 + hexDigit(text[++i]);
            put(digits ? unit : 'x');
        } else if (e >= '0' && e <= '7') {
            unsigned unit = e - '0';
            for (int digits = 1;
                 digits < 3 && i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '7';
                 ++digits)
                unit = unit * 8 + (text[++i] - '0');
            put(unit);
        } else {
            constexpr std::string_view letters = "abefnrtv", codes = "\a\b\x1b\f\n\r\t\v";
            const std::size_t k = letters.find(e);
            put(static_cast<unsigned char>(k == std::string_view::npos ? e : codes[k]));
        }
    }
    if (end)
        *end = i;
    return utf16leToUtf8(utf16);
}

// The value `valueName` of `key` in a Wine registry file (user.reg), or empty.
std::string wineRegistryValue(const fs::path& file, std::string_view key,
                              std::string_view valueName)
{
    std::ifstream in(file, std::ios::binary);
    bool inKey = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with('[')) {
            inKey = equalIgnoringAsciiCase(
                unescapeRegistryText(std::string_view(line).substr(1), ']'), key);
            continue;
        }
        if (!inKey || !line.starts_with('"'))
            continue;
        std::size_t nameEnd = 0;
        const std::string name =
            unescapeRegistryText(std::string_view(line).substr(1), '"', &nameEnd);
        std::string_view rest = std::string_view(line).substr(std::min(line.size(), nameEnd + 2));
        if (!equalIgnoringAsciiCase(name, valueName) || !rest.starts_with('='))
            continue;
        rest.remove_prefix(1);
        if (rest.starts_with("str(2):"))
            rest.remove_prefix(7);
        if (rest.starts_with('"'))
            return unescapeRegistryText(rest.substr(1), '"');
    }
    return {};
}

// A Windows path such as "C:\Palm" inside the Wine prefix: the drive through dosdevices/, the
// rest matched regardless of case as Windows would.
fs::path hostPathInPrefix(const fs::path& prefix, std::string_view windowsPath)
{
    const char drive = lowerAscii(windowsPath.empty() ? 0 : windowsPath[0]);
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || drive < 'a' || drive > 'z')
        return {};
    fs::path path = prefix / "dosdevices" / std::string{drive, ':'};
    std::string_view rest = windowsPath.substr(2);
    while (!rest.empty()) {
        const std::size_t cut = std::min(rest.find_first_of("\\/"), rest.size());
        if (cut > 0)
            path = resolveIgnoringCase(path, {rest.substr(0, cut)});
        rest.remove_prefix(std::min(cut + 1, rest.size()));
    }
    return path;
}

// Where Palm Desktop installs by default, oldest first.
std::vector<fs::path> usualFolders(const fs::path& driveC)
{
    std::vector<fs::path> folders = {resolveIgnoringCase(driveC, {"PILOT"}),
                                     resolveIgnoringCase(driveC, {"Palm"})};
    std::vector<fs::path> programFolders;
    std::error_code error;
    for (fs::directory_iterator it(driveC, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() >= 13 && equalIgnoringAsciiCase(name.substr(0, 13), "Program Files"))
            programFolders.push_back(it->path());
    }
    std::sort(programFolders.begin(), programFolders.end());
    for (const fs::path& programs : programFolders) {
        folders.push_back(resolveIgnoringCase(programs, {"Palm"}));
        folders.push_back(resolveIgnoringCase(programs, {"palmOne"}));
    }
    return folders;
}
#endif

#ifdef _WIN32
std::string palmRegistryPath()
{
    const std::wstring key(palmCoreKey.begin(), palmCoreKey.end());
    // A REG_EXPAND_SZ value comes expanded as REG_SZ.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD bytes = DWORD(path.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Path", RRF_RT_REG_SZ,
                                            nullptr, path.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            path.resize(path.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return {};
        path.resize(wcsnlen(path.c_str(), path.size()));
        break;
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, path.data(), int(path.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(std::size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), int(path.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}
#endif

} // namespace

DesktopFolderInputs desktopFolderInputs(std::string profileValue)
{
    const auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return value ? std::string(value) : std::string();
    };
    DesktopFolderInputs inputs;
    inputs.override = environment("CHIMEWELL_PALM_DESKTOP");
    inputs.profileValue = std::move(profileValue);
#ifdef _WIN32
    inputs.registryPath = palmRegistryPath();
#else
    inputs.winePrefix = environment("WINEPREFIX");
    inputs.home = environment("HOME");
#endif
    return inputs;
}

std::optional<std::string> findDesktopFolder(const DesktopFolderInputs& inputs)
{
    for (const std::string& candidate :
         {inputs.override, inputs.profileValue, inputs.registryPath}) {
        // The texts are UTF-8, which a plain std::string does not say on Windows.
        if (isFolder(std::u8string(candidate.begin(), candidate.end())))
            return candidate;
    }
#ifdef _WIN32
    return std::nullopt;
#else
    fs::path prefix = inputs.winePrefix;
    if (prefix.empty() && !inputs.home.empty())
        prefix = fs::path(inputs.home) / ".wine";
    if (!isFolder(prefix))
        return std::nullopt;
    const fs::path fromRegistry =
        hostPathInPrefix(prefix, wineRegistryValue(prefix / "user.reg", palmCoreKey, "Path"));
    if (isFolder(fromRegistry))
        return fromRegistry.string();
    for (const fs::path& folder : usualFolders(prefix / "drive_c")) {
        if (isFolder(folder))
            return folder.string();
    }
    return std::nullopt;
#endif
}

} // namespace palmfile
