// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

// The two small arrow buttons of an up-down control that belongs to a text field beside it;
// the owner decides what a step does to the field.
class SpinArrows : public QWidget
{
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr);

    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }
    // Up and Down pressed in `buddy` step as the arrows do.
    void stepOnArrowKeys(QWidget* buddy);

signals:
    void stepped(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
};
