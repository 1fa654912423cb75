// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "ui/helptexts.h"
#include "ui/optionsdialog.h"
#ifndef Q_OS_WIN
#include "ui/platform/xdgautostart.h"
#endif
#include "uitestsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QtTest>

namespace {
QCheckBox* checkBox(const OptionsDialog& dialog, const QString& caption)
{
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        if (box->text() == caption)
            return box;
    qFatal("no check box %s", qPrintable(caption));
}

QComboBox* priority(const OptionsDialog& dialog)
{
    return qobject_cast<QComboBox*>(dialog.control(IDC_MAX_PRIORITY));
}

QLineEdit* password(const OptionsDialog& dialog)
{
    return qobject_cast<QLineEdit*>(dialog.control(IDC_PASSWORD));
}

QList<QVariant> optionFields(const Settings& s)
{
    return {s.showalltodaysappts, s.warnred,      s.showuntimedappts, s.autostart,
            s.autohide,           s.showprivate,  s.rememberpassword, s.showtodosnodate,
            s.showtodos,          s.beep,         s.maxprio,          s.password,
            s.warntime,           s.warnagaintime};
}

// The What's This pop-up on screen, or null.
QWidget* whatsThisPopup()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat")
            return w;
    return nullptr;
}
} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    // Ticking a box sets the one field its caption names, and that field alone opens it ticked.
    void eachBoxEditsTheFieldItsCaptionNames()
    {
        const struct
        {
            const char* caption;
            int Settings::*field;
        } boxes[] = {
            {"Autostart at &logon", &Settings::autostart},
            {"&Hide at start", &Settings::autohide},
            {"Reminder window &red", &Settings::warnred},
            {"&Show", &Settings::showprivate},
            {"S&tore", &Settings::rememberpassword},
            {"Show &untimed", &Settings::showuntimedappts},
            {"&Beep", &Settings::beep},
            {"Show all for toda&y", &Settings::showalltodaysappts},
            {"Show &due", &Settings::showtodos},
            {"&All up to priority", &Settings::showtodosnodate},
        };
        Settings off;
        for (const auto& box : boxes)
            off.*box.field = 0;
        for (const auto& box : boxes) {
            Settings expected = off;
            expected.*box.field = 1;
            OptionsDialog dialog;
            dialog.load(off);
            checkBox(dialog, box.caption)->setChecked(true);
            Settings stored = off;
            dialog.store(stored);
            QVERIFY2(optionFields(stored) == optionFields(expected), box.caption);

            OptionsDialog again;
            again.load(expected);
            for (QCheckBox* other : again.findChildren<QCheckBox*>())
                QVERIFY2(other->isChecked() == (other->text() == box.caption), box.caption);
        }
    }

    // A priority outside 1..5 selects nothing and stays until one is chosen; the password shows
    // and is kept only with Store ticked; an autostart without a folder (-1) shows ticked.
    void valuesShownAndStored()
    {
        for (auto [maxprio, shown, choose, stored] :
             {std::tuple{5, "5", -1, 5}, {0, "", -1, 0}, {6, "", 1, 2}}) {
            Settings s;
            s.maxprio = maxprio;
            OptionsDialog dialog;
            dialog.load(s);
            QCOMPARE(priority(dialog)->currentText(), shown);
            if (choose >= 0)
                priority(dialog)->setCurrentIndex(choose);
            dialog.store(s);
            QCOMPARE(s.maxprio, stored);
        }

        for (auto [remember, shown, tickStore, typed, stored] :
             {std::tuple{1, "secret", true, "", "secret"},
              {0, "", false, "new", ""},
              {0, "", true, "new", "new"},
              {1, "secret", false, "", ""}}) {
            Settings s;
            s.rememberpassword = remember;
            s.password = QStringLiteral("secret");
            OptionsDialog dialog;
            dialog.load(s);
            QCOMPARE(password(dialog)->text(), shown);
            QCOMPARE(password(dialog)->echoMode(), QLineEdit::Password);
            if (*typed)
                password(dialog)->setText(typed);
            checkBox(dialog, "S&tore")->setChecked(tickStore);
            dialog.store(s);
            QCOMPARE(s.password, stored);
        }

        Settings s;
        s.autostart = -1;
        OptionsDialog dialog;
        dialog.load(s);
        dialog.store(s);
        QCOMPARE(s.autostart, 1);
    }

    void okAppliesEscapeDiscards()
    {
        for (const bool ok : {true, false}) {
            MainWindowFixture fixture;
            MainWindow& window = fixture.open();
            window.show();
            const QList<QVariant> before = optionFields(fixture.current());
            const QString caption = window.findChild<QGroupBox*>()->title();
            fixture.takeRescans();
            answerNextModal<OptionsDialog>([&] { clickButton(window, QStringLiteral("&Options")); },
                                           [ok](OptionsDialog* dialog) {
                                               for (auto* check :
                                                    dialog->findChildren<QCheckBox*>())
                                                   check->toggle();
                                               priority(*dialog)->setCurrentIndex(4);
                                               if (ok)
                                                   dialog->accept();
                                               else
                                                   QTest::keyClick(dialog, Qt::Key_Escape);
                                           });
            QCOMPARE(fixture.saves, ok ? 1 : 0);
            QCOMPARE(fixture.takeRescans(), ok ? 1 : 0);
            QCOMPARE(optionFields(fixture.current()) != before, ok);
            QCOMPARE(fixture.current().beep, ok ? 1 : 0);
            // The list's caption follows "Show due" to-dos.
            QCOMPARE(window.findChild<QGroupBox*>()->title() != caption, ok);
        }
    }

#ifndef Q_OS_WIN
    // The entry is made with its folder, runs the program from there; without a folder
    // nothing can be done.
    void autostartEntry()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("fresh/autostart"));
        XdgAutostart autostart(folder, QStringLiteral("/usr/bin/chimewell"));
        QCOMPARE(autostart.deleteStartupShortcut(), 0);
        QCOMPARE(autostart.createStartupShortcut(), 0);
        QFile file(autostart.entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(file.readAll());
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        for (const QString& line :
             {QStringLiteral("Exec=/usr/bin/chimewell\n"), QStringLiteral("Path=%1\n").arg(folder)})
            QVERIFY2(entry.contains(line), qPrintable(line));

        XdgAutostart nowhere(QString(), QStringLiteral("/usr/bin/chimewell"));
        QCOMPARE(nowhere.startupShortcutExists(), -1);
        QCOMPARE(nowhere.createStartupShortcut(), -1);
        QCOMPARE(nowhere.deleteStartupShortcut(), -1);
    }

    // An entry the desktop switched off counts as off, and a save with the box clear leaves
    // it as it is; only ticking the box switches it on again.
    void switchedOffEntry()
    {
        for (auto [switchLine, exists] : {std::pair{"Hidden=true", 0},
                                          {"X-GNOME-Autostart-enabled = false", 0},
                                          {"X-GNOME-Autostart-enabled=true", 1},
                                          {"[Desktop Action quit]\nHidden=true", 1}}) {
            QTemporaryDir dir;
            XdgAutostart autostart(dir.path(), QStringLiteral("/usr/bin/chimewell"));
            const QByteArray entry =
                QByteArray("[Desktop Entry]\nExec=/usr/bin/chimewell\n") + switchLine + '\n';
            QFile file(autostart.entryPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(entry);
            file.close();
            QCOMPARE(autostart.startupShortcutExists(), exists);
            if (exists)
                continue;
            QCOMPARE(autostart.deleteStartupShortcut(), 0);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), entry);
            file.close();
            QCOMPARE(autostart.createStartupShortcut(), 0);
            QCOMPARE(autostart.startupShortcutExists(), 1);
        }
    }

    // A relative XDG_CONFIG_HOME is ignored. A program path that a desktop would split, expand
    // or read as a new key is quoted.
    void autostartFolderAndExec()
    {
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        const QByteArray oldHome = qgetenv("HOME");
        for (auto [configHome, home, folder] : {std::tuple{"/cfg", "/u", "/cfg/autostart"},
                                                {"cfg", "/u", "/u/.config/autostart"},
                                                {"", "", ""}}) {
            qputenv("XDG_CONFIG_HOME", configHome);
            qputenv("HOME", home);
            const QString given = XdgAutostart::defaultFolder();
            qputenv("XDG_CONFIG_HOME", oldConfig);
            qputenv("HOME", oldHome);
            QCOMPARE(given, folder);
        }

        for (auto [path, exec] : {std::pair{"/opt/my apps/chimewell", "\"/opt/my apps/chimewell\""},
                                  {"/opt/100%/chimewell", "/opt/100%%/chimewell"},
                                  {"/opt/$x\"y/chimewell", "\"/opt/\\\\$x\\\\\"y/chimewell\""},
                                  {"/opt/a\nName=x", "\"/opt/a\\nName=x\""}})
            QCOMPARE(desktopExecArgument(path), exec);
    }
#endif

    // Every control explains itself in the language the dialog was made in: with a right
    // click on it, or with F1 when it has the focus; a right click elsewhere shows nothing.
    void whatsThisForEveryControl()
    {
        setUiLanguage(UiLanguage::German);
        OptionsDialog dialog;
        setUiLanguage(UiLanguage::English);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const ContextHelp& topic : contextHelpTable()) {
            QWidget* control = dialog.control(topic.context - 0x50000);
            QVERIFY2(control, qPrintable(QString::number(topic.context, 16)));
            QCOMPARE(control->whatsThis(), QString::fromUtf8(topic.german));
            QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                              control->mapTo(&dialog, control->rect().center()));
            QWidget* popup = whatsThisPopup();
            QVERIFY2(popup, qPrintable(QString::number(topic.context, 16)));
            QTest::keyClick(popup, Qt::Key_Escape);
            QTRY_VERIFY(!whatsThisPopup());
        }
        QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, QPoint(1, 1));
        QVERIFY(!whatsThisPopup());
        password(dialog)->setFocus();
        QTest::keyClick(password(dialog), Qt::Key_F1);
        QWidget* popup = whatsThisPopup();
        QVERIFY(popup);
        QTest::keyClick(popup, Qt::Key_Escape);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
