// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <memory>

class Autostart;
class QSettings;
class Settings;

// Keeps Settings in the per-user profile, section "Options": value names, types and defaults
// as the registry held them, the password scrambled. A stored value of the wrong type reads as
// its default; values are never range-checked.
class SettingsStorage
{
public:
    // `autostart` may be null: then load leaves `autostart` alone and save skips the entry.
    SettingsStorage(QSettings& profile, Autostart* autostart);

    static constexpr int kNotWritten = -1;

    // Always 0. Selects the stored Palm user right after reading "palmuserid"; a profile file
    // that does not parse is logged, and what cannot be read takes its default.
    int load(Settings& settings);
    // 0 on success; kNotWritten (logged) when the values did not reach the profile, otherwise
    // the Run-key clean-up's status. QSettings keeps the first error it met, so only a profile
    // object that has not been saved before tells whether this save reached the disk.
    int save(const Settings& settings);

private:
    QSettings& m_profile;
    Autostart* m_autostart;
};

// Sets the option stored under `name` ("maxprio", "password", ...) from a text, as if it had
// been stored so; "palmuserid" selects that user. False for an unknown name or a whole-number
// option given something else.
bool setSettingsValue(Settings& settings, const QString& name, const QString& value);

// The symmetric scrambling of the stored password, on bytes: applying it twice gives the
// input back. Every byte but the last is changed.
QByteArray scramblePassword(const QByteArray& text);

// The profile QSettings(NativeFormat, UserScope, "Corvander", applicationName). It holds the
// password, so where it is a file, only the user may read it (0600, in a 0700 folder).
std::unique_ptr<QSettings>
openProfile(const QString& applicationName = QCoreApplication::applicationName());
