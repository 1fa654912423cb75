#include "app/stringtable.h"
#include "palm/timetexts.h"
#include "ui/alarmdialog.h"
#include "ui/resources.h"
#include "uitestsupport.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>
#include <QtTest>

#include <ctime>

namespace {
enum class Close
{
    OkButton,
    Enter,
    Escape,
    CloseBox,
    WarnAgain
};

void closeBy(AlarmDialog& dialog, Close how)
{
    switch (how) {
    case Close::OkButton:
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        break;
    case Close::Enter:
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog,
                        Qt::Key_Return);
        break;
    case Close::Escape:
        QTest::keyClick(&dialog, Qt::Key_Escape);
        break;
    case Close::CloseBox:
        dialog.close();
        break;
    case Close::WarnAgain:
        QTest::mouseClick(dialog.findChild<QPushButton*>("warnAgainButton"), Qt::LeftButton);
        break;
    }
}

void pressSpin(AlarmDialog& dialog, int clicks)
{
    auto* spin = dialog.findChild<QSpinBox*>("snoozeSpin");
    for (int i = 0; i < std::abs(clicks); ++i)
        QTest::keyClick(spin, clicks > 0 ? Qt::Key_Up : Qt::Key_Down);
}
} // namespace

class TestAlarmWindow : public QObject
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

    void cleanup() { AlarmDialog::setTestRunner({}); }

    void everyWayOfClosingButWarnAgainAcknowledges_data()
    {
        QTest::addColumn<Close>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK button") << Close::OkButton << 1;
        QTest::newRow("Enter") << Close::Enter << 1;
        QTest::newRow("Escape") << Close::Escape << 1;
        QTest::newRow("close box") << Close::CloseBox << 1;
        QTest::newRow("Warn again") << Close::WarnAgain << 0;
    }

    void everyWayOfClosingButWarnAgainAcknowledges()
    {
        QFETCH(Close, how);
        QFETCH(int, answer);
        MainWindowFixture fixture;
        MainWindow& window = fixture.open();
        bool closed = false;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            closeBy(dialog, how);
            closed = !dialog.isVisible();
        });
        int given = -1;
        window.answerAlarm(QStringLiteral("10:00 Dentist"), &given);
        QVERIFY(closed);
        QCOMPARE(given, answer);
    }

    void opensOnTopWithTextAndFocusOnOk()
    {
        FakeClock clock;
        AlarmDialog dialog(clock);
        dialog.setAlarmText(QStringLiteral("10:00 Dentist\r\nBring the X-rays"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(QApplication::focusWidget(), dialog.findChild<QPushButton*>("okButton"));
        auto* text = dialog.findChild<QTextEdit*>("alarmText");
        QCOMPARE(text->toPlainText(), QStringLiteral("10:00 Dentist\nBring the X-rays"));
        QVERIFY(text->isReadOnly());
    }

    void snoozeSpinAndButtonText_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one minute") << 1 << 0 << 1 << "Remind again in 1 minute";
        QTest::newRow("five minutes") << 5 << 0 << 5 << "Remind again in 5 minutes";
        QTest::newRow("up from 1") << 1 << 1 << 2 << "Remind again in 2 minutes";
        QTest::newRow("down to 1") << 3 << -2 << 1 << "Remind again in 1 minute";
        QTest::newRow("stops at 30") << 29 << 3 << 30 << "Remind again in 30 minutes";
        QTest::newRow("stops at 1") << 2 << -3 << 1 << "Remind again in 1 minute";
        QTest::newRow("45 opens at 30") << 45 << 0 << 30 << "Remind again in 30 minutes";
        QTest::newRow("0 opens at 1") << 0 << 0 << 1 << "Remind again in 1 minute";
        QTest::newRow("negative opens at 1") << -5 << 1 << 2 << "Remind again in 2 minutes";
    }

    void snoozeSpinAndButtonText()
    {
        QFETCH(int, stored);
        QFETCH(int, clicks);
        QFETCH(int, minutes);
        QFETCH(QString, text);
        FakeClock clock;
        AlarmDialog dialog(clock);
        dialog.setSnoozeMinutes(stored);
        pressSpin(dialog, clicks);
        QCOMPARE(dialog.snoozeMinutes(), minutes);
        QCOMPARE(dialog.findChild<QPushButton*>("warnAgainButton")->text(), text);
    }

    void warnAgainTextByLanguage_data()
    {
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("English 0") << UiLanguage::English << 0 << "Remind again in 0 minutes";
        QTest::newRow("English 1") << UiLanguage::English << 1 << "Remind again in 1 minute";
        QTest::newRow("German 1") << UiLanguage::German << 1 << "Wieder erinnern in 1 Minute";
        QTest::newRow("German 12") << UiLanguage::German << 12 << "Wieder erinnern in 12 Minuten";
    }

    void warnAgainTextByLanguage()
    {
        QFETCH(UiLanguage, language);
        QFETCH(int, minutes);
        QFETCH(QString, text);
        setUiLanguage(language);
        const QString given = warnAgainText(minutes);
        setUiLanguage(UiLanguage::English);
        QCOMPARE(given, text);
    }

    void snoozeMinutesAreWrittenBackEitherWay_data()
    {
        QTest::addColumn<Close>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK keeps the new minutes") << Close::OkButton << 1;
        QTest::newRow("Warn again") << Close::WarnAgain << 0;
    }

    void snoozeMinutesAreWrittenBackEitherWay()
    {
        QFETCH(Close, how);
        QFETCH(int, answer);
        MainWindowFixture fixture;
        fixture.settings->update([](Settings& s) { s.warnagaintime = 5; });
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            QCOMPARE(dialog.snoozeMinutes(), 5);
            pressSpin(dialog, 2);
            closeBy(dialog, how);
        });
        int given = -1;
        window.answerAlarm(QStringLiteral("10:00 Dentist"), &given);
        QCOMPARE(given, answer);
        QCOMPARE(fixture.current().warnagaintime, 7);
        QCOMPARE(fixture.takeRescans(), 0);
    }

    void soundOnlyWithBeep_data()
    {
        QTest::addColumn<int>("beep");
        QTest::addColumn<int>("plays");
        QTest::newRow("beep off: silence") << 0 << 0;
        QTest::newRow("beep on") << 1 << 1;
    }

    void soundOnlyWithBeep()
    {
        QFETCH(int, beep);
        QFETCH(int, plays);
        MainWindowFixture fixture;
        fixture.settings->update([beep](Settings& s) { s.beep = beep; });
        MainWindow& window = fixture.open();
        AlarmDialog::setTestRunner([](AlarmDialog& dialog) { dialog.accept(); });
        int given = -1;
        window.answerAlarm(QStringLiteral("10:00 Dentist"), &given);
        QCOMPARE(fixture.soundPlays, plays);
    }

    void beepsOnlyWhenTheSoundCannotBeLoaded_data()
    {
        QTest::addColumn<QUrl>("wav");
        QTest::addColumn<int>("beeps");
        QTest::newRow("the chime") << alarmSoundUrl() << 0;
        QTest::newRow("missing") << QUrl(QStringLiteral("qrc:/sounds/no-such-sound.wav")) << 2;
    }

    void beepsOnlyWhenTheSoundCannotBeLoaded()
    {
        QFETCH(QUrl, wav);
        QFETCH(int, beeps);
        int given = 0;
        WavAlarmSound sound(wav, [&given] { ++given; });
        sound.play();
        QTest::qWait(500);
        QCOMPARE(given, beeps);
    }

    void redSurfaceOnlyAroundTheControls_data()
    {
        QTest::addColumn<int>("warnred");
        QTest::newRow("warnred") << 1;
        QTest::newRow("default colour") << 0;
    }

    void redSurfaceOnlyAroundTheControls()
    {
        QFETCH(int, warnred);
        MainWindowFixture fixture;
        fixture.settings->update([warnred](Settings& s) { s.warnred = warnred; });
        MainWindow& window = fixture.open();
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QColor surface;
        QColor buttonCentre;
        QColor textCentre;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const QImage image = dialog.grab().toImage();
            surface = image.pixelColor(2, 2);
            auto* ok = dialog.findChild<QPushButton*>("okButton");
            buttonCentre = image.pixelColor(ok->geometry().center() + QPoint(0, 4));
            auto* text = dialog.findChild<QTextEdit*>("alarmText");
            textCentre = image.pixelColor(text->geometry().topLeft() + QPoint(6, 6));
            dialog.accept();
        });
        int given = -1;
        window.answerAlarm(QString(), &given);
        QCOMPARE(surface, warnred ? QColor(Qt::red) : buttonFace);
        QVERIFY(buttonCentre != QColor(Qt::red));
        QVERIFY(textCentre != QColor(Qt::red));
    }

    void captionShowsTheClockAndMovesOn()
    {
        FakeClock clock;
        clock.t = localTime(2026, 3, 14, 9, 5);
        AlarmDialog dialog(clock);
        const QString prefix = QStringLiteral("Appointment due! Time now  ");
        QCOMPARE(dialog.windowTitle(), prefix + FormatTimeText(clock.t));
        clock.t += 60;
        QTRY_COMPARE_WITH_TIMEOUT(dialog.windowTitle(), prefix + FormatTimeText(clock.t), 6000);
    }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
