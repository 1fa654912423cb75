// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/desktopfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace palmfile;

class DesktopFolderTest : public QObject
{
    Q_OBJECT

private slots:
    void discoveryOrder();
};

#ifdef Q_OS_WIN
// Palm Desktop's own entry, as its installer writes it, is where Windows finds the folder.
void DesktopFolderTest::discoveryOrder()
{
    const struct
    {
        DWORD type;
        QString path, override, expected; // %ROOT% is the test folder
    } rows[] = {{REG_SZ, "%ROOT%\\Palm", "", "Palm"},
                {REG_EXPAND_SZ, "%ROOT%\\Palm B\u00fcro", "", "Palm B\u00fcro"},
                {REG_SZ, "%ROOT%\\Gone", "", ""},
                {REG_SZ, "%ROOT%\\Palm", "Other", "Other"}};
    for (const auto& row : rows) {
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        QVERIFY(root.mkpath("Palm") && root.mkpath("Palm B\u00fcro") && root.mkpath("Other"));
        const QString native = QDir::toNativeSeparators(tmp.path());
        qputenv("ROOT", native.toLocal8Bit());
        qputenv("CHIMEWELL_PALM_DESKTOP",
                row.override.isEmpty() ? QByteArray() : root.filePath(row.override).toUtf8());
        QString path = row.path;
        if (row.type == REG_SZ)
            path.replace("%ROOT%", native);

        const wchar_t key[] = L"Software\\U.S. Robotics\\Pilot Desktop\\Core";
        const std::wstring value = path.toStdWString();
        QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Path", row.type, value.c_str(),
                                 DWORD((value.size() + 1) * sizeof(wchar_t))),
                 LSTATUS(ERROR_SUCCESS));
        const auto forget =
            qScopeGuard([&] { RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Path"); });
        const std::optional<std::string> found = findDesktopFolder(desktopFolderInputs(""));
        QCOMPARE(found ? QFileInfo(QString::fromStdString(*found)).canonicalFilePath() : QString(),
                 row.expected.isEmpty()
                     ? QString()
                     : QFileInfo(root.filePath(row.expected)).canonicalFilePath());
    }
}
#else
// The override, the profile's value, Palm Desktop's registry entry in the Wine prefix, then the
// folders Palm Desktop installs to by default.
void DesktopFolderTest::discoveryOrder()
{
    const struct
    {
        const char *override, *profile, *registryLine; // the Core key's "Path" line in user.reg
        const char *folders, *expected;                // made below the test folder; C/ is drive C
    } rows[] = {
        {"override", "profile", R"("Path"="C:\\Palm")", "override|profile|C/Palm", "override"},
        // Drive letter and case mapped.
        {"", "gone", R"("Path"="d:\\PALM DATA\\Desktop")", "elsewhere/Palm Data/desktop|C/Palm",
         "elsewhere/Palm Data/desktop"},
        {"", "", R"("path"="C:\\Programme\\Palm B\x00fcro")", "C/Programme/Palm Büro",
         "C/Programme/Palm Büro"},
        {"", "", R"("Path"=str(2):"C:\\Desk")", "C/Desk|C/Palm", "C/Desk"}, // REG_EXPAND_SZ
        {"", "", R"("Path"="C:\\Gone")", "C/pilot|C/Palm", "C/pilot"},
        {"", "", "", "home/.wine/drive_c/Palm", "home/.wine/drive_c/Palm"}, // no $WINEPREFIX
        {"gone", "", R"("Path"="C:\\Gone")", "", ""},
    };
    for (const auto& row : rows) {
        const auto onDriveC = [](QString path) { return path.replace("C/", "prefix/drive_c/"); };
        const QString expected = onDriveC(row.expected);
        QTemporaryDir tmp;
        const QDir root(tmp.path());
        // Always there, and never the answer: the same value under another key, and a folder
        // that the usual search does not look at.
        const QStringList folders =
            onDriveC(row.folders + QStringLiteral("|C/Wrong|prefix/dosdevices|home"))
                .split('|', Qt::SkipEmptyParts);
        for (const QString& folder : folders)
            QVERIFY(root.mkpath(folder));
        QVERIFY(QFile::link("../drive_c", root.filePath("prefix/dosdevices/c:")));
        QVERIFY(QFile::link(root.filePath("elsewhere"), root.filePath("prefix/dosdevices/d:")));
        QFile reg(root.filePath("prefix/user.reg"));
        QVERIFY(reg.open(QIODevice::WriteOnly));
        reg.write(
            QStringLiteral("WINE REGISTRY Version 2\n"
                           "[Software\\\\Other\\\\Core] 1700000000\n"
                           "\"Path\"=\"C:\\\\Wrong\"\n\n"
                           "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1700000000\r\n"
                           "#time=1da1234567890ab\r\n"
                           "\"HotSyncPath\"=\"C:\\\\Wrong\\\\HotSync.exe\"\r\n"
                           "%1\r\n")
                .arg(row.registryLine)
                .toUtf8());
        reg.close();

        const auto inside = [&](const QString& name) {
            return name.isEmpty() ? std::string() : root.filePath(name).toStdString();
        };
        DesktopFolderInputs inputs;
        inputs.override = inside(row.override);
        inputs.profileValue = inside(row.profile);
        inputs.winePrefix = expected.startsWith("home/") ? std::string() : inside("prefix");
        inputs.home = inside("home");
        const std::optional<std::string> found = findDesktopFolder(inputs);
        QCOMPARE(found ? QDir(QString::fromStdString(*found)).canonicalPath() : QString(),
                 expected.isEmpty() ? QString() : QDir(root.filePath(expected)).canonicalPath());
    }
}
#endif

QTEST_GUILESS_MAIN(DesktopFolderTest)
#include "tst_desktopfolder.moc"
