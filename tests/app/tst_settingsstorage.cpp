// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/autostart.h"
#include "app/settingsstorage.h"
#include "app/stringtable.h"
#include "fakeautostart.h"
#include "fakepalmusers.h"
#include "palm/settings.h"
#include "palmfile/codepage.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class TestSettingsStorage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakePalmUsers m_users;

    std::unique_ptr<QSettings> profile()
    {
        return std::make_unique<QSettings>(m_dir.filePath("profile.conf"), QSettings::IniFormat);
    }

    Settings loaded(QSettings& settingsFile, Autostart* autostart = nullptr)
    {
        Settings settings(&m_users, nullptr);
        SettingsStorage(settingsFile, autostart).load(settings);
        return settings;
    }

    void save(const Settings& settings)
    {
        auto file = profile();
        QCOMPARE(SettingsStorage(*file, nullptr).save(settings), 0);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
        QVERIFY(m_dir.isValid());
        m_users.add(300, "Ann", "AnnP");
        m_users.add(400, "Bob", "BobM");
    }

    void init() { QFile::remove(m_dir.filePath("profile.conf")); }

    void firstRunTakesTheDefaults()
    {
        const Settings s = loaded(*profile());
        QCOMPARE(s.palmuserid, 300);
        QCOMPARE(s.datebookpath, QString("/palm/AnnP/datebook/datebook.dat"));
        QCOMPARE(s.todopath, QString("/palm/AnnP/todo/todo.dat"));
        // A first run loads what a new record holds, except that all of today's appointments
        // are shown because untimed ones are.
        const Settings constructed;
        for (int Settings::*field :
             {&Settings::warntime, &Settings::warnagaintime, &Settings::maxprio,
              &Settings::showtodos, &Settings::showtodosnodate, &Settings::beep,
              &Settings::autohide, &Settings::showprivate, &Settings::showuntimedappts,
              &Settings::warnred, &Settings::rememberpassword})
            QCOMPARE(s.*field, constructed.*field);
        QCOMPARE(s.showalltodaysappts, 1);
        QCOMPARE(s.password, QString());
    }

    // Stored numbers are used unchecked; values of the wrong type give the default.
    void storedValues_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        QTest::newRow("maxprio out of range") << QVariantMap{{"maxprio", 9}} << "maxprio" << 9;
        QTest::newRow("negative") << QVariantMap{{"warntime", -3}} << "warntime" << -3;
        QTest::newRow("text of a number")
            << QVariantMap{{"warnagaintime", "12"}} << "warnagaintime" << 12;
        QTest::newRow("not a number") << QVariantMap{{"warntime", "soon"}} << "warntime" << 5;
        QTest::newRow("list") << QVariantMap{{"autohide", QStringList{"1", "2"}}} << "autohide"
                              << 1;
        QTest::newRow("show all follows untimed")
            << QVariantMap{{"showuntimedappts", 0}} << "showalltodaysappts" << 0;
        QTest::newRow("show all stored")
            << QVariantMap{{"showuntimedappts", 0}, {"showalltodaysappts", 1}}
            << "showalltodaysappts" << 1;
        QTest::newRow("untimed of wrong type")
            << QVariantMap{{"showuntimedappts", "x"}} << "showalltodaysappts" << 1;
        QTest::newRow("ring missed by default") << QVariantMap{} << "ringmissed" << 1;
        QTest::newRow("ring missed off") << QVariantMap{{"ringmissed", 0}} << "ringmissed" << 0;
    }

    void storedValues()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(QString, name);
        QFETCH(int, expected);
        {
            auto file = profile();
            for (auto it = stored.cbegin(); it != stored.cend(); ++it)
                file->setValue("Options/" + it.key(), it.value());
        }
        const QHash<QString, int Settings::*> fields = {
            {"maxprio", &Settings::maxprio},
            {"warntime", &Settings::warntime},
            {"warnagaintime", &Settings::warnagaintime},
            {"autohide", &Settings::autohide},
            {"showalltodaysappts", &Settings::showalltodaysappts},
            {"ringmissed", &Settings::ringmissed}};
        QCOMPARE(loaded(*profile()).*fields.value(name), expected);
    }

    void saveAndLoadAgain()
    {
        Settings s(&m_users, nullptr);
        s.selectPalmUser(400);
        s.warntime = 0;
        s.maxprio = 9;
        s.showalltodaysappts = 0;
        s.showuntimedappts = 1;
        s.ringmissed = 0;
        save(s);
        auto fresh = profile();
        fresh->beginGroup("Options");
        // The fourteen values of the registry and "ringmissed".
        QCOMPARE(fresh->childKeys().size(), 15);
        fresh->endGroup();
        const Settings back = loaded(*fresh);
        QCOMPARE(back.todopath, QString("/palm/BobM/todo/todo.dat"));
        QCOMPARE(back.warntime, 0);
        QCOMPARE(back.maxprio, 9);
        QCOMPARE(back.showalltodaysappts, 0);
        QCOMPARE(back.ringmissed, 0);
    }

    void scrambleVectors_data()
    {
        QTest::addColumn<QByteArray>("clear");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("two characters") << QByteArray("ab") << QByteArray::fromHex("8062");
        QTest::newRow("Palm2001") << QByteArray("Palm2001")
                                  << QByteArray::fromHex("31667d844d573f31");
    }

    void scrambleVectors()
    {
        QFETCH(QByteArray, clear);
        QFETCH(QByteArray, scrambled);
        QCOMPARE(scramblePassword(clear), scrambled);
        QCOMPARE(scramblePassword(scrambled), clear);
    }

    // The clear bytes behind the stored text are Windows-1252 where that keeps the password,
    // else UTF-8; the scrambled text holds control and upper bytes, which must come back
    // exactly through a fresh reader.
    void passwordSurvivesTheProfile_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("clearBytes");
        QTest::newRow("separators")
            << QString("a,b;c=d\\e\"f g#h") << QByteArray("a,b;c=d\\e\"f g#h");
        QTest::newRow("umlauts and euro") << QString("Grüße€ and ¤µ")
                                          << QByteArray("Gr\xFC\xDF"
                                                        "e\x80 and \xA4\xB5");
        QTest::newRow("beyond Windows-1252") << QString("Ωmega ü") << QString("Ωmega ü").toUtf8();
        QTest::newRow("Windows-1252 that reads as UTF-8")
            << QString("Ã¤") << QString("Ã¤").toUtf8();
    }

    void passwordSurvivesTheProfile()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, clearBytes);
        Settings s(&m_users, nullptr);
        s.password = password;
        save(s);
        auto file = profile();
        const std::string stored = file->value("Options/password").toString().toStdString();
        QCOMPARE(scramblePassword(QByteArray::fromStdString(palmfile::utf8ToCp1252(stored))),
                 clearBytes);
        QCOMPARE(loaded(*file).password, password);
    }

    // The start-up entry follows the setting; with no autostart folder it counts as on.
    void autostart_data()
    {
        QTest::addColumn<int>("exists");
        QTest::addColumn<QString>("saveCall");
        QTest::newRow("absent") << 0 << "delete";
        QTest::newRow("no folder") << -1 << "create";
    }

    void autostart()
    {
        QFETCH(int, exists);
        QFETCH(QString, saveCall);
        FakeAutostart autostart;
        autostart.exists = exists;
        auto file = profile();
        const Settings s = loaded(*file, &autostart);
        QCOMPARE(s.autostart, exists);
        SettingsStorage(*file, &autostart).save(s);
        QVERIFY(autostart.calls.contains(saveCall));
    }

#ifdef Q_OS_WIN
    // The registry key as older versions left it: numbers as DWORD, the password as a string.
    void registryOfOlderVersions()
    {
        const wchar_t key[] = L"Software\\Corvander\\chimewell-test\\Options";
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Corvander\\chimewell-test");
        const auto forget = qScopeGuard(
            [] { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Corvander\\chimewell-test"); });
        const auto putNumber = [&](const wchar_t* name, DWORD value) {
            return RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
        };
        QCOMPARE(putNumber(L"palmuserid", 400), LSTATUS(ERROR_SUCCESS));
        putNumber(L"warntime", DWORD(-3));
        putNumber(L"showuntimedappts", 0);
        const std::wstring scrambled =
            QString::fromStdString(
                palmfile::cp1252ToUtf8(scramblePassword("Palm2001").toStdString()))
                .toStdWString();
        RegSetKeyValueW(HKEY_CURRENT_USER, key, L"password", REG_SZ, scrambled.c_str(),
                        DWORD((scrambled.size() + 1) * sizeof(wchar_t)));

        auto registry = openProfile(QStringLiteral("chimewell-test"));
        Settings s = loaded(*registry);
        QCOMPARE(s.todopath, QString("/palm/BobM/todo/todo.dat"));
        QCOMPARE(s.warntime, -3);
        QCOMPARE(s.showalltodaysappts, 0);
        QCOMPARE(s.password, QString("Palm2001"));

        s.maxprio = 4;
        QCOMPARE(SettingsStorage(*registry, nullptr).save(s), 0);
        HKEY options = nullptr;
        QCOMPARE(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &options),
                 LSTATUS(ERROR_SUCCESS));
        DWORD values = 0;
        RegQueryInfoKeyW(options, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
        QCOMPARE(values, DWORD(15));
        for (DWORD i = 0; i < values; ++i) {
            wchar_t name[64];
            DWORD length = 64, type = 0;
            RegEnumValueW(options, i, name, &length, nullptr, &type, nullptr, nullptr);
            const bool text = std::wstring_view(name) == L"password";
            QVERIFY2(type == DWORD(text ? REG_SZ : REG_DWORD),
                     qPrintable(QString::fromWCharArray(name)));
        }
        RegCloseKey(options);
        DWORD maxprio = 0, size = sizeof maxprio;
        RegGetValueW(HKEY_CURRENT_USER, key, L"maxprio", RRF_RT_REG_DWORD, nullptr, &maxprio,
                     &size);
        QCOMPARE(maxprio, DWORD(4));
    }
#endif

    // Only a write that fails is a failed save: not a damaged file read before, nor a failure
    // of an earlier save that has been mended since.
    void failedSaveIsReported()
    {
        const QString path = m_dir.filePath("profile.conf");
        QFile damaged(path);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write("[Options\nwarntime=\"7\n");
        damaged.close();
        QSettings file(path, QSettings::IniFormat);
        QCOMPARE(file.status(), QSettings::FormatError);
        QCOMPARE(SettingsStorage(file, nullptr).save(Settings()), 0);

        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
        QSettings blocked(path, QSettings::IniFormat);
        QCOMPARE(SettingsStorage(blocked, nullptr).save(Settings()), SettingsStorage::kNotWritten);
        QVERIFY(QDir().rmdir(path));
        QCOMPARE(SettingsStorage(blocked, nullptr).save(Settings()), 0);
    }

    // The profile holds the password: whatever the umask, and for a file and folder left
    // readable by older versions, only the user may read it.
    void profileIsPrivate()
    {
#ifdef Q_OS_WIN
        QSKIP("the registry is the user's own");
#endif
        QTemporaryDir home;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        const QString folder = home.filePath("Corvander");
        const QString file = home.filePath("Corvander/chimewell-test.conf");
        for (const bool existing : {false, true}) {
            if (existing) {
                QFile::setPermissions(folder, QFileDevice::Permissions(0x7755));
                QFile::setPermissions(file, QFileDevice::Permissions(0x6644));
            }
            SettingsStorage(*openProfile("chimewell-test"), nullptr).save(Settings());
            QCOMPARE(int(QFileInfo(folder).permissions() & 0x0077), 0);
            QCOMPARE(int(QFileInfo(file).permissions() & 0x0077), 0);
            QVERIFY(QFileInfo(file).size() > 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStorage)
#include "tst_settingsstorage.moc"
