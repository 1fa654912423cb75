// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources.h"

#include <QFile>
#include <QGuiApplication>

static void ensureResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(chimewell);
        return true;
    }();
    Q_UNUSED(registered);
}

QIcon appIcon()
{
    // Every window and the tray icon share the one icon's pixmaps.
    if (!QGuiApplication::windowIcon().isNull())
        return QGuiApplication::windowIcon();
    ensureResources();
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/chimewell-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
    return icon;
}

QPixmap aboutPicture()
{
    ensureResources();
    return QPixmap(QStringLiteral(":/images/about.png"));
}

QUrl alarmSoundUrl()
{
    ensureResources();
    return QUrl(QStringLiteral("qrc:/sounds/chime.wav"));
}
