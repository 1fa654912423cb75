// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "todaylist.h"

#include "app/settings.h"

#include <algorithm>
#include <utility>

TodayListBuilder::TodayListBuilder(const Clock& clock, const QString& copyFolder,
                                   const QString& todoPrefix, const QLocale& locale)
    : m_locale(locale), m_copies(copyFolder), m_appointmentScan(clock, m_locale, m_copies),
      m_toDoScan(clock, m_locale, m_copies, todoPrefix)
{}

int TodayListBuilder::BuildTodayList(const Settings& settings, QStringList& todayList, bool force)
{
    const int appointments =
        m_appointmentScan.ScanAppointments(settings, m_appointmentLines, force, m_alarms);
    if (appointments < 0)
        return -1;
    int toDos = 0;
    if (settings.showtodos) {
        toDos = m_toDoScan.ScanToDos(settings, m_toDoLines, force);
        if (toDos < 0)
            return -1;
    }
    const int total = appointments + toDos;
    if (total <= 0)
        return total;

    todayList = m_appointmentLines;
    if (settings.showtodos)
        todayList += m_toDoLines;
    SortTodayList(todayList);
    return total;
}

void TodayListBuilder::SortTodayList(QStringList& todayList)
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
    SortAlarmList(m_alarms);
}
