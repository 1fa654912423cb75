// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows adapters against the real system: the Startup shortcut and the Run key, and
// the "Bell XS-1" notifier.
#include "ui/platform/bellnotifier.h"
#include "ui/platform/platformautostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

const wchar_t ShellFolders[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const wchar_t RunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::wstring> registryText(const wchar_t* key, const wchar_t* name)
{
    wchar_t text[1024];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

void setRegistryText(const wchar_t* key, const wchar_t* name,
                     const std::optional<std::wstring>& text)
{
    if (text)
        RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_SZ, text->c_str(),
                        DWORD((text->size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
}

// The target and working folder of a shortcut, if it can be read.
std::optional<QStringList> readShortcut(const QString& path)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    std::optional<QStringList> result;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.toStdWString().c_str(), STGM_READ))) {
        wchar_t target[MAX_PATH];
        wchar_t folder[MAX_PATH];
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetWorkingDirectory(folder, MAX_PATH);
        result = {QString::fromWCharArray(target).toLower(), QString::fromWCharArray(folder)};
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return result;
}

// A stand-in for the notifier: records its messages, answers the handshake when it should.
struct BellPeer
{
    static inline std::vector<std::pair<WPARAM, LPARAM>> received;
    static inline bool shakesHands = true;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM first, LPARAM second)
    {
        if (message != 0xBEC4)
            return DefWindowProcW(window, message, first, second);
        received.emplace_back(first, second);
        return shakesHands ? 0xBEC4 : 0;
    }
};

} // namespace

class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::optional<std::wstring> m_startup;
    HWND m_bell = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        CoInitialize(nullptr);
        m_startup = registryText(ShellFolders, L"Startup");

        WNDCLASSW bellClass{};
        bellClass.lpfnWndProc = &BellPeer::procedure;
        bellClass.hInstance = GetModuleHandleW(nullptr);
        bellClass.lpszClassName = L"Bell XS-1";
        QVERIFY(RegisterClassW(&bellClass));
        m_bell = CreateWindowW(L"Bell XS-1", L"", 0, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        QVERIFY(m_bell);
    }

    void cleanupTestCase()
    {
        setRegistryText(ShellFolders, L"Startup", m_startup);
        DestroyWindow(m_bell);
        CoUninitialize();
    }

    // The shortcut in the Startup folder that the shell records, pointing at this program;
    // without a Startup folder nothing can be done.
    void startupShortcut()
    {
        for (const QString& folder : {QStringLiteral("Startup"), QStringLiteral("Start up\\")}) {
            const QString startup = QDir::toNativeSeparators(m_dir.filePath(folder));
            QVERIFY(QDir().mkpath(startup));
            setRegistryText(ShellFolders, L"Startup", startup.toStdWString());
            const QString link = QDir(startup).filePath(QStringLiteral("Chimewell.lnk"));
            const auto autostart = makeAutostart();
            QCOMPARE(autostart->startupShortcutExists(), 0);
            QCOMPARE(autostart->createStartupShortcut(), 0);
            QCOMPARE(autostart->startupShortcutExists(), 1);
            const QString program =
                QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toLower();
            QVERIFY(readShortcut(link) == QStringList({program, startup}));
            QCOMPARE(autostart->deleteStartupShortcut(), 0);
            QVERIFY(!QFile::exists(link));
            QCOMPARE(autostart->startupShortcutExists(), 0);
            QCOMPARE(autostart->deleteStartupShortcut(), 0);
        }
        setRegistryText(ShellFolders, L"Startup", std::nullopt);
        const auto autostart = makeAutostart();
        QCOMPARE(autostart->startupShortcutExists(), -1);
        QCOMPARE(autostart->createStartupShortcut(), -1);
        QCOMPARE(autostart->deleteStartupShortcut(), -1);
    }

    // Autostart never goes through the Run key: a value there is removed, none is no error.
    void runKeyCleaned()
    {
        setRegistryText(RunKey, L"Chimewell", L"C:\\old\\chimewell.exe");
        const auto autostart = makeAutostart();
        QCOMPARE(autostart->removeRunKeyValue(), 0);
        QVERIFY(!registryText(RunKey, L"Chimewell"));
        QCOMPARE(autostart->removeRunKeyValue(), 0);
    }

    // Each command follows a handshake (0, 0); without an answer to it nothing more is sent.
    void bellCommands()
    {
        for (const auto& [shakesHands, code, sent] : {std::tuple{true, 0, QList<qint64>{5, 0}},
                                                      {true, 1, QList<qint64>{1, 77}},
                                                      {true, 2, QList<qint64>{2, 77}},
                                                      {false, 1, QList<qint64>{}}}) {
            BellPeer::received.clear();
            BellPeer::shakesHands = shakesHands;
            makeBellNotifier()->sendBellCommand(code, 77);
            QList<qint64> received;
            for (const auto& [first, second] : BellPeer::received)
                received << qint64(first) << qint64(second);
            QCOMPARE(received, QList<qint64>({0, 0}) + sent);
        }
    }
};

QTEST_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
