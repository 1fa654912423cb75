// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarmlist.h"
#include "datafilesource.h"

#include <QLocale>
#include <QStringList>

class Clock;
class Settings;

// Today's appointments of the selected user's datebook: their lines, and the AlarmList kept
// up to date without losing the alarm state of entries that are produced again. A private
// appointment that is not to be shown gets no line, but its alarm still rings.
class AppointmentScan
{
public:
    AppointmentScan(const Clock& clock, const QLocale& locale, const PrivateCopies& copies);

    // -1 failure; 0 nothing done (unchanged and not forced, or for a while a small file that
    // does not read whole yet); 1 scanned; the number of lines already held when the copy
    // failed (lines and alarms untouched).
    int scanAppointments(const Settings& settings, QStringList& lines, bool force,
                         AlarmList& alarms);
    // After a failure: the file and why it could not be read.
    const QString& failure() const { return m_source.failure(); }
    // The timed appointments of today that had started when the datebook was last read, as
    // alarm entries without state, by start; a missed alarm may still be among them.
    const AlarmList& startedToday() const { return m_started; }

private:
    const Clock& m_clock;
    QLocale m_locale;
    const PrivateCopies& m_copies;
    DataFileSource m_source;
    AlarmList m_started;
};
