// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QDialog>

// A dialog whose surface around its controls has a colour of its own; the controls keep
// their usual colours. Until told otherwise the colour is the desktop's button-face colour,
// so the dialog looks like any other.
class BaseDialog : public QDialog
{
    Q_OBJECT
public:
    explicit BaseDialog(QWidget* parent = nullptr);

    // Callers set the colour before the dialog is shown.
    void setBackgroundColor(const QColor& color);
    QColor backgroundColor() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_background;
};
