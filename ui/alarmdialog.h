// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basedialog.h"

#include <functional>

class Clock;
class KeyGuard;
class QPushButton;
class QTextEdit;
class QTimer;

// "Appointment due!": shows the alarm text on top of every other window until the user
// acknowledges it (OK, Enter, Escape) or asks to be reminded again after the snooze minutes
// chosen beside the Warn again button or with the close box. It takes the focus unasked, so
// for its first second keys do not answer it (a Return meant for another window would
// acknowledge it); mouse clicks do.
class AlarmDialog : public BaseDialog
{
    Q_OBJECT
public:
    explicit AlarmDialog(const Clock& clock, QWidget* parent = nullptr);

    void setAlarmText(const QString& text);
    // A value above 30 stays as it is until the first step brings it into 1..30; one below 1
    // opens at 1, as a snooze of 0 minutes would ring again at once.
    void setSnoozeMinutes(int minutes);
    int snoozeMinutes() const { return m_snoozeMinutes; }
    // True when the dialog was closed with the Warn again button or the close box.
    bool warnAgain() const { return m_warnAgain; }
    // False when the dialog ended without an answer (the program quit while it was open).
    bool answered() const { return m_answered; }
    KeyGuard& keyGuard() const { return *m_keyGuard; }

    // Runs the dialog modally; a test runner set with setTestRunner() takes its place.
    void run();
    using Runner = std::function<void(AlarmDialog&)>;
    static void setTestRunner(Runner runner);

    static constexpr int MinSnoozeMinutes = 1;
    static constexpr int MaxSnoozeMinutes = 30;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void renewCaption();
    void stepSnooze(int delta);
    void updateWarnAgainText();

    const Clock& m_clock;
    bool m_warnAgain = false;
    bool m_answered = false;
    KeyGuard* m_keyGuard;
    int m_snoozeMinutes = MinSnoozeMinutes;
    QTextEdit* m_text;
    QPushButton* m_ok;
    QPushButton* m_warnAgainButton;
    QTimer* m_captionTimer;
};

// "Remind again in 1 minute", "Remind again in 5 minutes": the singular only for exactly 1.
QString warnAgainText(int minutes);
