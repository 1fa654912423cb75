// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "palm/timetexts.h"
#include "ui/aboutdialog.h"
#include "ui/alarmdialog.h"
#include "ui/helppage.h"
#include "ui/helptexts.h"
#include "ui/hyperlink.h"
#include "ui/messageboxnotice.h"
#include "ui/optionsdialog.h"
#include "ui/spinarrows.h"
#include "ui/uitranslation.h"
#include "uitestsupport.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <QXmlStreamReader>
#include <QtTest>

#include <ctime>

namespace {
enum class Way
{
    HideButton,
    Enter,
    Tab,
    Escape,
    CloseBox,
    Minimise
};

QLineEdit* minutesField(QWidget& window)
{
    return window.findChild<QLineEdit*>();
}

void typeMinutes(QWidget& window, const QString& keys)
{
    QLineEdit* field = minutesField(window);
    field->selectAll();
    QTest::keyClicks(field, keys);
}

bool validationShown()
{
    return QToolTip::isVisible() && QToolTip::text().contains(QStringLiteral("0 to 60"));
}

// The tray tooltip as the desktop shows it: Windows as plain text; elsewhere Qt draws it and
// takes a text that looks like HTML for rich text.
QString tooltipAsShown(const QString& tip)
{
#ifndef Q_OS_WIN
    if (Qt::mightBeRichText(tip)) {
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText();
    }
#endif
    return tip;
}

void tick(MainWindow& window)
{
    QMetaObject::invokeMethod(&window, "tick");
}

// Every text `window` shows: its title and the labels, buttons, group boxes, check boxes,
// tooltips and What's This texts of its widgets, and its menus' actions.
QStringList shownTexts(const QWidget& window)
{
    QStringList texts{window.windowTitle()};
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window))
            continue;
        if (auto* label = qobject_cast<const QLabel*>(widget))
            texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            texts << button->text();
        if (auto* group = qobject_cast<const QGroupBox*>(widget))
            texts << group->title();
        texts << widget->toolTip() << widget->whatsThis();
    }
    for (const QAction* action : window.findChildren<QAction*>())
        texts << action->text();
    texts.removeAll(QString());
    return texts;
}

// Whether the letters after "&" in these texts differ, so that each Alt key reaches one
// control.
bool uniqueMnemonics(const QStringList& texts)
{
    static const QRegularExpression mnemonic(QStringLiteral("&([^&\\s])"));
    QSet<QString> keys;
    for (const QString& text : texts) {
        const QRegularExpressionMatch match = mnemonic.match(text);
        if (!match.hasMatch())
            continue;
        const QString key = match.captured(1).toLower();
        if (keys.contains(key))
            return false;
        keys.insert(key);
    }
    return true;
}

// The texts of a window's buttons and of the labels that lead to a control.
QStringList mnemonicTexts(const QWidget& window)
{
    QStringList texts;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<const QLabel*>(widget); label && label->buddy())
            texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget))
            texts << button->text();
    }
    return texts;
}

QStringList paragraphs(const QString& text)
{
    return text.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
}

// What the German user may see: the translations (res/translations), the string table's and
// the help pop-ups' German texts, paragraph by paragraph. A placeholder (%1, %d) stands for
// any text, and a time may follow, as in a caption.
QList<QRegularExpression> germanTexts()
{
    QStringList texts;
    QFile ts(QStringLiteral(CHIMEWELL_SOURCE_DIR "/res/translations/chimewell_de.ts"));
    if (!ts.open(QIODevice::ReadOnly))
        qFatal("no German translations");
    QXmlStreamReader xml(&ts);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"translation")
            texts << xml.readElementText();
    }
    // Every id the string table can have.
    for (int id = 0; id <= 0xFFFF; ++id)
        texts << loadText(id);
    for (const ContextHelp& topic : contextHelpTable())
        texts << QString::fromUtf8(topic.german);
    texts.removeAll(QString());

    QList<QRegularExpression> patterns;
    static const QRegularExpression placeholder(QStringLiteral("\\\\%(\\d|d)"));
    for (const QString& text : texts) {
        for (const QString& paragraph : paragraphs(text)) {
            const QString pattern =
                QRegularExpression::escape(paragraph).replace(placeholder, QStringLiteral(".+"));
            patterns << QRegularExpression(QStringLiteral("^(?:%1)[^\\p{L}]*$").arg(pattern));
        }
    }
    return patterns;
}

// Opens the fixture's window and waits until it is on screen.
MainWindow& openShown(MainWindowFixture& fixture)
{
    MainWindow& window = fixture.open();
    window.show();
    window.activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(&window)); }();
    return window;
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTimeZone("Europe/Berlin");
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    void cleanup() { QToolTip::hideText(); }

    // Each valid keystroke stores the minutes and asks for a rescan; a bad one shows the
    // message at the field and stores nothing. The arrows step within 0..60, from the stored
    // value while the field holds a bad one.
    void minutesFieldTakesOnlyZeroToSixty()
    {
        for (auto [keys, warntime, rescans, message] : {std::tuple{"60", 60, 2, false},
                                                        {"61", 6, 1, true},
                                                        {"x", 5, 0, false},
                                                        {"\b", 5, 0, true}}) {
            QToolTip::hideText();
            MainWindowFixture fixture;
            MainWindow& window = openShown(fixture);
            fixture.takeRescans();
            typeMinutes(window, keys);
            QCOMPARE(fixture.current().warntime, warntime);
            QCOMPARE(fixture.takeRescans(), rescans);
            QCOMPARE(validationShown(), message);
        }
        for (auto [start, up, useKeys, warntime] : {std::tuple{"5", true, true, 6},
                                                    {"5", false, false, 4},
                                                    {"60", true, false, 60},
                                                    {"0", false, true, 0},
                                                    {"75", true, false, 8}}) {
            MainWindowFixture fixture;
            MainWindow& window = fixture.open();
            typeMinutes(window, start);
            auto* arrows = window.findChild<SpinArrows*>();
            if (useKeys)
                QTest::keyClick(minutesField(window), up ? Qt::Key_Up : Qt::Key_Down);
            else
                (up ? arrows->upButton() : arrows->downButton())->click();
            QCOMPARE(fixture.current().warntime, warntime);
            QCOMPARE(minutesField(window)->text(), QString::number(warntime));
        }
    }

    // Only a tray icon can bring the window back. Every way out of the minutes field treats a
    // bad value alike: the message at the field, which keeps the focus, and nothing stored.
    void closingHidesOnlyWithATrayAndValidMinutes()
    {
        QList<std::tuple<Way, bool, QString, bool, int>> rows;
        for (const Way way :
             {Way::HideButton, Way::Enter, Way::Tab, Way::Escape, Way::CloseBox, Way::Minimise})
            rows.append({way, true, "12", way == Way::Tab, 12});
        for (const Way way : {Way::HideButton, Way::Minimise})
            rows.append({way, false, "12", true, 12});
        for (const Way way : {Way::HideButton, Way::Enter, Way::Tab, Way::Escape, Way::CloseBox})
            rows.append({way, true, "75", true, 7});
        for (const auto& [way, tray, keys, visible, warntime] : std::as_const(rows)) {
            const bool message = keys == "75";
            QToolTip::hideText();
            MainWindowFixture fixture;
            fixture.trayAvailable = tray;
            MainWindow& window = openShown(fixture);
            QLineEdit* field = minutesField(window);
            field->setFocus();
            typeMinutes(window, keys);
            switch (way) {
            case Way::HideButton:
                clickButton(window, QStringLiteral("Hi&de"));
                break;
            case Way::Enter:
                QTest::keyClick(field, Qt::Key_Return);
                break;
            case Way::Tab:
                QTest::keyClick(field, Qt::Key_Tab);
                break;
            case Way::Escape:
                QTest::keyClick(&window, Qt::Key_Escape);
                break;
            case Way::CloseBox:
                window.close();
                break;
            case Way::Minimise:
                window.showMinimized();
                QTest::qWait(50);
                break;
            }
            QCOMPARE(window.isVisible(), visible);
            QCOMPARE(fixture.current().warntime, warntime);
            QCOMPARE(validationShown(), message);
            if (way == Way::Tab || message)
                QCOMPARE(field->hasFocus(), message);
        }
    }

    // The list and the tooltip show the worker's texts exactly as typed, however they look.
    void postedTextsShowAsTyped_data()
    {
        QTest::addColumn<QString>("tooltip");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("looks like HTML")
            << "10:00 Review <code> changes"
            << QStringList{"10:00 Review <code> changes", "<b>Bold</b> &amp; more"};
        QTest::newRow("an entity, two blanks") << "a &lt; b  &  c" << QStringList{"a &lt; b"};
        QTest::newRow("nothing left") << "No more appointments today" << QStringList{};
    }

    void postedTextsShowAsTyped()
    {
        QFETCH(QString, tooltip);
        QFETCH(QStringList, lines);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.updateList(QStringLiteral("10:00 Earlier"), {"10:00 Earlier", "11:00 Also earlier"});
        QMetaObject::invokeMethod(&window, "updateList", Qt::QueuedConnection,
                                  Q_ARG(QString, tooltip), Q_ARG(QStringList, lines));
        auto* tray = window.findChild<QSystemTrayIcon*>();
        QTRY_COMPARE(tooltipAsShown(tray->toolTip()), tooltip);
        auto* list = window.findChild<QListWidget*>();
        QStringList rows;
        for (int row = 0; row < list->count(); ++row)
            rows << list->item(row)->text();
        QCOMPARE(rows, lines);
    }

    // The panel started after the program: "Hide at start" waits for its notification area,
    // unless the user took to the window meanwhile.
    void lateNotificationAreaHidesAsAtStart_data()
    {
        QTest::addColumn<int>("autohide");
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("visible");
        QTest::newRow("untouched") << 1 << "" << false;
        QTest::newRow("a key pressed") << 1 << "key" << true;
        QTest::newRow("a click") << 1 << "click" << true;
        QTest::newRow("no hide at start") << 0 << "" << true;
    }

    void lateNotificationAreaHidesAsAtStart()
    {
        QFETCH(int, autohide);
        QFETCH(QString, input);
        QFETCH(bool, visible);
        MainWindowFixture fixture;
        fixture.trayAvailable = false;
        fixture.settings->update([autohide](Settings& s) { s.autohide = autohide; });
        MainWindow& window = openShown(fixture);
        tick(window);
        tick(window);
        QVERIFY(window.isVisible());
        auto* clock = window.findChild<QTimer*>(QStringLiteral("captionClock"));
        QCOMPARE(clock->interval(), autohide ? 1000 : 60000);
        if (input == "key")
            QTest::keyClick(window.findChild<QComboBox*>(), Qt::Key_Down);
        else if (input == "click")
            QTest::mouseClick(window.findChild<QListWidget*>()->viewport(), Qt::LeftButton);
        // After a minute the window looks for the notification area with the caption only.
        fixture.clock.t += 60;
        tick(window);
        QCOMPARE(clock->interval(), 60000);
        fixture.trayAvailable = true;
        tick(window);
        QCOMPARE(window.isVisible(), visible);
    }

    void trayShowsAndQuits()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        QSignalSpy quit(&window, &MainWindow::quitRequested);
        auto* tray = window.findChild<QSystemTrayIcon*>();
        const QList<QAction*> menu = tray->contextMenu()->actions();

        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        menu.at(0)->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QTRY_VERIFY(window.isActiveWindow());
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));

        window.hide();
        emit tray->activated(QSystemTrayIcon::Trigger);
        QVERIFY(window.isVisible());

        window.hide();
        menu.at(3)->trigger();
        clickButton(window, QStringLiteral("&Quit"));
        QCOMPARE(quit.count(), 2);
        QVERIFY(!window.isVisible());
    }

    // A log-out or a kill must not lose a change: each reaches the profile at once. Only the
    // Options dialog's OK also applies the autostart option.
    void changedValuesAreSavedAtOnce()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.findChild<QComboBox*>()->setCurrentIndex(1);
        QCOMPARE(fixture.valueSaves, 1);
        typeMinutes(window, QStringLiteral("9"));
        QCOMPARE(fixture.valueSaves, 2);
        int answer = -1;
        AlarmDialog::setTestRunner([](AlarmDialog& dialog) { dialog.setSnoozeMinutes(7); });
        window.answerAlarm(QStringLiteral("10:00 Dentist"), &answer);
        AlarmDialog::setTestRunner({});
        QCOMPARE(fixture.valueSaves, 3);
        QCOMPARE(fixture.saves, 0);
    }

    void userListSelectsTheStoredUser()
    {
        for (auto [withUsers, stored, shown, palmuserid] :
             {std::tuple{true, 7, "Ben", 7}, {true, 99, "Anna", 3}, {false, 7, "", -1}}) {
            MainWindowFixture fixture;
            if (!withUsers)
                fixture.users = FakePalmUsers();
            fixture.settings->update([stored](Settings& s) { s.palmuserid = stored; });
            MainWindow& window = fixture.open();
            QCOMPARE(window.findChild<QComboBox*>()->currentText(), shown);
            QCOMPARE(fixture.current().palmuserid, palmuserid);
            QCOMPARE(fixture.current().datebookpath.isEmpty(), !withUsers);
        }
    }

    // Users read again while running join the list; the chosen user stays, and only where
    // there was no user before is one chosen, as at start.
    void usersReadAgain()
    {
        for (auto [withUsers, shown, rescans] : {std::tuple{true, "Ben", 0}, {false, "Anna", 1}}) {
            MainWindowFixture fixture;
            if (!withUsers)
                fixture.users = FakePalmUsers();
            fixture.settings->update([](Settings& s) { s.palmuserid = 7; });
            MainWindow& window = fixture.open();
            fixture.takeRescans();
            if (!withUsers) {
                fixture.users.add(3, QStringLiteral("Anna"), QStringLiteral("AnnaF"));
                fixture.users.add(7, QStringLiteral("Ben"), QStringLiteral("BenM"));
            }
            fixture.users.add(5, QStringLiteral("Cid"), QStringLiteral("CidK"));
            window.refillUsers();
            auto* users = window.findChild<QComboBox*>();
            QCOMPARE(users->count(), 3);
            QCOMPARE(users->currentText(), shown);
            QCOMPARE(fixture.current().datebookpath,
                     fixture.users.datebookPath(users->currentData().toInt()));
            QCOMPARE(fixture.takeRescans(), rescans);
        }
    }

    void choosingAUserSelectsAndRescans()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        auto* users = window.findChild<QComboBox*>();
        users->setCurrentIndex(1);
        QCOMPARE(fixture.current().palmuserid, 7);
        QCOMPARE(fixture.current().datebookpath,
                 QStringLiteral("/palm/BenM/datebook/datebook.dat"));
        QCOMPARE(fixture.takeRescans(), 1);

        // A bad minutes value holds the change back; the list keeps showing the real user.
        typeMinutes(window, QStringLiteral("75"));
        fixture.takeRescans();
        users->setCurrentIndex(0);
        QCOMPARE(fixture.current().palmuserid, 7);
        QCOMPARE(users->currentText(), QStringLiteral("Ben"));
        QCOMPARE(fixture.takeRescans(), 0);
    }

    // The caption clock wakes as each minute begins (each second only until the hide at start);
    // one rescan at the start, then one as each new day begins (here into the DST change).
    void captionClockAndNewDays()
    {
        MainWindowFixture fixture;
        fixture.clock.t = localTime(2026, 3, 28, 23, 59, 58);
        MainWindow& window = fixture.open();
        auto* clock = window.findChild<QTimer*>(QStringLiteral("captionClock"));
        QCOMPARE(clock->interval(), 1000);
        QCOMPARE(fixture.takeRescans(), 1);
        tick(window);
        QCOMPARE(clock->interval(), 2000);
        QVERIFY(clock->isActive() && clock->isSingleShot());
        QCOMPARE(fixture.takeRescans(), 0);
        fixture.clock.t += 3;
        tick(window);
        QCOMPARE(clock->interval(), 59000);
        QCOMPARE(fixture.takeRescans(), 1);
        QCOMPARE(window.windowTitle(), "Chimewell " + formatTimeText(fixture.clock.t));
        fixture.clock.t += 59;
        tick(window);
        QCOMPARE(clock->interval(), 60000);
        QCOMPARE(fixture.takeRescans(), 0);
        QCOMPARE(window.windowTitle(), "Chimewell " + formatTimeText(fixture.clock.t));
        // The same day of another month is another day too.
        fixture.clock.t = localTime(2026, 4, 28, 12, 0);
        tick(window);
        QCOMPARE(fixture.takeRescans(), 1);
    }

    void sizeIsRemembered()
    {
        MainWindowFixture fixture;
        MainWindow& first = fixture.open();
        QCOMPARE(first.height(), MainWindow::MinHeight);
        const int naturalWidth = first.width();
        first.show();
        first.resize(naturalWidth + 80, 400);
        QCOMPARE(first.width(), naturalWidth);
        QCOMPARE(fixture.profile->value("Size/cy").toInt(), 400);
        first.resize(naturalWidth, 100);
        QCOMPARE(first.height(), MainWindow::MinHeight);

        fixture.profile->setValue("Size/cy", 420);
        QCOMPARE(fixture.open().size(), QSize(naturalWidth, 420));

        fixture.profile->setValue("Size/cy", 100000);
        MainWindow& third = fixture.open();
        QCOMPARE(third.height(), third.screen()->availableGeometry().height());
    }

    void refreshPausesWithoutBlockingThenRescans()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        clickButton(window, QStringLiteral("&Refresh"));
        QCOMPARE(fixture.bellCodes, QList<int>({0, 1}));
        QVERIFY(QGuiApplication::overrideCursor());
        clickButton(window, QStringLiteral("&Refresh"));
        QCOMPARE(fixture.bellCodes, QList<int>({0, 1}));
        QCOMPARE(fixture.takeRescans(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fixture.bellCodes, QList<int>({0, 1, 2}), 3000);
        QCOMPARE(fixture.takeRescans(), 1);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void helpPageInTheTextsLanguage()
    {
        QTemporaryDir root;
        const QString program = root.filePath("bin");
        const QString pages = root.filePath("share/chimewell/help/");
        QDir().mkpath(program);
        auto addPage = [&](const QString& language) {
            QDir().mkpath(pages + language);
            QFile page(pages + language + "/chimewell.html");
            QVERIFY(page.open(QIODevice::WriteOnly));
        };
        QCOMPARE(helpPagePath(UiLanguage::English, program), QString());
        addPage("en");
        QCOMPARE(helpPagePath(UiLanguage::German, program), pages + "en/chimewell.html");
        addPage("de");
        QCOMPARE(helpPagePath(UiLanguage::German, program), pages + "de/chimewell.html");
        QCOMPARE(helpPagePath(UiLanguage::English, program), pages + "en/chimewell.html");
    }

    void everyWindowSpeaksTheUiLanguage_data()
    {
        QTest::addColumn<UiLanguage>("language");
        QTest::newRow("English") << UiLanguage::English;
        QTest::newRow("German") << UiLanguage::German;
    }

    // Each window in turn, and the message boxes the tests can reach; in German no text may be
    // one without a German translation.
    void everyWindowSpeaksTheUiLanguage()
    {
        QFETCH(UiLanguage, language);
        setUiLanguage(language);
        const auto english = qScopeGuard([] { setUiLanguage(UiLanguage::English); });
        const UiTranslation translation(language);
        QVERIFY(translation.loaded());

        QStringList shown;
        MainWindowFixture fixture;
        MainWindow& window = openShown(fixture);
        typeMinutes(window, QStringLiteral("61"));
        shown << shownTexts(window) << QToolTip::text()
              << window.findChild<QSystemTrayIcon*>()->toolTip()
              << nextMessageBoxText([&] { clickButton(window, MainWindow::tr("&Help")); });
        QVERIFY(uniqueMnemonics(mnemonicTexts(window)));
        QStringList menu;
        for (const QAction* action : window.findChild<QMenu*>()->actions())
            menu << action->text();
        QVERIFY(uniqueMnemonics(menu));

        OptionsDialog options;
        AboutDialog about;
        AlarmDialog alarm(fixture.clock);
        for (const QDialog* dialog : QList<QDialog*>{&options, &about, &alarm}) {
            shown << shownTexts(*dialog);
            QVERIFY2(uniqueMnemonics(mnemonicTexts(*dialog)), qPrintable(dialog->windowTitle()));
        }

        const auto collectBox = [&](QMessageBox* box) {
            shown << shownTexts(*box);
            box->accept();
        };
        about.link()->setOpener([](const QString&) { return 31; });
        answerNextModal<QMessageBox>([&] { about.link()->followLink(); }, collectBox);
        answerNextModal<QMessageBox>([] { MessageBoxNotice().showNoPalmDesktop(); }, collectBox);
        for (int code = 0; code <= 32; ++code)
            shown << linkErrorText(code);

        if (language == UiLanguage::English)
            return;
        const QList<QRegularExpression> german = germanTexts();
        static const QRegularExpression letter(QStringLiteral("\\p{L}"));
        QStringList untranslated;
        for (const QString& text : std::as_const(shown)) {
            for (const QString& paragraph : paragraphs(text)) {
                const bool isGerman = std::any_of(german.cbegin(), german.cend(), [&](auto& re) {
                    return re.match(paragraph).hasMatch();
                });
                if (!isGerman && paragraph.contains(letter) && paragraph != AboutDialog::WebAddress)
                    untranslated << paragraph;
            }
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QStringLiteral(" | "))));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
