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

struct Shortcut
{
    QString target, workingDirectory, description, icon;
    int iconIndex = -1;
};

std::optional<Shortcut> readShortcut(const QString& path)
{
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    std::optional<Shortcut> result;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.toStdWString().c_str(), STGM_READ))) {
        wchar_t text[MAX_PATH];
        Shortcut s;
        link->GetPath(text, MAX_PATH, nullptr, 0);
        s.target = QString::fromWCharArray(text);
        link->GetWorkingDirectory(text, MAX_PATH);
        s.workingDirectory = QString::fromWCharArray(text);
        link->GetDescription(text, MAX_PATH);
        s.description = QString::fromWCharArray(text);
        link->GetIconLocation(text, MAX_PATH, &s.iconIndex);
        s.icon = QString::fromWCharArray(text);
        result = s;
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

    // The shortcut in the Startup folder that the shell records, pointing at this program.
    void startupShortcut_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::newRow("plain") << "Startup";
        QTest::newRow("ending in a backslash") << "Start up\\";
    }

    void startupShortcut()
    {
        QFETCH(QString, folder);
        const QString startup = QDir::toNativeSeparators(m_dir.filePath(folder));
        QVERIFY(QDir().mkpath(startup));
        setRegistryText(ShellFolders, L"Startup", startup.toStdWString());
        const QString link = QDir(startup).filePath(QStringLiteral("Chimewell.lnk"));
        const auto autostart = makeAutostart();

        QCOMPARE(autostart->startupShortcutExists(), 0);
        QCOMPARE(autostart->createStartupShortcut(), 0);
        QCOMPARE(autostart->startupShortcutExists(), 1);
        const std::optional<Shortcut> shortcut = readShortcut(link);
        QVERIFY(shortcut);
        const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
        QCOMPARE(shortcut->target.toLower(), program.toLower());
        QCOMPARE(shortcut->workingDirectory, startup);
        QCOMPARE(shortcut->description, QStringLiteral("Chimewell"));
        QCOMPARE(shortcut->icon.toLower(), program.toLower());
        QCOMPARE(shortcut->iconIndex, 0);

        QCOMPARE(autostart->deleteStartupShortcut(), 0);
        QVERIFY(!QFile::exists(link));
        QCOMPARE(autostart->startupShortcutExists(), 0);
        QCOMPARE(autostart->deleteStartupShortcut(), 0);
    }

    void noStartupFolder()
    {
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

    void bellCommands_data()
    {
        QTest::addColumn<bool>("shakesHands");
        QTest::addColumn<int>("code");
        QTest::addColumn<QList<qint64>>("sent"); // pairs of parameters after the handshake
        QTest::newRow("0: before the pause") << true << 0 << QList<qint64>{5, 0};
        QTest::newRow("1: with the user") << true << 1 << QList<qint64>{1, 77};
        QTest::newRow("2: after the pause") << true << 2 << QList<qint64>{2, 77};
        QTest::newRow("no handshake, nothing more") << false << 1 << QList<qint64>{};
    }

    void bellCommands()
    {
        QFETCH(bool, shakesHands);
        QFETCH(int, code);
        QFETCH(QList<qint64>, sent);
        BellPeer::received.clear();
        BellPeer::shakesHands = shakesHands;
        makeBellNotifier()->sendBellCommand(code, 77);
        QList<qint64> expected{0, 0};
        expected += sent;
        QList<qint64> received;
        for (const auto& [first, second] : BellPeer::received)
            received << qint64(first) << qint64(second);
        QCOMPARE(received, expected);
    }
};

QTEST_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
