// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QUrl>

#include <functional>

class QSoundEffect;

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
    explicit WavAlarmSound(const QUrl& wav, Beeper beep = {}, QObject* parent = nullptr);
    ~WavAlarmSound() override;
    void play() override;

private:
    void beepTwice();

#ifdef Q_OS_WIN
    // The whole file: the system plays it from memory while we keep it.
    QByteArray m_wav;
    QUrl m_source;
#else
    void statusChanged();

    QUrl m_source;
    // Made at the first alarm: Qt Multimedia and the sound system cost memory all the time
    // the program only waits.
    QSoundEffect* m_effect = nullptr;
    bool m_playWhenLoaded = false;
#endif
    Beeper m_beep;
};
