// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyguard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

KeyGuard::KeyGuard(QWidget* window, std::chrono::milliseconds duration)
    : QObject(window), m_window(window)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(duration);
    connect(&m_timer, &QTimer::timeout, this, &KeyGuard::release);
}

void KeyGuard::start()
{
    if (!m_holding)
        qApp->installEventFilter(this);
    m_holding = true;
    m_timer.start();
}

void KeyGuard::release()
{
    m_timer.stop();
    if (m_holding)
        qApp->removeEventFilter(this);
    m_holding = false;
}

bool KeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut: {
        // Shortcuts (mnemonics, the default button's Return) reach the controls themselves.
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget && (widget == m_window || m_window->isAncestorOf(widget));
    }
    default:
        return false;
    }
}
