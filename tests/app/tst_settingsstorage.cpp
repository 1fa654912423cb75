#include "app/autostart.h"
#include "app/settings.h"
#include "app/settingsstorage.h"
#include "app/stringtable.h"
#include "fakepalmusers.h"
#include "palmfile/codepage.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

class RecordingAutostart : public Autostart
{
public:
    int exists = 1;
    QStringList calls;
    int StartupShortcutExists() override { return exists; }
    int CreateStartupShortcut() override
    {
        calls << "create";
        return 0;
    }
    int DeleteStartupShortcut() override
    {
        calls << "delete";
        return 0;
    }
    int RemoveRunKeyValue() override
    {
        calls << "runkey";
        return 0;
    }
};

} // namespace

class TestSettingsStorage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakePalmUsers m_users;

    std::unique_ptr<QSettings> profile(const QString& name = QStringLiteral("profile.conf"))
    {
        return std::make_unique<QSettings>(m_dir.filePath(name), QSettings::IniFormat);
    }

    Settings loaded(QSettings& settingsFile, Autostart* autostart = nullptr)
    {
        Settings settings(&m_users, nullptr);
        SettingsStorage(settingsFile, autostart).Load(settings);
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

    void firstRunTakesTheDefaults()
    {
        auto file = profile();
        const Settings s = loaded(*file);
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

    void showAllFollowsShowUntimed_data()
    {
        QTest::addColumn<QVariant>("untimed");
        QTest::addColumn<QVariant>("all");
        QTest::addColumn<int>("expected");
        QTest::newRow("untimed 0, all missing") << QVariant(0) << QVariant() << 0;
        QTest::newRow("untimed 0, all stored 1") << QVariant(0) << QVariant(1) << 1;
        QTest::newRow("untimed wrong type, all missing") << QVariant("x") << QVariant() << 1;
    }

    void showAllFollowsShowUntimed()
    {
        QFETCH(QVariant, untimed);
        QFETCH(QVariant, all);
        QFETCH(int, expected);
        auto file = profile();
        file->setValue("Options/showuntimedappts", untimed);
        if (all.isValid())
            file->setValue("Options/showalltodaysappts", all);
        QCOMPARE(loaded(*file).showalltodaysappts, expected);
    }

    void storedValuesAreUsedUnchecked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("maxprio out of range") << "maxprio" << QVariant(9) << 9;
        QTest::newRow("negative warntime") << "warntime" << QVariant(-3) << -3;
        QTest::newRow("text of a number") << "warnagaintime" << QVariant("12") << 12;
        QTest::newRow("not a number") << "warntime" << QVariant("soon") << 5;
        QTest::newRow("list") << "autohide" << QVariant(QStringList{"1", "2"}) << 1;
    }

    void storedValuesAreUsedUnchecked()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        auto file = profile();
        file->setValue("Options/" + name, stored);
        file->sync();
        auto fresh = profile();
        const Settings s = loaded(*fresh);
        const QHash<QString, int Settings::*> fields = {{"maxprio", &Settings::maxprio},
                                                        {"warntime", &Settings::warntime},
                                                        {"warnagaintime", &Settings::warnagaintime},
                                                        {"beep", &Settings::beep},
                                                        {"autohide", &Settings::autohide}};
        QCOMPARE(s.*fields.value(name), expected);
    }

    void storedUserSelectsItsPaths()
    {
        auto file = profile();
        file->setValue("Options/palmuserid", 400);
        QCOMPARE(loaded(*file).datebookpath, QString("/palm/BobM/datebook/datebook.dat"));

        file->setValue("Options/palmuserid", 999);
        const Settings unknown = loaded(*file);
        QCOMPARE(unknown.palmuserid, 999);
        QVERIFY(unknown.datebookpath.isEmpty());
        QVERIFY(unknown.todopath.isEmpty());
    }

    void scrambleVectors_data()
    {
        QTest::addColumn<QByteArray>("clear");
        QTest::addColumn<QByteArray>("scrambled");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("one character") << QByteArray("a") << QByteArray("a");
        QTest::newRow("two characters") << QByteArray("ab") << QByteArray::fromHex("8062");
        QTest::newRow("secret") << QByteArray("secret") << QByteArray::fromHex("9262729b9a74");
        QTest::newRow("Palm2001") << QByteArray("Palm2001")
                                  << QByteArray::fromHex("31667d844d573f31");
    }

    void scrambleVectors()
    {
        QFETCH(QByteArray, clear);
        QFETCH(QByteArray, scrambled);
        QCOMPARE(ScramblePassword(clear), scrambled);
        QCOMPARE(ScramblePassword(scrambled), clear);
    }

    void scrambleIsItsOwnInverseForEveryByte()
    {
        QByteArray all;
        for (int i = 0; i < 3 * 256; ++i)
            all += char(i % 256);
        QCOMPARE(ScramblePassword(ScramblePassword(all)), all);
    }

    // The scrambled text holds control and Windows-1252 upper bytes; they must come back
    // exactly from the file, also through a fresh reader.
    void passwordSurvivesTheProfile_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("ascii with upper bytes scrambled") << QString("secret");
        QTest::newRow("separators") << QString("a,b;c=d\\e\"f g#h");
        QTest::newRow("umlauts and euro") << QString("Grüße€ and ¤µ");
    }

    void passwordSurvivesTheProfile()
    {
        QFETCH(QString, password);
        {
            auto file = profile();
            Settings s(&m_users, nullptr);
            s.password = password;
            s.rememberpassword = 1;
            QCOMPARE(SettingsStorage(*file, nullptr).Save(s), 0);
            QCOMPARE(file->value("Options/password").toString().size(),
                     qsizetype(password.toUtf8().size()));
        }
        auto fresh = profile();
        QCOMPARE(loaded(*fresh).password, password);
    }

    void passwordOfTheOriginalProgram()
    {
        // It scrambled the Windows-1252 bytes of the clear text.
        const QByteArray scrambled = ScramblePassword(QByteArray("Gr\xFC\xDF"
                                                                 "e!"));
        auto file = profile();
        file->setValue("Options/password",
                       QString::fromStdString(palmfile::cp1252ToUtf8(scrambled.toStdString())));
        QCOMPARE(loaded(*file).password, QString("Grüße!"));
    }

    void saveWritesEveryValue()
    {
        Settings s(&m_users, nullptr);
        s.SelectPalmUser(400);
        s.warntime = 0;
        s.maxprio = 9;
        s.showalltodaysappts = 0;
        s.showuntimedappts = 1;
        s.password = "x";
        {
            auto file = profile();
            SettingsStorage(*file, nullptr).Save(s);
        }
        auto fresh = profile();
        fresh->beginGroup("Options");
        QCOMPARE(fresh->childKeys().size(), 14);
        fresh->endGroup();
        const Settings back = loaded(*fresh);
        QCOMPARE(back.palmuserid, 400);
        QCOMPARE(back.todopath, QString("/palm/BobM/todo/todo.dat"));
        QCOMPARE(back.warntime, 0);
        QCOMPARE(back.maxprio, 9);
        QCOMPARE(back.showalltodaysappts, 0);
        QCOMPARE(back.password, QString("x"));
    }

    void autostartHooks_data()
    {
        QTest::addColumn<int>("exists");
        QTest::addColumn<QStringList>("saveCalls");
        QTest::newRow("present") << 1 << QStringList{"runkey", "create"};
        QTest::newRow("absent") << 0 << QStringList{"runkey", "delete"};
        QTest::newRow("no folder counts as on") << -1 << QStringList{"runkey", "create"};
    }

    void autostartHooks()
    {
        QFETCH(int, exists);
        QFETCH(QStringList, saveCalls);
        RecordingAutostart autostart;
        autostart.exists = exists;
        auto file = profile();
        const Settings s = loaded(*file, &autostart);
        QCOMPARE(s.autostart, exists);
        QVERIFY(autostart.calls.isEmpty());
        SettingsStorage(*file, &autostart).Save(s);
        QCOMPARE(autostart.calls, saveCalls);
    }

    void failedSaveIsReported()
    {
        QFile blocker(m_dir.filePath("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSettings file(m_dir.filePath("not-a-folder/profile.conf"), QSettings::IniFormat);
        RecordingAutostart autostart;
        Settings s;
        s.autostart = 0;
        QVERIFY(SettingsStorage(file, &autostart).Save(s) != 0);
        QCOMPARE(autostart.calls, (QStringList{"runkey", "delete"}));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStorage)
#include "tst_settingsstorage.moc"
