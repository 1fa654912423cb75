// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/stringtable.h"
#include "ui/alarmdialog.h"
#include "ui/keyguard.h"
#include "ui/resources.h"
#include "ui/spinarrows.h"
#include "uitestsupport.h"

#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {
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

    // The answer goes back as 1 (acknowledged) or 0 (again after the snooze), and none when
    // the window never closed (the program ended meanwhile). The snooze minutes chosen are
    // stored at once, however the window closed.
    void closingAnswersAndKeepsTheMinutes()
    {
        using Close = std::function<void(AlarmDialog&)>;
        const auto click = [](const char* button) -> Close {
            return [=](AlarmDialog& d) {
                QTest::mouseClick(d.findChild<QPushButton*>(button), Qt::LeftButton);
            };
        };
        // Keys answer only once the window held them back for its first second.
        const auto key = [](Qt::Key key) -> Close {
            return [=](AlarmDialog& d) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY(d.isVisible() && !d.answered());
                d.keyGuard().release();
                QTest::keyClick(QApplication::focusWidget(), key);
            };
        };
        for (const auto& [close, answer] : {std::pair{click("okButton"), 1},
                                            {key(Qt::Key_Return), 1},
                                            {key(Qt::Key_Escape), 1},
                                            {Close([](AlarmDialog& d) { d.close(); }), 0},
                                            {click("warnAgainButton"), 0},
                                            {Close([](AlarmDialog&) {}), -1}}) {
            MainWindowFixture fixture;
            fixture.settings->update([](Settings& s) { s.warnagaintime = 5; });
            MainWindow& window = fixture.open();
            fixture.takeRescans();
            AlarmDialog::setTestRunner([&, close = close](AlarmDialog& dialog) {
                dialog.show();
                QVERIFY(QTest::qWaitForWindowActive(&dialog));
                QCOMPARE(
                    dialog.findChild<QTextEdit*>("alarmText")->toPlainText(),
                    QStringLiteral("10:00 Review <code> changes\nBring <b>X-rays</b> &amp; notes"));
                QCOMPARE(dialog.snoozeMinutes(), 5);
                pressSpin(dialog, 2);
                close(dialog);
            });
            int given = -1;
            window.answerAlarm(
                QStringLiteral("10:00 Review <code> changes\r\nBring <b>X-rays</b> &amp; notes"),
                &given);
            QCOMPARE(given, answer);
            QCOMPARE(fixture.current().warnagaintime, 7);
            QCOMPARE(fixture.valueSaves, 1);
            QCOMPARE(fixture.takeRescans(), 0);
        }
    }

    // A stored value above 30 shows unchanged until the first step; one below 1 opens at 1.
    void snoozeSpinAndButtonText()
    {
        const std::tuple<int, int, bool, int> rows[] = {{1, 0, false, 1},   {29, 3, false, 30},
                                                        {45, 0, false, 45}, {45, 1, false, 30},
                                                        {45, -1, true, 30}, {0, 0, false, 1}};
        for (auto [stored, clicks, keys, minutes] : rows) {
            FakeClock clock;
            AlarmDialog dialog(clock);
            dialog.setSnoozeMinutes(stored);
            pressSpin(dialog, clicks, keys);
            QCOMPARE(dialog.snoozeMinutes(), minutes);
            QCOMPARE(
                dialog.findChild<QPushButton*>("warnAgainButton")->text(),
                QString("Remind again in %1 minute%2").arg(minutes).arg(minutes > 1 ? "s" : ""));
        }
    }

    // Beep plays the sound; warnred paints the window red.
    void beepAndRedFollowTheSettings()
    {
        for (auto [beep, red] : {std::pair{0, 1}, {1, 0}}) {
            MainWindowFixture fixture;
            fixture.settings->update([beep = beep, red = red](Settings& s) {
                s.beep = beep;
                s.warnred = red;
            });
            MainWindow& window = fixture.open();
            QImage image;
            AlarmDialog::setTestRunner([&](AlarmDialog& dialog) {
                dialog.show();
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                image = dialog.grab().toImage();
                dialog.accept();
            });
            int given = -1;
            window.answerAlarm(QString(), &given);
            QCOMPARE(fixture.soundPlays, beep);
            const QColor buttonFace = QApplication::palette().color(QPalette::Button);
            QCOMPARE(image.pixelColor(2, 2), red ? QColor(Qt::red) : buttonFace);
        }
    }

    // When in doubt the alarm rings: a sound that cannot be loaded, or (where the sound player
    // is a module) a player that cannot be loaded, beeps twice instead.
    void beepsWhenTheSoundCannotBeLoaded()
    {
        const QUrl missing(QStringLiteral("qrc:/sounds/no-such-sound.wav"));
        int beeps = 0;
#ifdef Q_OS_WIN
        WavAlarmSound sound(missing, [&] { ++beeps; });
#else
        const QString moduleFolder = QStringLiteral(CHIMEWELL_SOUND_MODULE_FOLDER);
        WavAlarmSound withoutModule(alarmSoundUrl(), [&] { ++beeps; }, {QString()});
        withoutModule.play();
        QTRY_COMPARE(beeps, 2);
        beeps = 0;
        WavAlarmSound sound(missing, [&] { ++beeps; }, {moduleFolder});
#endif
        sound.play();
        QTRY_COMPARE(beeps, 2);
    }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
