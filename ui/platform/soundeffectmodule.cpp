// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The sound module: plays the alarm WAV through Qt Multimedia's QSoundEffect.
#include "ui/wavplayer.h"

#include <QObject>
#include <QSoundEffect>

namespace {

class SoundEffectPlayer : public QObject, public WavPlayer
{
public:
    SoundEffectPlayer(const QUrl& wav, std::function<void()> cannotLoad)
        : m_cannotLoad(std::move(cannotLoad))
    {
        connect(&m_effect, &QSoundEffect::statusChanged, this, &SoundEffectPlayer::statusChanged);
        m_effect.setSource(wav);
    }

    void play() override
    {
        switch (m_effect.status()) {
        case QSoundEffect::Ready:
            m_effect.play();
            break;
        case QSoundEffect::Null:
        case QSoundEffect::Loading:
            if (m_effect.source().isEmpty())
                m_cannotLoad();
            else
                m_playWhenLoaded = true;
            break;
        case QSoundEffect::Error:
            m_cannotLoad();
            break;
        }
    }

private:
    void statusChanged()
    {
        if (!m_playWhenLoaded)
            return;
        if (m_effect.status() == QSoundEffect::Ready) {
            m_playWhenLoaded = false;
            m_effect.play();
        } else if (m_effect.status() == QSoundEffect::Error) {
            m_playWhenLoaded = false;
            m_cannotLoad();
        }
    }

    QSoundEffect m_effect;
    std::function<void()> m_cannotLoad;
    bool m_playWhenLoaded = false;
};

} // namespace

class SoundEffectModule : public QObject, public WavPlayerFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID WavPlayerFactory_iid)
    Q_INTERFACES(WavPlayerFactory)
public:
    std::unique_ptr<WavPlayer> create(const QUrl& wav, std::function<void()> cannotLoad) override
    {
        return std::make_unique<SoundEffectPlayer>(wav, std::move(cannotLoad));
    }
};

#include "soundeffectmodule.moc"
