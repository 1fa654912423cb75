// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/sharedsettings.h"
#include "app/startup.h"
#include "tests/app/fakepalmusers.h"
#include "tests/palm/palmfixtures.h"
#include "ui/alarmsound.h"
#include "ui/mainwindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSemaphore>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

struct CountingSound : AlarmSound
{
    int* plays;
    explicit CountingSound(int* counter) : plays(counter) {}
    void play() override { ++*plays; }
};

// Clicks the push button of `window` that carries `text`.
inline void clickButton(QWidget& window, const QString& text)
{
    for (auto* button : window.findChildren<QPushButton*>())
        if (button->text() == text)
            return button->click();
    QFAIL(qPrintable("no button " + text));
}

// Runs `trigger`, which opens a modal window of type T, and hands that window to `answer`
// (which must close it) as soon as it is shown.
template <typename T>
void answerNextModal(const std::function<void()>& trigger, const std::function<void(T*)>& answer)
{
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* window = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll.stop();
            answer(window);
        }
    });
    poll.start();
    trigger();
}

// The text of the message box that `trigger` shows; the box is closed.
inline QString nextMessageBoxText(const std::function<void()>& trigger)
{
    QString text;
    answerNextModal<QMessageBox>(trigger, [&](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    return text;
}

// A main window on fake Palm users, a fake clock and a profile in a temporary folder. The
// semaphore's count is the number of rescans requested.
struct MainWindowFixture
{
    QTemporaryDir dir;
    FakePalmUsers users;
    FakeClock clock;
    std::unique_ptr<SharedSettings> settings;
    QSemaphore rescans;
    std::unique_ptr<QSettings> profile;
    int valueSaves = 0; // of the profile's values alone, without the autostart entry
    int soundPlays = 0;
    bool trayAvailable = true;
    std::unique_ptr<MainWindow> window;

    MainWindowFixture()
    {
        users.add(3, QStringLiteral("Anna"), QStringLiteral("AnnaF"));
        users.add(7, QStringLiteral("Ben"), QStringLiteral("BenM"));
        clock.set(at(2026y / 3 / 14, 9, 5));
        settings = std::make_unique<SharedSettings>(Settings(&users, nullptr));
        profile = std::make_unique<QSettings>(dir.filePath(QStringLiteral("profile.conf")),
                                              QSettings::IniFormat);
    }

    MainWindow& open()
    {
        window = std::make_unique<MainWindow>(
            *settings, rescans, users, *profile,
            [this](SaveScope scope) { valueSaves += scope == SaveScope::Values; }, clock);
        window->setAlarmSound(std::make_unique<CountingSound>(&soundPlays));
        window->setTrayAvailableCheck([this] { return trayAvailable; });
        return *window;
    }

    Settings current() const { return settings->snapshot(); }
    // The rescans requested since the last call.
    int takeRescans()
    {
        const int count = rescans.available();
        rescans.acquire(count);
        return count;
    }
};
