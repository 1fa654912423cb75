// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmsound.h"

#include "uilog.h"
#include "wavplayer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>
#include <QTimer>

WavAlarmSound::WavAlarmSound(const QUrl& wav, Beeper beep, QStringList moduleFolders,
                             QObject* parent)
    : QObject(parent), m_source(wav), m_moduleFolders(std::move(moduleFolders)),
      m_beep(beep ? std::move(beep) : Beeper(&QApplication::beep))
{}

WavAlarmSound::~WavAlarmSound() = default;

QStringList WavAlarmSound::soundModuleFolders()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder,
            QDir::cleanPath(programFolder + QStringLiteral("/" CHIMEWELL_MODULE_FOLDER))};
}

void WavAlarmSound::play()
{
    if (!m_player && !m_moduleMissing) {
        m_player = loadPlayer();
        m_moduleMissing = !m_player;
    }
    if (m_player)
        m_player->play();
    else
        beepTwice();
}

std::unique_ptr<WavPlayer> WavAlarmSound::loadPlayer()
{
    const QString name = QStringLiteral(CHIMEWELL_SOUND_MODULE);
    QStringList errors;
    for (const QString& folder : std::as_const(m_moduleFolders)) {
        const QString path = QDir(folder).filePath(name);
        if (!QFileInfo::exists(path))
            continue;
        // The module stays loaded: the player it made lives as long as the program.
        QPluginLoader loader(path);
        if (auto* factory = qobject_cast<WavPlayerFactory*>(loader.instance()))
            return factory->create(m_source, [this] { beepTwice(); });
        errors << loader.errorString();
    }
    qCWarning(lcUi).noquote() << "the sound module" << name << "cannot be loaded from"
                              << m_moduleFolders.join(QStringLiteral(", "))
                              << (errors.isEmpty() ? QStringLiteral("(not found)")
                                                   : errors.join(QStringLiteral("; ")));
    return nullptr;
}

void WavAlarmSound::beepTwice()
{
    qCDebug(lcUi) << "alarm sound" << m_source << "cannot be loaded: two beeps";
    m_beep();
    QTimer::singleShot(200, this, [this] { m_beep(); });
}
