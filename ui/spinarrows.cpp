// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "spinarrows.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

SpinArrows::SpinArrows(QWidget* parent) : QWidget(parent)
{
    auto makeArrow = [this](Qt::ArrowType type, int delta) {
        auto* button = new QToolButton(this);
        button->setArrowType(type);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
        button->setFixedWidth(16);
        connect(button, &QToolButton::clicked, this, [this, delta] { emit stepped(delta); });
        return button;
    };
    m_up = makeArrow(Qt::UpArrow, 1);
    m_down = makeArrow(Qt::DownArrow, -1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
}

void SpinArrows::stepOnArrowKeys(QWidget* buddy)
{
    buddy->installEventFilter(this);
}

bool SpinArrows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            emit stepped(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
