// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Start at logon on Windows: a shortcut named after the product in the user's Startup folder,
// whose path the shell records under "Shell Folders". Autostart never goes through the Run
// key: every save removes an old value there.
#include "platformautostart.h"

#include "app/stringtable.h"

#include <QString>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>

namespace {
const wchar_t ShellFoldersKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring productName()
{
    return loadText(IDS_PRODUCT_NAME).toStdWString();
}

// The Startup folder as the shell recorded it; empty when it cannot be read.
std::wstring startupFolder()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, ShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    DWORD type = 0;
    DWORD bytes = 0;
    std::wstring folder;
    if (RegQueryValueExW(key, L"Startup", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && bytes > 0) {
        folder.resize(bytes / sizeof(wchar_t));
        if (RegQueryValueExW(key, L"Startup", nullptr, &type,
                             reinterpret_cast<BYTE*>(folder.data()), &bytes) != ERROR_SUCCESS)
            folder.clear();
        folder.resize(wcsnlen(folder.c_str(), folder.size()));
    }
    RegCloseKey(key);
    return folder;
}

std::wstring shortcutPath(const std::wstring& folder)
{
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + productName() + L".lnk";
}

std::wstring executablePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Writes a shell link; answers the status of the first step that failed, or S_OK.
HRESULT createShellLink(const std::wstring& target, const std::wstring& arguments,
                        const std::wstring& workingDirectory, const std::wstring& linkPath,
                        const std::wstring& iconPath, int iconIndex,
                        const std::wstring& description)
{
    CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(&link));
    if (SUCCEEDED(status))
        status = link->SetPath(target.c_str());
    if (SUCCEEDED(status))
        status = link->SetDescription(description.c_str());
    if (SUCCEEDED(status) && !iconPath.empty())
        status = link->SetIconLocation(iconPath.c_str(), iconIndex);
    if (SUCCEEDED(status) && !arguments.empty())
        status = link->SetArguments(arguments.c_str());
    if (SUCCEEDED(status) && !workingDirectory.empty())
        status = link->SetWorkingDirectory(workingDirectory.c_str());
    if (SUCCEEDED(status))
        status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(status))
        status = file->Save(linkPath.c_str(), TRUE);
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return status;
}

class WindowsAutostart : public Autostart
{
public:
    int startupShortcutExists() override
    {
        const std::wstring folder = startupFolder();
        if (folder.empty())
            return -1;
        HANDLE file = CreateFileW(shortcutPath(folder).c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 0;
        CloseHandle(file);
        return 1;
    }

    int createStartupShortcut() override
    {
        const std::wstring folder = startupFolder();
        const std::wstring executable = executablePath();
        if (folder.empty() || executable.empty())
            return -1;
        const HRESULT status = createShellLink(executable, {}, folder, shortcutPath(folder),
                                               executable, 0, productName());
        return SUCCEEDED(status) ? 0 : -1;
    }

    int deleteStartupShortcut() override
    {
        const std::wstring folder = startupFolder();
        if (folder.empty())
            return -1;
        DeleteFileW(shortcutPath(folder).c_str());
        return 0;
    }

    int removeRunKeyValue() override
    {
        HKEY key = nullptr;
        LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_WRITE, &key);
        if (status != ERROR_SUCCESS)
            return int(status);
        status = RegDeleteValueW(key, productName().c_str());
        RegCloseKey(key);
        // No value there is what we want, not a failure.
        return status == ERROR_FILE_NOT_FOUND ? 0 : int(status);
    }
};
} // namespace

std::unique_ptr<Autostart> makeAutostart()
{
    return std::make_unique<WindowsAutostart>();
}
