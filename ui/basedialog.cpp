// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "basedialog.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

BaseDialog::BaseDialog(QWidget* parent)
    : QDialog(parent), m_background(QApplication::palette().color(QPalette::Button))
{}

void BaseDialog::setBackgroundColor(const QColor& color)
{
    m_background = color;
    update();
}

// Painting the surface ourselves instead of changing the palette keeps the colour from
// propagating into the child controls.
void BaseDialog::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    QDialog::paintEvent(event);
}
