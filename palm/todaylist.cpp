// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todaylist.h"

#include "palm/settings.h"

#include <algorithm>
#include <utility>

TodayListBuilder::TodayListBuilder(const Clock& clock, const QString& copyFolder,
                                   const QString& todoPrefix, const QLocale& locale)
    : m_locale(locale), m_copies(copyFolder), m_appointmentScan(clock, m_locale, m_copies),
      m_toDoScan(clock, m_locale, m_copies, todoPrefix)
{}

int TodayListBuilder::buildTodayList(const Settings& settings, QStringList& todayList, bool force)
{
    // Each file is read whatever became of the other: one that fails never hides the other's
    // lines or alarms.
    const int appointments =
        m_appointmentScan.scanAppointments(settings, m_appointmentLines, force, m_alarms);
    if (appointments > 0 && m_answers)
        applyAnswers(m_alarms, *m_answers);
    const int toDos = settings.showtodos ? m_toDoScan.scanToDos(settings, m_toDoLines, force) : 0;
    m_datebookFailure = appointments < 0 ? m_appointmentScan.failure() : QString();
    m_toDoFailure = toDos < 0 ? m_toDoScan.failure() : QString();
    const bool failed = appointments < 0 || toDos < 0;
    const int total = appointments + toDos;
    if (!failed && total <= 0)
        return total;

    todayList.clear();
    if (appointments >= 0)
        todayList += m_appointmentLines;
    if (settings.showtodos && toDos >= 0)
        todayList += m_toDoLines;
    sortTodayList(todayList);
    return failed ? -1 : total;
}

void TodayListBuilder::sortTodayList(QStringList& todayList)
{
    // Lines that compare equal are equal texts, so any sort gives the order of the exchange
    // procedure; the alarms, whose equal starts differ in content, need the procedure itself.
    std::vector<std::pair<QByteArray, QString>> keyed;
    keyed.reserve(todayList.size());
    for (QString& line : todayList)
        keyed.emplace_back(line.toUtf8(), std::move(line));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const bool aBlank = a.first.startsWith(' ');
        const bool bBlank = b.first.startsWith(' ');
        if (aBlank != bBlank)
            return bBlank;
        return a.first < b.first;
    });
    for (qsizetype i = 0; i < todayList.size(); ++i)
        todayList[i] = std::move(keyed[std::size_t(i)].second);
    sortAlarmList(m_alarms);
}
