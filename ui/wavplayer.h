// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUrl>
#include <QtPlugin>

#include <functional>
#include <memory>

// Plays one WAV file. Lives in the sound module, which the program loads at the first alarm
// that wants a sound: Qt Multimedia and the sound system it brings in cost memory all the time
// the program only waits.
class WavPlayer
{
public:
    virtual ~WavPlayer() = default;
    // Starts the sound (once loaded) and returns at once.
    virtual void play() = 0;
};

class WavPlayerFactory
{
public:
    virtual ~WavPlayerFactory() = default;
    // cannotLoad is called for each play() that finds the file unusable.
    virtual std::unique_ptr<WavPlayer> create(const QUrl& wav,
                                              std::function<void()> cannotLoad) = 0;
};

#define WavPlayerFactory_iid "org.example.Chimewell.WavPlayerFactory/1"
Q_DECLARE_INTERFACE(WavPlayerFactory, WavPlayerFactory_iid)
