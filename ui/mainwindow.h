// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class AlarmSound;
class BellNotifier;
class Clock;
class PalmUsers;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QSemaphore;
class QSettings;
class QSystemTrayIcon;
class QTimer;
class SharedSettings;
enum class SaveScope;

// The program's one main window with its tray icon: today's list, the Palm user, the
// reminder lead time and the commands. It is shown without a modal loop of its own; every way
// of closing it only hides it (and only while a tray icon can bring it back): Quit alone ends
// the program, through quitRequested().
class MainWindow : public QDialog
{
    Q_OBJECT
public:
    // `rescan` is released once for each rescan the window requests; `saveSettings` writes the
    // settings to the profile whenever one changes here, and applies the autostart option
    // after the Options dialog's OK.
    MainWindow(SharedSettings& settings, QSemaphore& rescan, const PalmUsers& users,
               QSettings& profile, std::function<void(SaveScope)> saveSettings, const Clock& clock,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Restored, raised and active (but not kept above other windows): the tray's Show, and
    // what a second copy of the program asks for.
    void showWindow();

    void setAlarmSound(std::unique_ptr<AlarmSound> sound);
    void setBellNotifier(std::unique_ptr<BellNotifier> bell);
    // Whether the desktop shows the tray icon; without one the window is never hidden.
    void setTrayAvailableCheck(std::function<bool()> available);

    static constexpr int MinHeight = 250;
    static constexpr int MaxMinutes = 60;
    static constexpr int RefreshPauseMs = 2000;

public slots:
    // The worker's new tooltip text and today's lines.
    void updateList(const QString& tooltip, const QStringList& lines);
    // The worker's due alarm: sound, "Appointment due!" window, and the answer: 1 acknowledged,
    // 0 remind again after `warnagaintime` minutes, which the window writes back; `answer` is
    // left alone when the program quit while the window was open.
    void answerAlarm(const QString& alarmText, int* answer);
    // The Palm users were read again: the user list follows, the chosen user stays.
    void refillUsers();

signals:
    void quitRequested();

protected:
    void accept() override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void tick();

private:
    void buildWindow();
    void fillUsers();
    void addUserItems();
    void userChosen(int index);
    void minutesChanged();
    void stepMinutes(int delta);
    std::optional<int> validMinutes() const;
    void showValidationMessage();
    void hideWithValidMinutes();
    void refresh();
    void showOptions();
    void showAbout();
    void updateGroupCaption();
    void updateCaption(std::int64_t now);
    void armCaptionClock();
    void hideToTray();
    void hideAtStart();
    void requestRescan();

    SharedSettings& m_settings;
    QSemaphore& m_rescan;
    const PalmUsers& m_palmUsers;
    QSettings& m_profile;
    std::function<void(SaveScope)> m_saveSettings;
    const Clock& m_clock;
    std::unique_ptr<AlarmSound> m_sound;
    std::unique_ptr<BellNotifier> m_bell;
    std::function<bool()> m_trayAvailable;

    bool m_initialising = true;
    bool m_hideAtStartPending = true;
    bool m_hideWhenTrayAppears = false;
    bool m_refreshing = false;
    std::int64_t m_startedAt = 0;
    std::int64_t m_lastTick = 0;

    QComboBox* m_users = nullptr;
    QLineEdit* m_minutes = nullptr;
    QGroupBox* m_listFrame = nullptr;
    QListWidget* m_list = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QTimer* m_captionClock = nullptr;
};
