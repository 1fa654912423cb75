// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QLineEdit;
class Settings;

// "Chimewell Options": the on/off options, the highest to-do priority and the password for
// private items. It only edits: the caller fills it from Settings, and after OK copies it back
// and saves. Every control explains itself through What's This ("?" in the title bar, F1, a
// right click).
class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* parent = nullptr);

    void load(const Settings& settings);
    // A priority outside 1..5 opened with no selection and stores 0 unless one is chosen.
    // The password is kept only when "S&tore" is ticked.
    void store(Settings& settings) const;

    // The control with the given id (helptexts.h), or null.
    QWidget* control(int id) const { return m_controls.value(id); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCheckBox* addCheckBox(int id, const QString& text);

    QHash<int, QWidget*> m_controls;
    QComboBox* m_priority;
    QLineEdit* m_password;
};
