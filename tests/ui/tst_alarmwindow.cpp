// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "palm/timetexts.h"
#include "ui/alarmdialog.h"
#include "ui/keyguard.h"
#include "ui/resources.h"
#include "ui/spinarrows.h"
#include "uitestsupport.h"

#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
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
        dialog.keyGuard().release();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog,
                        Qt::Key_Return);
        break;
    case Close::Escape:
        dialog.keyGuard().release();
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

// Steps the snooze minutes with the arrow buttons, or with the arrow keys on Warn again.
void pressSpin(AlarmDialog& dialog, int clicks, bool keys = false)
{
    auto* arrows = dialog.findChild<SpinArrows*>();
    auto* button = dialog.findChild<QPushButton*>("warnAgainButton");
    for (int i = 0; i < std::abs(clicks); ++i) {
        if (keys)
            QTest::keyClick(button, clicks > 0 ? Qt::Key_Up : Qt::Key_Down);
        else
            (clicks > 0 ? arrows->upButton() : arrows->downButton())->click();
    }
}
} // namespace

class TestAlarmWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        pinTimeZone("Europe/Berlin");
        QStandardPaths::setTestModeEnabled(true);
        setUiLanguage(UiLanguage::English);
    }

    void cleanup() { AlarmDialog::setTestRunner({}); }

    // Clicks answer at once (the rows above), keys only after the first second.
    void keysDoNotAnswerAWindowThatJustTookTheFocus()
    {
        FakeClock clock;
        AlarmDialog dialog(clock);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus, Qt::Key_Return);
        QTest::keyClick(focus, Qt::Key_Space);
        QTest::keyClick(focus, Qt::Key_Escape);
        QTest::keyClick(focus, Qt::Key_W, Qt::AltModifier);
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.answered());
        dialog.keyGuard().release();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
        QVERIFY(dialog.answered() && !dialog.warnAgain());
    }

    void closingAnswersAndKeepsTheMinutes_data()
    {
        QTest::addColumn<Close>("how");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK button") << Close::OkButton << 1;
        QTest::newRow("Enter") << Close::Enter << 1;
        QTest::newRow("Escape") << Close::Escape << 1;
        QTest::newRow("close box snoozes") << Close::CloseBox << 0;
        QTest::newRow("Warn again") << Close::WarnAgain << 0;
    }

    void closingAnswersAndKeepsTheMinutes()
    {
        QFETCH(Close, how);
        QFETCH(int, answer);
        MainWindowFixture fixture;
        fixture.settings->update([](Settings& s) { s.warnagaintime = 5; });
        MainWindow& window = fixture.open();
        fixture.takeRescans();
        bool closed = false;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
            QCOMPARE(
                dialog.findChild<QTextEdit*>("alarmText")->toPlainText(),
                QStringLiteral("10:00 Review <code> changes\nBring <b>X-rays</b> &amp; notes"));
            QCOMPARE(dialog.snoozeMinutes(), 5);
            pressSpin(dialog, 2);
            closeBy(dialog, how);
            closed = !dialog.isVisible();
        });
        int given = -1;
        window.answerAlarm(
            QStringLiteral("10:00 Review <code> changes\r\nBring <b>X-rays</b> &amp; notes"),
            &given);
        QVERIFY(closed);
        QCOMPARE(given, answer);
        QCOMPARE(fixture.current().warnagaintime, 7);
        QCOMPARE(fixture.takeRescans(), 0);
    }

    // A stored value above 30 shows unchanged until the first step; one below 1 opens at 1.
    void snoozeSpinAndButtonText_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("keys");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one minute") << 1 << 0 << false << 1 << "Remind again in 1 minute";
        QTest::newRow("up from 1") << 1 << 1 << false << 2 << "Remind again in 2 minutes";
        QTest::newRow("Up key") << 5 << 2 << true << 7 << "Remind again in 7 minutes";
        QTest::newRow("stops at 30") << 29 << 3 << false << 30 << "Remind again in 30 minutes";
        QTest::newRow("stops at 1") << 2 << -3 << true << 1 << "Remind again in 1 minute";
        QTest::newRow("45 unchanged") << 45 << 0 << false << 45 << "Remind again in 45 minutes";
        QTest::newRow("45, up: 30") << 45 << 1 << false << 30 << "Remind again in 30 minutes";
        QTest::newRow("45, down: 30") << 45 << -1 << true << 30 << "Remind again in 30 minutes";
        QTest::newRow("0 opens at 1") << 0 << 0 << false << 1 << "Remind again in 1 minute";
    }

    void snoozeSpinAndButtonText()
    {
        QFETCH(int, stored);
        QFETCH(int, clicks);
        QFETCH(bool, keys);
        QFETCH(int, minutes);
        QFETCH(QString, text);
        FakeClock clock;
        AlarmDialog dialog(clock);
        dialog.setSnoozeMinutes(stored);
        pressSpin(dialog, clicks, keys);
        QCOMPARE(dialog.snoozeMinutes(), minutes);
        QCOMPARE(dialog.findChild<QPushButton*>("warnAgainButton")->text(), text);
    }

    // Beep plays the sound; warnred paints the window red, but not its button or text.
    void beepAndRedFollowTheSettings_data()
    {
        QTest::addColumn<int>("on");
        QTest::newRow("off") << 0;
        QTest::newRow("on") << 1;
    }

    void beepAndRedFollowTheSettings()
    {
        QFETCH(int, on);
        MainWindowFixture fixture;
        fixture.settings->update([on](Settings& s) { s.beep = s.warnred = on; });
        MainWindow& window = fixture.open();
        QImage image;
        QPoint button;
        QPoint text;
        AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            image = dialog.grab().toImage();
            button = dialog.findChild<QPushButton*>("okButton")->geometry().center() + QPoint(0, 4);
            text = dialog.findChild<QTextEdit*>("alarmText")->geometry().topLeft() + QPoint(6, 6);
            dialog.accept();
        });
        int given = -1;
        window.answerAlarm(QString(), &given);
        QCOMPARE(fixture.soundPlays, on);
        const QColor buttonFace = QApplication::palette().color(QPalette::Button);
        QCOMPARE(image.pixelColor(2, 2), on ? QColor(Qt::red) : buttonFace);
        QVERIFY(image.pixelColor(button) != QColor(Qt::red));
        QVERIFY(image.pixelColor(text) != QColor(Qt::red));
    }

    void beepsOnlyWhenTheSoundCannotBeLoaded_data()
    {
        QTest::addColumn<QUrl>("wav");
        QTest::addColumn<bool>("withModule");
        QTest::addColumn<int>("beeps");
        QTest::newRow("the chime") << alarmSoundUrl() << true << 0;
        QTest::newRow("missing") << QUrl(QStringLiteral("qrc:/sounds/no-such-sound.wav")) << true
                                 << 2;
#ifndef Q_OS_WIN
        QTest::newRow("no sound module") << alarmSoundUrl() << false << 2;
#endif
    }

    void beepsOnlyWhenTheSoundCannotBeLoaded()
    {
        QFETCH(QUrl, wav);
        QFETCH(bool, withModule);
        QFETCH(int, beeps);
        int given = 0;
#ifdef Q_OS_WIN
        Q_UNUSED(withModule);
        WavAlarmSound sound(wav, [&given] { ++given; });
#else
        const QString moduleFolder = QStringLiteral(CHIMEWELL_SOUND_MODULE_FOLDER);
        WavAlarmSound sound(wav, [&given] { ++given; }, {withModule ? moduleFolder : QString()});
#endif
        sound.play();
        QTest::qWait(500);
        QCOMPARE(given, beeps);
    }

    void captionShowsTheClockAndMovesOn()
    {
        FakeClock clock;
        clock.t = localTime(2026, 3, 14, 9, 5);
        AlarmDialog dialog(clock);
        const QString prefix = QStringLiteral("Appointment due! Time now  ");
        QCOMPARE(dialog.windowTitle(), prefix + formatTimeText(clock.t));
        clock.t += 60;
        QTRY_COMPARE_WITH_TIMEOUT(dialog.windowTitle(), prefix + formatTimeText(clock.t), 6000);
    }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
