// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarmanswers.h"
#include "alarmlist.h"
#include "appointmentscan.h"
#include "privatecopies.h"
#include "todoscan.h"

#include <QLocale>
#include <QStringList>

class Clock;
class Settings;

// Today's list of appointment and to-do lines, with the state the scans keep between passes:
// the lines of each scan, the AlarmList, the versions of the files last read and the private
// copies. Used by the refresh worker's thread only.
class TodayListBuilder
{
public:
    // `copyFolder`: the private folder for the copies (privateFolderPath() in the program);
    // `todoPrefix`: the text every to-do line starts with.
    TodayListBuilder(const Clock& clock, const QString& copyFolder, const QString& todoPrefix,
                     const QLocale& locale = QLocale::system());

    // 0 when nothing changed (the list untouched), positive when `todayList` was rebuilt from
    // both scans' lines and sorted. Negative when a file could not be read: `todayList` then
    // holds the sorted lines of the other file, and datebookFailure() or toDoFailure() says
    // which file failed and why.
    int buildTodayList(const Settings& settings, QStringList& todayList, bool force);
    const QString& datebookFailure() const { return m_datebookFailure; }
    const QString& toDoFailure() const { return m_toDoFailure; }

    // Sorts the lines (timed ones first, then those starting with a blank, each group
    // byte-wise) and, in the same call, the AlarmList by start.
    void sortTodayList(QStringList& todayList);

    AlarmList& alarms() { return m_alarms; }
    // See AppointmentScan::startedToday().
    const AlarmList& startedToday() const { return m_appointmentScan.startedToday(); }
    // The answers the user gave earlier; every scan of the datebook hands them to the entries
    // it adds. Null: none.
    void setAnswers(const AlarmAnswers* answers) { m_answers = answers; }
    const QLocale& locale() const { return m_locale; }

    // Deletes the private copies (at shutdown).
    void deleteCopies() const { m_copies.deleteCopies(); }

private:
    QLocale m_locale;
    PrivateCopies m_copies;
    AppointmentScan m_appointmentScan;
    ToDoScan m_toDoScan;
    AlarmList m_alarms;
    const AlarmAnswers* m_answers = nullptr;
    QStringList m_appointmentLines;
    QStringList m_toDoLines;
    QString m_datebookFailure;
    QString m_toDoFailure;
};
