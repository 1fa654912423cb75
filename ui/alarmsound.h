// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>

class WavPlayer;

// What sounds when an alarm is raised.
class AlarmSound
{
public:
    virtual ~AlarmSound() = default;
    // Starts the sound and returns at once.
    virtual void play() = 0;
};

// Plays a WAV once; when it cannot be loaded, two short beeps a tenth of a second apart
// take its place. (Without an audio device the sound "plays" unheard: that is no failure
// a program can see.)
class WavAlarmSound : public QObject, public AlarmSound
{
    Q_OBJECT
public:
    using Beeper = std::function<void()>;
#ifdef Q_OS_WIN
    explicit WavAlarmSound(const QUrl& wav, Beeper beep = {}, QObject* parent = nullptr);
#else
    // moduleFolders: where the sound module is looked for, in this order.
    explicit WavAlarmSound(const QUrl& wav, Beeper beep = {},
                           QStringList moduleFolders = soundModuleFolders(),
                           QObject* parent = nullptr);
    // Beside the program (its build folder), then the installed library folder.
    static QStringList soundModuleFolders();
#endif
    ~WavAlarmSound() override;
    void play() override;

private:
    void beepTwice();

#ifdef Q_OS_WIN
    // The whole file: the system plays it from memory while we keep it.
    QByteArray m_wav;
    QUrl m_source;
#else
    std::unique_ptr<WavPlayer> loadPlayer();

    QUrl m_source;
    QStringList m_moduleFolders;
    // Made at the first alarm, from the sound module.
    std::unique_ptr<WavPlayer> m_player;
    bool m_moduleMissing = false;
#endif
    Beeper m_beep;
};
