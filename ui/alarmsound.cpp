// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmsound.h"

#include "uilog.h"

#include <QApplication>
#include <QSoundEffect>
#include <QTimer>

WavAlarmSound::WavAlarmSound(const QUrl& wav, Beeper beep, QObject* parent)
    : QObject(parent), m_source(wav), m_beep(beep ? std::move(beep) : Beeper(&QApplication::beep))
{}

WavAlarmSound::~WavAlarmSound() = default;

void WavAlarmSound::play()
{
    if (!m_effect) {
        m_effect = new QSoundEffect(this);
        connect(m_effect, &QSoundEffect::statusChanged, this, &WavAlarmSound::statusChanged);
        m_effect->setSource(m_source);
    }
    switch (m_effect->status()) {
    case QSoundEffect::Ready:
        m_effect->play();
        break;
    case QSoundEffect::Null:
    case QSoundEffect::Loading:
        if (m_effect->source().isEmpty())
            beepTwice();
        else
            m_playWhenLoaded = true;
        break;
    case QSoundEffect::Error:
        beepTwice();
        break;
    }
}

void WavAlarmSound::statusChanged()
{
    if (!m_playWhenLoaded)
        return;
    if (m_effect->status() == QSoundEffect::Ready) {
        m_playWhenLoaded = false;
        m_effect->play();
    } else if (m_effect->status() == QSoundEffect::Error) {
        m_playWhenLoaded = false;
        beepTwice();
    }
}

void WavAlarmSound::beepTwice()
{
    qCDebug(lcUi) << "alarm sound" << m_source << "cannot be loaded: two beeps";
    m_beep();
    QTimer::singleShot(200, this, [this] { m_beep(); });
}
