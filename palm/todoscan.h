// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "datafilesource.h"

#include <QLocale>
#include <QStringList>

#include <cstdint>

class Clock;
class Settings;

// True when a due date is Palm Desktop's "no due date" marker (a local date on or after
// 2031-12-31: the marker written in a zone east of ours falls on 1 January 2032).
bool isNoDueDate(std::int64_t due);

// The to-do items that are due (today or overdue) and, when wanted, the undated ones up to a
// priority, as today-list lines.
class ToDoScan
{
public:
    // `prefix` starts every line (the " To Do: " text of the user's language).
    ToDoScan(const Clock& clock, const QLocale& locale, const PrivateCopies& copies,
             QString prefix);

    // Results as AppointmentScan::scanAppointments; 1 also when no item is listed. A missing
    // file is an empty to-do list.
    int scanToDos(const Settings& settings, QStringList& lines, bool force);
    // After a failure: the file and why it could not be read.
    const QString& failure() const { return m_source.failure(); }

private:
    const Clock& m_clock;
    QLocale m_locale;
    const PrivateCopies& m_copies;
    QString m_prefix;
    DataFileSource m_source;
};
