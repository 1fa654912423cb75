// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "palm/timetexts.h"
#include "ui/aboutdialog.h"
#include "ui/alarmdialog.h"
#include "ui/helptexts.h"
#include "ui/hyperlink.h"
#include "ui/messageboxnotice.h"
#include "ui/optionsdialog.h"
#include "ui/spinarrows.h"
#include "ui/uitranslation.h"
#include "uitestsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSystemTrayIcon>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QToolTip>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
QLineEdit* minutesField(QWidget& window)
{
    return window.findChild<QLineEdit*>();
}

void typeMinutes(QWidget& window, const QString& keys)
{
    minutesField(window)->selectAll();
    QTest::keyClicks(minutesField(window), keys);
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
    if (Qt::mightBeRichText(tip))
        return QTextDocumentFragment::fromHtml(tip).toPlainText();
#endif
    return tip;
}

void tick(MainWindow& window)
{
    QMetaObject::invokeMethod(&window, "tick");
}

// Every text `window` shows: its title, the texts and titles of its widgets, their tooltips
// and What's This texts, and its menus' actions.
QStringList shownTexts(const QWidget& window)
{
    QStringList texts{window.windowTitle()};
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isVisibleTo(&window))
            texts << widget->property("text").toString() << widget->property("title").toString()
                  << widget->toolTip() << widget->whatsThis();
    }
    for (const QAction* action : window.findChildren<QAction*>())
        texts << action->text();
    texts.removeAll(QString());
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
    ts.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&ts);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"translation")
            texts << xml.readElementText();
    }
    for (int id = 0; id <= 0xFFFF; ++id) // every id the string table can have
        texts << loadText(id);
    for (const ContextHelp& topic : contextHelpTable())
        texts << QString::fromUtf8(topic.german);
    texts.removeAll(QString());

    QList<QRegularExpression> patterns;
    static const QRegularExpression placeholder(QStringLiteral("\\\\%(\\d|d)"));
    for (const QString& text : std::as_const(texts)) {
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
        const std::tuple<const char*, int, int, bool> typed[] = {
            {"60", 60, 2, false}, {"61", 6, 1, true}, {"x", 5, 0, false}, {"\b", 5, 0, true}};
        for (auto [keys, warntime, rescans, message] : typed) {
            QToolTip::hideText();
            MainWindowFixture fixture;
            MainWindow& window = openShown(fixture);
            fixture.takeRescans();
            typeMinutes(window, keys);
            QCOMPARE(fixture.current().warntime, warntime);
            QCOMPARE(fixture.takeRescans(), rescans);
            QCOMPARE(validationShown(), message);
        }
        const std::tuple<const char*, bool, bool, int> stepped[] = {{"5", true, true, 6},
                                                                    {"5", false, false, 4},
                                                                    {"60", true, false, 60},
                                                                    {"0", false, true, 0},
                                                                    {"75", true, false, 8}};
        for (auto [start, up, useKeys, warntime] : stepped) {
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
    // bad value alike: the message at the field, and nothing stored.
    void closingHidesOnlyWithATrayAndValidMinutes()
    {
        const std::function<void(MainWindow&)> ways[] = {
            [](MainWindow& w) { clickButton(w, QStringLiteral("Hi&de")); },
            [](MainWindow& w) { QTest::keyClick(minutesField(w), Qt::Key_Return); },
            [](MainWindow& w) { QTest::keyClick(minutesField(w), Qt::Key_Tab); },
            [](MainWindow& w) { QTest::keyClick(&w, Qt::Key_Escape); },
            [](MainWindow& w) { w.close(); },
            [](MainWindow& w) {
                w.showMinimized();
                QCoreApplication::processEvents();
            }};
        const int hideButton = 0, tab = 2, minimise = 5;
        for (int way = 0; way <= minimise; ++way) {
            for (auto [tray, bad] : {std::pair{true, false}, {false, false}, {true, true}}) {
                if ((!tray && way != hideButton && way != minimise) || (bad && way == minimise))
                    continue;
                QToolTip::hideText();
                MainWindowFixture fixture;
                fixture.trayAvailable = tray;
                MainWindow& window = openShown(fixture);
                minutesField(window)->setFocus();
                typeMinutes(window, bad ? QStringLiteral("75") : QStringLiteral("12"));
                ways[way](window);
                QCOMPARE(window.isVisible(), bad || !tray || way == tab);
                QCOMPARE(fixture.current().warntime, bad ? 7 : 12);
                QCOMPARE(validationShown(), bad);
            }
        }
    }

    // The list and the tooltip show the worker's texts exactly as typed, however they look, and
    // nothing of the list before.
    void postedTextsShowAsTyped()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.updateList(QStringLiteral("10:00 Earlier"), {"10:00 Earlier", "11:00 Also earlier"});
        for (const auto& [tooltip, lines] :
             {std::pair{QStringLiteral("10:00 Review <code> changes"),
                        QStringList{"10:00 Review <code> changes", "<b>Bold</b> &amp; more"}},
              {QStringLiteral("a &lt; b  &  c"), QStringList{"a &lt; b"}},
              {QStringLiteral("No more appointments today"), QStringList{}}}) {
            QMetaObject::invokeMethod(&window, "updateList", Qt::QueuedConnection,
                                      Q_ARG(QString, tooltip), Q_ARG(QStringList, lines));
            auto* tray = window.findChild<QSystemTrayIcon*>();
            QTRY_COMPARE(tooltipAsShown(tray->toolTip()), tooltip);
            auto* list = window.findChild<QListWidget*>();
            QCOMPARE(list->count(), lines.size());
            for (int row = 0; row < list->count(); ++row)
                QCOMPARE(list->item(row)->text(), lines.at(row));
        }
    }

    // "Hide at start" hides at the first tick. When the panel started after the program, it
    // waits for the notification area, unless the user took to the window meanwhile.
    void hideAtStartWaitsForTheNotificationArea()
    {
        const std::tuple<int, bool, QString, bool> rows[] = {{1, true, "", false},
                                                             {1, false, "", false},
                                                             {1, false, "key", true},
                                                             {1, false, "click", true},
                                                             {0, false, "", true}};
        for (const auto& [autohide, trayAtStart, input, visible] : rows) {
            MainWindowFixture fixture;
            fixture.trayAvailable = trayAtStart;
            fixture.settings->update([autohide](Settings& s) { s.autohide = autohide; });
            MainWindow& window = openShown(fixture);
            tick(window);
            QCOMPARE(window.isVisible(), !trayAtStart);
            if (input == "key")
                QTest::keyClick(window.findChild<QComboBox*>(), Qt::Key_Down);
            else if (input == "click")
                QTest::mouseClick(window.findChild<QListWidget*>()->viewport(), Qt::LeftButton);
            fixture.trayAvailable = true;
            tick(window);
            QCOMPARE(window.isVisible(), visible);
        }
    }

    // A minimised window leaves the taskbar; a click on the tray icon brings it back.
    void trayBringsTheWindowBack()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        emit window.findChild<QSystemTrayIcon*>()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(window.isVisible() && !window.isMinimized());
    }

    // Users read again while running join the list; the chosen user stays, and only where
    // there was no user before is one chosen, as at start. A user chosen is stored at once.
    void palmUsers()
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
            QCOMPARE(fixture.takeRescans(), rescans);

            users->setCurrentIndex(2);
            QCOMPARE(fixture.current().datebookpath,
                     QStringLiteral("/palm/CidK/datebook/datebook.dat"));
            QCOMPARE(fixture.valueSaves, 1);
            QCOMPARE(fixture.takeRescans(), 1);
        }
    }

    // The caption clock wakes as each minute begins (each second only until the hide at start);
    // one rescan at the start, then one as each new day begins (here into the DST change).
    void captionClockAndNewDays()
    {
        MainWindowFixture fixture;
        fixture.clock.set(at(2026y / 3 / 28, 23, 59, 58));
        MainWindow& window = fixture.open();
        auto* clock = window.findChild<QTimer*>(QStringLiteral("captionClock"));
        QCOMPARE(clock->interval(), 1000);
        QCOMPARE(fixture.takeRescans(), 1);
        for (auto [seconds, interval, rescans] :
             {std::tuple{0, 2000, 0}, {3, 59000, 1}, {59, 60000, 0}}) {
            fixture.clock.set(fixture.clock.now() + seconds);
            tick(window);
            QCOMPARE(clock->interval(), interval);
            QCOMPARE(fixture.takeRescans(), rescans);
            QCOMPARE(window.windowTitle(), "Chimewell " + formatTimeText(fixture.clock.now()));
        }
        // The same day of another month is another day too.
        fixture.clock.set(at(2026y / 4 / 28, 12, 0));
        tick(window);
        QCOMPARE(fixture.takeRescans(), 1);
    }

    // A press and a release inside open the link once; letting go outside cancels. A failure
    // (32 is the last failure code) is told to the user.
    void opensOnlyInsideAndTellsFailures()
    {
        for (auto [release, result, opens] :
             {std::tuple{QPoint(2, 2), 33, 1}, {QPoint(-20, 200), 33, 0}, {QPoint(2, 2), 32, 1}}) {
            AboutDialog about;
            HyperLink* link = about.link();
            int opened = 0;
            link->setOpener([&, result = result](const QString&) {
                ++opened;
                return result;
            });
            about.show();
            QVERIFY(QTest::qWaitForWindowActive(&about));
            QTest::mousePress(link, Qt::LeftButton, {}, QPoint(2, 2));
            const QString message = nextMessageBoxText(
                [&, release = release] { QTest::mouseRelease(link, Qt::LeftButton, {}, release); });
            QCOMPARE(opened, opens);
            QCOMPARE(message.isEmpty(), result > 32 || !opens);
        }
    }

    // Each window in turn, and the message boxes the tests can reach: in German no text may be
    // one without a German translation.
    void everyWindowSpeaksTheUiLanguage()
    {
        setUiLanguage(UiLanguage::German);
        const auto english = qScopeGuard([] { setUiLanguage(UiLanguage::English); });
        const UiTranslation translation(UiLanguage::German);
        QVERIFY(translation.loaded());

        QStringList shown;
        MainWindowFixture fixture;
        MainWindow& window = openShown(fixture);
        typeMinutes(window, QStringLiteral("61"));
        shown << shownTexts(window) << QToolTip::text()
              << window.findChild<QSystemTrayIcon*>()->toolTip()
              << nextMessageBoxText([&] { clickButton(window, MainWindow::tr("&Help")); });
        OptionsDialog options;
        AboutDialog about;
        AlarmDialog alarm(fixture.clock);
        for (const QDialog* dialog : QList<QDialog*>{&options, &about, &alarm})
            shown << shownTexts(*dialog);
        const auto collectBox = [&](QMessageBox* box) {
            shown << shownTexts(*box);
            box->accept();
        };
        about.link()->setOpener([](const QString&) { return 31; });
        answerNextModal<QMessageBox>([&] { about.link()->followLink(); }, collectBox);
        answerNextModal<QMessageBox>([] { MessageBoxNotice().showNoPalmDesktop(); }, collectBox);
        for (int code = 0; code <= 32; ++code)
            shown << linkErrorText(code);

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
