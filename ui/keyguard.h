// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>

class QWidget;

// Holds back the keys meant for another window: for a while after a window took the focus
// unasked, key presses and shortcuts aimed at it or its controls are dropped. Mouse clicks
// pass.
class KeyGuard : public QObject
{
    Q_OBJECT
public:
    KeyGuard(QWidget* window, std::chrono::milliseconds duration);

    // Drops keys from now on until the duration has passed or release() is called.
    void start();
    void release();
    bool isHolding() const { return m_holding; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QTimer m_timer;
    bool m_holding = false;
};
