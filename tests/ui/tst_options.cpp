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
QCheckBox* box(const OptionsDialog& dialog, int id)
{
    return qobject_cast<QCheckBox*>(dialog.control(id));
}

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

#ifndef Q_OS_WIN
QString readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
#endif

// Opens Options from the main window and lets `answer` fill in and close the dialog.
void runOptions(MainWindow& window, const std::function<void(OptionsDialog*)>& answer)
{
    answerNextModal<OptionsDialog>([&] { clickButton(window, QStringLiteral("&Options")); },
                                   answer);
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

    void priorityListMapping_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("choose");
        QTest::addColumn<int>("result");
        QTest::newRow("5 kept") << 5 << "5" << -2 << 5;
        QTest::newRow("0: no selection, stores 0") << 0 << "" << -2 << 0;
        QTest::newRow("6: no selection, choose 2") << 6 << "" << 1 << 2;
    }

    void priorityListMapping()
    {
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, choose);
        QFETCH(int, result);
        Settings s;
        s.maxprio = stored;
        OptionsDialog dialog;
        dialog.load(s);
        QCOMPARE(priority(dialog)->currentText(), shown);
        if (choose != -2)
            priority(dialog)->setCurrentIndex(choose);
        dialog.store(s);
        QCOMPARE(s.maxprio, result);
    }

    void passwordKeptOnlyWhenStored_data()
    {
        QTest::addColumn<int>("remember");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("tickStore");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("stored, kept") << 1 << "secret" << true << ""
                                      << "secret";
        QTest::newRow("not stored: empty, typed lost") << 0 << "" << false << "new"
                                                       << "";
        QTest::newRow("store ticked now") << 0 << "" << true << "new"
                                          << "new";
        QTest::newRow("store cleared") << 1 << "secret" << false << ""
                                       << "";
    }

    void passwordKeptOnlyWhenStored()
    {
        QFETCH(int, remember);
        QFETCH(QString, shown);
        QFETCH(bool, tickStore);
        QFETCH(QString, typed);
        QFETCH(QString, result);
        Settings s;
        s.rememberpassword = remember;
        s.password = QStringLiteral("secret");
        OptionsDialog dialog;
        dialog.load(s);
        QCOMPARE(password(dialog)->text(), shown);
        QCOMPARE(password(dialog)->echoMode(), QLineEdit::Password);
        if (!typed.isEmpty())
            password(dialog)->setText(typed);
        box(dialog, IDC_STORE_PASSWORD)->setChecked(tickStore);
        dialog.store(s);
        QCOMPARE(s.password, result);
    }

    void autostartWithoutFolderShowsTicked()
    {
        Settings s;
        s.autostart = -1;
        OptionsDialog dialog;
        dialog.load(s);
        QVERIFY(box(dialog, IDC_AUTOSTART)->isChecked());
        dialog.store(s);
        QCOMPARE(s.autostart, 1);
    }

    void okAppliesCancelDiscards_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Escape") << false;
    }

    void okAppliesCancelDiscards()
    {
        QFETCH(bool, ok);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.show();
        const QList<QVariant> before = optionFields(fixture.current());
        fixture.takeRescans();
        runOptions(window, [ok](OptionsDialog* dialog) {
            for (auto* check : dialog->findChildren<QCheckBox*>())
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
        QCOMPARE(window.findChild<QGroupBox*>()->title(),
                 ok ? QStringLiteral("Appointments for today")
                    : QStringLiteral("Appointments and To Do items for today"));
    }

#ifndef Q_OS_WIN
    void autostartEntry()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("fresh/autostart"));
        XdgAutostart autostart(folder, QStringLiteral("/usr/bin/chimewell"));
        QCOMPARE(autostart.deleteStartupShortcut(), 0);
        QCOMPARE(autostart.createStartupShortcut(), 0);
        QCOMPARE(autostart.entryPath(), folder + QStringLiteral("/Chimewell.desktop"));
        QFile file(autostart.entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(file.readAll());
        QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
        for (const QString& line :
             {QStringLiteral("Type=Application\n"), QStringLiteral("Exec=/usr/bin/chimewell\n"),
              QStringLiteral("Path=%1\n").arg(folder)})
            QVERIFY2(entry.contains(line), qPrintable(line));

        XdgAutostart nowhere(QString(), QStringLiteral("/usr/bin/chimewell"));
        QCOMPARE(nowhere.startupShortcutExists(), -1);
        QCOMPARE(nowhere.createStartupShortcut(), -1);
        QCOMPARE(nowhere.deleteStartupShortcut(), -1);
    }

    // An entry the desktop switched off counts as off, and a save with the box clear leaves
    // it as it is; only ticking the box switches it on again.
    void switchedOffEntry_data()
    {
        QTest::addColumn<QString>("switchLine");
        QTest::addColumn<int>("exists");
        QTest::newRow("Hidden") << "Hidden=true" << 0;
        QTest::newRow("GNOME switch") << "X-GNOME-Autostart-enabled = false" << 0;
        QTest::newRow("GNOME switch on") << "X-GNOME-Autostart-enabled=true" << 1;
        QTest::newRow("another group") << "[Desktop Action quit]\nHidden=true" << 1;
    }

    void switchedOffEntry()
    {
        QFETCH(QString, switchLine);
        QFETCH(int, exists);
        QTemporaryDir dir;
        XdgAutostart autostart(dir.path(), QStringLiteral("/usr/bin/chimewell"));
        const QByteArray entry = "[Desktop Entry]\nType=Application\nExec=/usr/bin/chimewell\n" +
                                 switchLine.toUtf8() + '\n';
        QFile file(autostart.entryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(entry);
        file.close();
        QCOMPARE(autostart.startupShortcutExists(), exists);
        if (exists)
            return;
        QCOMPARE(autostart.deleteStartupShortcut(), 0);
        QCOMPARE(readFile(autostart.entryPath()).toUtf8(), entry);
        QCOMPARE(autostart.createStartupShortcut(), 0);
        QCOMPARE(autostart.startupShortcutExists(), 1);
    }

    void defaultAutostartFolder_data()
    {
        QTest::addColumn<QByteArray>("configHome");
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<QString>("folder");
        QTest::newRow("XDG_CONFIG_HOME")
            << QByteArray("/cfg") << QByteArray("/u") << "/cfg/autostart";
        QTest::newRow("relative ignored")
            << QByteArray("cfg") << QByteArray("/u") << "/u/.config/autostart";
        QTest::newRow("nothing known") << QByteArray() << QByteArray() << "";
    }

    void defaultAutostartFolder()
    {
        QFETCH(QByteArray, configHome);
        QFETCH(QByteArray, home);
        QFETCH(QString, folder);
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        const QByteArray oldHome = qgetenv("HOME");
        qputenv("XDG_CONFIG_HOME", configHome);
        qputenv("HOME", home);
        const QString given = XdgAutostart::defaultFolder();
        qputenv("XDG_CONFIG_HOME", oldConfig);
        qputenv("HOME", oldHome);
        QCOMPARE(given, folder);
    }

    void execArgumentQuoting_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("blank") << "/opt/my apps/chimewell"
                               << "\"/opt/my apps/chimewell\"";
        QTest::newRow("percent") << "/opt/100%/chimewell"
                                 << "/opt/100%%/chimewell";
        QTest::newRow("dollar and quote") << "/opt/$x\"y/chimewell"
                                          << "\"/opt/\\\\$x\\\\\"y/chimewell\"";
        QTest::newRow("line break") << "/opt/a\nName=x"
                                    << "\"/opt/a\\nName=x\"";
    }

    void execArgumentQuoting()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(desktopExecArgument(path), exec);
    }
#endif

    // Every control explains itself in the current language.
    void whatsThisForEveryControl()
    {
        setUiLanguage(UiLanguage::German);
        OptionsDialog dialog;
        setUiLanguage(UiLanguage::English);
        for (const ContextHelp& topic : contextHelpTable()) {
            QWidget* control = dialog.control(topic.context - 0x50000);
            QVERIFY2(control, qPrintable(QString::number(topic.context, 16)));
            QCOMPARE(control->whatsThis(), QString::fromUtf8(topic.german));
        }

        // A right click explains the control clicked, F1 the one that has the focus; a right
        // click on the dialog's background shows nothing.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const ContextHelp& topic : contextHelpTable()) {
            QWidget* control = dialog.control(topic.context - 0x50000);
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
