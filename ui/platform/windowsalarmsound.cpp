// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The alarm sound on Windows: the system's own sound call plays the compiled-in WAV from
// memory; the fallback is two short 440 Hz beeps.
#include "ui/alarmsound.h"

#include "ui/uilog.h"

#include <QFile>
#include <QTimer>

#include <windows.h>

#include <mmsystem.h>

namespace {

// The bytes of a RIFF WAVE file, or nothing.
QByteArray readWave(const QUrl& wav)
{
    QFile file(wav.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + wav.path()
                                                    : wav.toLocalFile());
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    return bytes.size() > 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE"
               ? bytes
               : QByteArray();
}

} // namespace

WavAlarmSound::WavAlarmSound(const QUrl& wav, Beeper beep, QObject* parent)
    : QObject(parent), m_wav(readWave(wav)), m_source(wav),
      m_beep(beep ? std::move(beep) : Beeper([] { Beep(440, 100); }))
{}

WavAlarmSound::~WavAlarmSound()
{
    // The system may still be playing from our bytes.
    if (!m_wav.isEmpty())
        PlaySoundW(nullptr, nullptr, 0);
}

void WavAlarmSound::play()
{
    if (m_wav.isEmpty() || !PlaySoundW(reinterpret_cast<LPCWSTR>(m_wav.constData()), nullptr,
                                       SND_MEMORY | SND_ASYNC | SND_NODEFAULT))
        beepTwice();
}

void WavAlarmSound::beepTwice()
{
    qCDebug(lcUi) << "alarm sound" << m_source << "cannot be played: two beeps";
    m_beep();
    QTimer::singleShot(200, this, [this] { m_beep(); });
}
