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

    // Ticking a box sets the one field its caption names.
    void eachBoxEditsTheFieldItsCaptionNames()
    {
        const std::pair<const char*, int Settings::*> boxes[] = {
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
        for (const auto& [caption, field] : boxes)
            off.*field = 0;
        for (const auto& [caption, field] : boxes) {
            Settings expected = off;
            expected.*field = 1;
            OptionsDialog dialog;
            dialog.load(off);
            checkBox(dialog, caption)->setChecked(true);
            Settings stored = off;
            dialog.store(stored);
            QVERIFY2(optionFields(stored) == optionFields(expected), caption);
        }
    }

    // The password is kept only with Store ticked.
    void passwordOnlyWithStore()
    {
        const std::tuple<int, bool, const char*, const char*> rows[] = {{1, true, "", "secret"},
                                                                        {0, false, "new", ""},
                                                                        {0, true, "new", "new"},
                                                                        {1, false, "", ""}};
        for (auto [remember, tickStore, typed, stored] : rows) {
            Settings s;
            s.rememberpassword = remember;
            s.password = QStringLiteral("secret");
            OptionsDialog dialog;
            dialog.load(s);
            if (*typed)
                qobject_cast<QLineEdit*>(dialog.control(IDC_PASSWORD))->setText(typed);
            checkBox(dialog, "S&tore")->setChecked(tickStore);
            dialog.store(s);
            QCOMPARE(s.password, stored);
        }
    }

#ifndef Q_OS_WIN
    // An entry the desktop switched off in its main group counts as off.
    void switchedOffEntry()
    {
        const std::pair<const char*, int> rows[] = {{"Hidden=true", 0},
                                                    {"X-GNOME-Autostart-enabled = false", 0},
                                                    {"X-GNOME-Autostart-enabled=true", 1},
                                                    {"[Desktop Action quit]\nHidden=true", 1}};
        for (auto [switchLine, exists] : rows) {
            QTemporaryDir dir;
            XdgAutostart autostart(dir.path(), QStringLiteral("/usr/bin/chimewell"));
            const QByteArray entry =
                QByteArray("[Desktop Entry]\nExec=/usr/bin/chimewell\n") + switchLine + '\n';
            QFile file(autostart.entryPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(entry);
            file.close();
            QCOMPARE(autostart.startupShortcutExists(), exists);
        }
    }

    // A program path that a desktop would split, expand or read as a new key is quoted.
    void autostartExec()
    {
        for (auto [path, exec] : {std::pair{"/opt/my apps/chimewell", "\"/opt/my apps/chimewell\""},
                                  {"/opt/100%/chimewell", "/opt/100%%/chimewell"},
                                  {"/opt/$x\"y/chimewell", "\"/opt/\\\\$x\\\\\"y/chimewell\""},
                                  {"/opt/a\nName=x", "\"/opt/a\\nName=x\""}})
            QCOMPARE(desktopExecArgument(path), exec);
    }
#endif

    // A right click on any control explains it.
    void whatsThisForEveryControl()
    {
        OptionsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const ContextHelp& topic : contextHelpTable()) {
            QWidget* control = dialog.control(topic.context - 0x50000);
            QVERIFY2(control, qPrintable(QString::number(topic.context, 16)));
            QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {},
                              control->mapTo(&dialog, control->rect().center()));
            QWidget* popup = whatsThisPopup();
            QVERIFY2(popup, qPrintable(QString::number(topic.context, 16)));
            QTest::keyClick(popup, Qt::Key_Escape);
            QTRY_VERIFY(!whatsThisPopup());
        }
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
