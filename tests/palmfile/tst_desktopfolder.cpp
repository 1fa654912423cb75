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
#ifdef Q_OS_WIN
    void registryEntry_data();
    void registryEntry();
#else
    void discoveryOrder_data();
    void discoveryOrder();
#endif
};

#ifdef Q_OS_WIN
// Palm Desktop's own entry, as its installer writes it, is where Windows finds the folder.
void DesktopFolderTest::registryEntry_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("path"); // %ROOT% is the test folder
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << int(REG_SZ) << "%ROOT%\\Palm"
                           << ""
                           << "Palm";
    QTest::newRow("with variables, beyond ASCII") << int(REG_EXPAND_SZ) << "%ROOT%\\Palm B\u00fcro"
                                                  << ""
                                                  << "Palm B\u00fcro";
    QTest::newRow("a missing folder") << int(REG_SZ) << "%ROOT%\\Gone"
                                      << ""
                                      << "";
    QTest::newRow("the override first") << int(REG_SZ) << "%ROOT%\\Palm"
                                        << "Other"
                                        << "Other";
}

void DesktopFolderTest::registryEntry()
{
    QFETCH(int, type);
    QFETCH(QString, path);
    QFETCH(QString, override);
    QFETCH(QString, expected);
    QTemporaryDir tmp;
    const QDir root(tmp.path());
    QVERIFY(root.mkpath("Palm") && root.mkpath("Palm B\u00fcro") && root.mkpath("Other"));
    const QString native = QDir::toNativeSeparators(tmp.path());
    qputenv("ROOT", native.toLocal8Bit());
    qputenv("CHIMEWELL_PALM_DESKTOP",
            override.isEmpty() ? QByteArray() : root.filePath(override).toUtf8());
    if (type == REG_SZ)
        path.replace("%ROOT%", native);

    const wchar_t key[] = L"Software\\U.S. Robotics\\Pilot Desktop\\Core";
    const std::wstring value = path.toStdWString();
    QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Path", DWORD(type), value.c_str(),
                             DWORD((value.size() + 1) * sizeof(wchar_t))),
             LSTATUS(ERROR_SUCCESS));
    const auto forget = qScopeGuard([&] { RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Path"); });

    const std::optional<std::string> found = findDesktopFolder(desktopFolderInputs(""));
    if (expected.isEmpty()) {
        QVERIFY2(!found, found ? found->c_str() : "");
    } else {
        QVERIFY(found);
        QCOMPARE(QFileInfo(QString::fromStdString(*found)), QFileInfo(root.filePath(expected)));
    }
}
#else

void DesktopFolderTest::discoveryOrder_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("registryLine"); // the Core key's "Path" line in user.reg
    QTest::addColumn<QStringList>("folders");  // made below the test folder; C/ is drive C
    QTest::addColumn<QString>("expected");

    struct Row
    {
        const char *name, *override, *profile, *registryLine, *folders, *expected;
    };
    const Row rows[] = {
        {"override first", "override", "profile", R"("Path"="C:\\Palm")", "override|profile|C/Palm",
         "override"},
        {"missing override, then the profile", "gone", "profile", R"("Path"="C:\\Palm")",
         "profile|C/Palm", "profile"},
        {"registry entry: drive letter and case mapped", "", "gone",
         R"("Path"="d:\\PALM DATA\\Desktop")", "elsewhere/Palm Data/desktop|C/Palm",
         "elsewhere/Palm Data/desktop"},
        {"registry entry with escaped characters", "", "",
         R"("path"="C:\\Programme\\Palm B\x00fcro")", "C/Programme/Palm Büro",
         "C/Programme/Palm Büro"},
        {"registry entry of type REG_EXPAND_SZ", "", "", R"("Path"=str(2):"C:\\Palm")", "C/Palm",
         "C/Palm"},
        {"registry names a missing folder: PILOT", "", "", R"("Path"="C:\\Gone")", "C/pilot|C/Palm",
         "C/pilot"},
        {"Palm before Program Files", "", "", "", "C/Palm|C/Program Files/Palm", "C/Palm"},
        // No $WINEPREFIX: ~/.wine
        {"~/.wine without WINEPREFIX", "", "", "", "home/.wine/drive_c/Palm",
         "home/.wine/drive_c/Palm"},
        {"nothing found", "gone", "", R"("Path"="C:\\Gone")", "", ""},
    };
    const auto onDriveC = [](QString path) { return path.replace("C/", "prefix/drive_c/"); };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.override << row.profile << row.registryLine
                                << onDriveC(row.folders).split('|', Qt::SkipEmptyParts)
                                << onDriveC(row.expected);
}

void DesktopFolderTest::discoveryOrder()
{
    QFETCH(QString, override);
    QFETCH(QString, profile);
    QFETCH(QString, registryLine);
    QFETCH(QStringList, folders);
    QFETCH(QString, expected);

    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QDir root(tmp.path());
    // Always there, and never the answer: the same value under another key, and a folder
    // that the usual search does not look at.
    folders << "prefix/drive_c/Wrong"
            << "prefix/dosdevices"
            << "home";
    for (const QString& folder : folders)
        QVERIFY(root.mkpath(folder));
    QVERIFY(QFile::link("../drive_c", root.filePath("prefix/dosdevices/c:")));
    QVERIFY(QFile::link(root.filePath("elsewhere"), root.filePath("prefix/dosdevices/d:")));
    QFile reg(root.filePath("prefix/user.reg"));
    QVERIFY(reg.open(QIODevice::WriteOnly));
    reg.write(QStringLiteral("WINE REGISTRY Version 2\n"
                             "[Software\\\\Other\\\\Core] 1700000000\n"
                             "\"Path\"=\"C:\\\\Wrong\"\n\n"
                             "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1700000000\r\n"
                             "#time=1da1234567890ab\r\n"
                             "\"HotSyncPath\"=\"C:\\\\Wrong\\\\HotSync.exe\"\r\n"
                             "%1\r\n")
                  .arg(registryLine)
                  .toUtf8());
    reg.close();

    DesktopFolderInputs inputs;
    const auto inside = [&](const QString& name) {
        return name.isEmpty() ? std::string() : root.filePath(name).toStdString();
    };
    inputs.override = inside(override);
    inputs.profileValue = inside(profile);
    const bool prefixFromHome = expected.startsWith("home/");
    inputs.winePrefix = prefixFromHome ? std::string() : inside("prefix");
    inputs.home = inside("home");

    const std::optional<std::string> found = findDesktopFolder(inputs);
    if (expected.isEmpty()) {
        QVERIFY2(!found, found ? found->c_str() : "");
    } else {
        QVERIFY(found);
        QCOMPARE(QDir(QString::fromStdString(*found)).canonicalPath(),
                 QDir(root.filePath(expected)).canonicalPath());
        QCOMPARE(QFileInfo(QString::fromStdString(*found)).fileName(),
                 QFileInfo(expected).fileName());
    }
}

#endif

QTEST_GUILESS_MAIN(DesktopFolderTest)
#include "tst_desktopfolder.moc"
