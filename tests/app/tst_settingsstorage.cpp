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

    // Stored numbers are used unchecked; values of the wrong type give the default.
    void storedValues()
    {
        const struct
        {
            QVariantMap stored;
            int Settings::*field;
            int expected;
        } rows[] = {{{{"warnagaintime", "12"}}, &Settings::warnagaintime, 12},
                    {{{"showuntimedappts", "x"}}, &Settings::showalltodaysappts, 1}};
        for (const auto& row : rows) {
            init();
            {
                auto file = profile();
                for (auto it = row.stored.cbegin(); it != row.stored.cend(); ++it)
                    file->setValue("Options/" + it.key(), it.value());
            }
            QCOMPARE(loaded(*profile()).*row.field, row.expected);
        }
    }

    // The clear bytes behind the stored text are Windows-1252 where that keeps the password,
    // else UTF-8; the scrambled text holds control and upper bytes, which must come back
    // exactly through a fresh reader. The other values come back too.
    void saveAndLoadAgain()
    {
        QCOMPARE(scramblePassword("Palm2001"), QByteArray::fromHex("31667d844d573f31"));
        const std::pair<QString, QByteArray> passwords[] = {
            {"Grüße€ and ¤µ", "Gr\xFC\xDF"
                              "e\x80 and \xA4\xB5"},
            {"Ωmega ü", QString("Ωmega ü").toUtf8()}};
        for (const auto& [password, clearBytes] : passwords) {
            Settings s(&m_users, nullptr);
            s.selectPalmUser(400);
            s.maxprio = 9;
            s.password = password;
            QCOMPARE(SettingsStorage(*profile(), nullptr).save(s), 0);
            auto file = profile();
            const std::string stored = file->value("Options/password").toString().toStdString();
            QCOMPARE(scramblePassword(QByteArray::fromStdString(palmfile::utf8ToCp1252(stored))),
                     clearBytes);
            const Settings back = loaded(*file);
            QCOMPARE(back.password, password);
            QCOMPARE(back.todopath, QString("/palm/BobM/todo/todo.dat"));
            QCOMPARE(back.maxprio, 9);
        }
    }

    // The start-up entry follows the setting; with no autostart folder it counts as on.
    void autostart()
    {
        for (const auto& [exists, saveCall] : {std::pair{0, "delete"}, std::pair{-1, "create"}}) {
            FakeAutostart autostart;
            autostart.exists = exists;
            auto file = profile();
            const Settings s = loaded(*file, &autostart);
            QCOMPARE(s.autostart, exists);
            SettingsStorage(*file, &autostart).save(s);
            QVERIFY(autostart.calls.contains(saveCall));
        }
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
        // Numbers go back as DWORD.
        DWORD maxprio = 0, size = sizeof maxprio;
        RegGetValueW(HKEY_CURRENT_USER, key, L"maxprio", RRF_RT_REG_DWORD, nullptr, &maxprio,
                     &size);
        QCOMPARE(maxprio, DWORD(4));
    }
#endif

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
