#include "app/stringtable.h"
#include "palm/timetexts.h"
#include "ui/helppage.h"
#include "ui/messageboxnotice.h"
#include "ui/spinarrows.h"
#include "uitestsupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <ctime>

namespace {
enum class Way
{
    HideButton,
    Escape,
    CloseBox,
    Minimise,
    AutohideTick
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

void tick(MainWindow& window)
{
    QMetaObject::invokeMethod(&window, "tick");
}
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    void cleanup() { QToolTip::hideText(); }

    void setUpRequestsOneRescan()
    {
        MainWindowFixture fixture;
        fixture.open();
        QCOMPARE(fixture.takeRescans(), 1);
        QCOMPARE(minutesField(*fixture.window)->text(), QStringLiteral("5"));
        QCOMPARE(fixture.window->findChild<QGroupBox*>()->title(),
                 QStringLiteral("Appointments and To Do items for today"));
    }

    void everyValidKeystrokeStoresTheMinutes_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("warntime");
        QTest::addColumn<int>("rescans");
        QTest::addColumn<bool>("message");
        QTest::newRow("15") << "15" << 15 << 2 << false;
        QTest::newRow("60") << "60" << 60 << 2 << false;
        QTest::newRow("0") << "0" << 0 << 1 << false;
        QTest::newRow("61 stops at 6") << "61" << 6 << 1 << true;
        QTest::newRow("letters are refused") << "x" << 5 << 0 << false;
        QTest::newRow("007") << "007" << 7 << 3 << false;
        QTest::newRow("emptied: nothing stored") << "\b" << 5 << 0 << true;
    }

    void everyValidKeystrokeStoresTheMinutes()
    {
        QFETCH(QString, keys);
        QFETCH(int, warntime);
        QFETCH(int, rescans);
        QFETCH(bool, message);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        fixture.takeRescans();
        typeMinutes(window, keys);
        QCOMPARE(fixture.current().warntime, warntime);
        QCOMPARE(fixture.takeRescans(), rescans);
        QCOMPARE(validationShown(), message);
    }

    void arrowsStepWithinZeroToSixty_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("useKeys");
        QTest::addColumn<int>("warntime");
        QTest::newRow("up") << "5" << 1 << false << 6;
        QTest::newRow("down") << "5" << -1 << false << 4;
        QTest::newRow("Up key") << "5" << 1 << true << 6;
        QTest::newRow("Down key") << "5" << -1 << true << 4;
        QTest::newRow("stays at 60") << "60" << 1 << false << 60;
        QTest::newRow("stays at 0") << "0" << -1 << true << 0;
        QTest::newRow("from a bad value: the stored one") << "75" << 1 << false << 8;
    }

    void arrowsStepWithinZeroToSixty()
    {
        QFETCH(QString, start);
        QFETCH(int, step);
        QFETCH(bool, useKeys);
        QFETCH(int, warntime);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        typeMinutes(window, start);
        auto* arrows = window.findChild<SpinArrows*>();
        if (useKeys)
            QTest::keyClick(minutesField(window), step > 0 ? Qt::Key_Up : Qt::Key_Down);
        else
            (step > 0 ? arrows->upButton() : arrows->downButton())->click();
        QCOMPARE(fixture.current().warntime, warntime);
        QCOMPARE(minutesField(window)->text(), QString::number(warntime));
    }

    void hideStoresTheNumberAsTyped_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("warntime");
        QTest::newRow("in range") << "20" << 20;
        QTest::newRow("above the range, as typed") << "75" << 75;
        QTest::newRow("no number: the previous value") << "" << 5;
    }

    void hideStoresTheNumberAsTyped()
    {
        QFETCH(QString, keys);
        QFETCH(int, warntime);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.show();
        minutesField(window)->selectAll();
        minutesField(window)->del();
        typeMinutes(window, keys);
        clickButton(window, QStringLiteral("Hi&de"));
        QCOMPARE(fixture.current().warntime, warntime);
        QVERIFY(!window.isVisible());
    }

    void escapeAndCloseBoxKeepTheWindowOnABadValue_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<int>("warntime");
        QTest::newRow("Escape, bad") << Way::Escape << "75" << true << 7;
        QTest::newRow("close box, bad") << Way::CloseBox << "75" << true << 7;
        QTest::newRow("Escape, good") << Way::Escape << "12" << false << 12;
        QTest::newRow("close box, good") << Way::CloseBox << "12" << false << 12;
    }

    void escapeAndCloseBoxKeepTheWindowOnABadValue()
    {
        QFETCH(Way, way);
        QFETCH(QString, keys);
        QFETCH(bool, visible);
        QFETCH(int, warntime);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        typeMinutes(window, keys);
        if (way == Way::Escape)
            QTest::keyClick(&window, Qt::Key_Escape);
        else
            window.close();
        QCOMPARE(window.isVisible(), visible);
        QCOMPARE(fixture.current().warntime, warntime);
    }

    void hidingNeedsATrayIcon_data()
    {
        QTest::addColumn<Way>("way");
        QTest::addColumn<bool>("tray");
        const QList<QPair<Way, const char*>> ways = {{Way::HideButton, "Hide"},
                                                     {Way::Escape, "Escape"},
                                                     {Way::CloseBox, "close box"},
                                                     {Way::Minimise, "minimise"},
                                                     {Way::AutohideTick, "autohide"}};
        for (const auto& [way, name] : ways) {
            QTest::addRow("%s with tray", name) << way << true;
            QTest::addRow("%s without tray", name) << way << false;
        }
    }

    void hidingNeedsATrayIcon()
    {
        QFETCH(Way, way);
        QFETCH(bool, tray);
        MainWindowFixture fixture;
        fixture.trayAvailable = tray;
        MainWindow& window = fixture.open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        switch (way) {
        case Way::HideButton:
            clickButton(window, QStringLiteral("Hi&de"));
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
        case Way::AutohideTick:
            tick(window);
            break;
        }
        QCOMPARE(window.isVisible(), !tray);
    }

    void autohideHidesOnlyAtTheFirstTick_data()
    {
        QTest::addColumn<int>("autohide");
        QTest::newRow("autohide") << 1;
        QTest::newRow("no autohide") << 0;
    }

    void autohideHidesOnlyAtTheFirstTick()
    {
        QFETCH(int, autohide);
        MainWindowFixture fixture;
        fixture.settings->update([autohide](Settings& s) { s.autohide = autohide; });
        MainWindow& window = fixture.open();
        window.show();
        tick(window);
        QCOMPARE(window.isVisible(), !autohide);
        window.showWindow();
        tick(window);
        QVERIFY(window.isVisible());
    }

    void trayMenuAndShow()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        QSignalSpy quit(&window, &MainWindow::quitRequested);
        auto* tray = window.findChild<QSystemTrayIcon*>();
        QVERIFY(tray);
        QStringList texts;
        for (QAction* action : tray->contextMenu()->actions())
            texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(texts, QStringList({"&Show", "&Refresh", "-", "&Quit"}));

        window.showMinimized();
        QTRY_VERIFY(!window.isVisible());
        tray->contextMenu()->actions().at(0)->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);

        emit tray->activated(QSystemTrayIcon::Context);
        window.hide();
        emit tray->activated(QSystemTrayIcon::Trigger);
        QVERIFY(window.isVisible());

        window.hide();
        tray->contextMenu()->actions().at(3)->trigger();
        clickButton(window, QStringLiteral("&Quit"));
        QCOMPARE(quit.count(), 2);
        QVERIFY(!window.isVisible());
    }

    void userListSelectsTheStoredUser_data()
    {
        QTest::addColumn<bool>("withUsers");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("palmuserid");
        QTest::newRow("stored user") << true << 7 << "Ben" << 7;
        QTest::newRow("unknown id: the first") << true << 99 << "Anna" << 3;
        QTest::newRow("no users") << false << 7 << "" << -1;
    }

    void userListSelectsTheStoredUser()
    {
        QFETCH(bool, withUsers);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, palmuserid);
        MainWindowFixture fixture;
        if (!withUsers)
            fixture.users = FakePalmUsers();
        fixture.settings->update([stored](Settings& s) { s.palmuserid = stored; });
        MainWindow& window = fixture.open();
        QCOMPARE(window.findChild<QComboBox*>()->currentText(), shown);
        QCOMPARE(fixture.current().palmuserid, palmuserid);
        QCOMPARE(fixture.current().datebookpath.isEmpty(), !withUsers);
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

    void captionClock()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        QCOMPARE(window.windowTitle(), "Chimewell " + FormatTimeText(fixture.clock.t));
        fixture.clock.t += 60;
        tick(window);
        QCOMPARE(window.windowTitle(), "Chimewell " + FormatTimeText(fixture.clock.t));
        QVERIFY(window.windowTitle().endsWith(QStringLiteral("09:06")));
    }

    void passingMidnightRescansOnce()
    {
        MainWindowFixture fixture;
        fixture.clock.t = localTime(2026, 3, 28, 23, 59, 58);
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        tick(window);
        QCOMPARE(fixture.takeRescans(), 0);
        fixture.clock.t += 3;
        tick(window);
        QCOMPARE(fixture.takeRescans(), 1);
        fixture.clock.t += 1;
        tick(window);
        QCOMPARE(fixture.takeRescans(), 0);
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
        QCOMPARE(fixture.profile->value("Size/cx").toInt(), naturalWidth);
        first.resize(naturalWidth, 100);
        QCOMPARE(first.height(), MainWindow::MinHeight);

        fixture.profile->setValue("Size/cy", 420);
        MainWindow& second = fixture.open();
        QCOMPARE(second.size(), QSize(naturalWidth, 420));

        fixture.profile->setValue("Size/cy", 100000);
        MainWindow& third = fixture.open();
        QCOMPARE(third.height(), third.screen()->availableGeometry().height());
    }

    void listAndTooltipFollowTheWorker()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        window.updateList(QStringLiteral("10:00 Dentist"),
                          {QStringLiteral("10:00 Dentist"), QStringLiteral("12:30 Lunch")});
        auto* list = window.findChild<QListWidget*>();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(1)->text(), QStringLiteral("12:30 Lunch"));
        QCOMPARE(window.findChild<QSystemTrayIcon*>()->toolTip(), QStringLiteral("10:00 Dentist"));
        window.updateList(LoadText(IDS_NO_APPOINTMENTS), {});
        QCOMPARE(list->count(), 0);
    }

    void refreshPausesWithoutBlockingThenRescans()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        clickButton(window, QStringLiteral("&Refresh"));
        QCOMPARE(fixture.bellCodes, QList<int>({0, 1}));
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        clickButton(window, QStringLiteral("&Refresh"));
        QCOMPARE(fixture.bellCodes, QList<int>({0, 1}));
        QTest::qWait(1000);
        QCOMPARE(fixture.takeRescans(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(fixture.bellCodes, QList<int>({0, 1, 2}), 3000);
        QCOMPARE(fixture.takeRescans(), 1);
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void missingHelpPageIsToldCalmly()
    {
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        const QString text =
            nextMessageBoxText([&] { clickButton(window, QStringLiteral("&Help")); });
        QCOMPARE(text, QStringLiteral("The help pages are not installed."));
    }

    void noPalmDesktopMessageOffersOnlyOk()
    {
        QMessageBox::StandardButtons buttons;
        QString text;
        answerNextModal<QMessageBox>(
            [] { MessageBoxNotice().showNoPalmDesktop(LoadText(IDS_NO_PALM_DESKTOP)); },
            [&](QMessageBox* box) {
                buttons = box->standardButtons();
                text = box->text();
                box->accept();
            });
        QCOMPARE(buttons, QMessageBox::Ok);
        QCOMPARE(text, LoadText(IDS_NO_PALM_DESKTOP));
    }

    void helpPageInTheTextsLanguage()
    {
        QTemporaryDir root;
        const QString program = root.filePath("bin");
        QDir(root.path()).mkpath("bin");
        auto addPage = [&](const QString& language) {
            const QString folder = root.filePath("share/chimewell/help/" + language);
            QDir().mkpath(folder);
            QFile page(folder + "/chimewell.html");
            QVERIFY(page.open(QIODevice::WriteOnly));
        };
        QCOMPARE(helpPagePath(UiLanguage::English, program), QString());
        addPage("en");
        QCOMPARE(helpPagePath(UiLanguage::German, program),
                 root.filePath("share/chimewell/help/en/chimewell.html"));
        addPage("de");
        QCOMPARE(helpPagePath(UiLanguage::German, program),
                 root.filePath("share/chimewell/help/de/chimewell.html"));
        QCOMPARE(helpPagePath(UiLanguage::English, program),
                 root.filePath("share/chimewell/help/en/chimewell.html"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
