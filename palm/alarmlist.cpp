// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmlist.h"

#include <utility>

namespace {

bool isTrailingSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

int digitValue(QChar c)
{
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}

} // namespace

int parseReminderSuffix(const QString& description)
{
    qsizetype end = description.size();
    while (end > 0 && isTrailingSpace(description.at(end - 1)))
        --end;
    if (end < 6)
        return -1;
    const QStringView text = QStringView(description).first(end);
    const QLatin1String code("REM ");
    const int last = digitValue(text.at(end - 1));
    const int beforeLast = digitValue(text.at(end - 2));
    if (text.sliced(end - 6).startsWith(code) && last >= 0 && beforeLast >= 0)
        return 10 * beforeLast + last;
    if (text.sliced(end - 5).startsWith(code) && last >= 0)
        return last;
    return -1;
}

void mergeAlarmEntry(AlarmList& alarms, AlarmEntry candidate)
{
    for (AlarmEntry& entry : alarms) {
        if (entry.startTime == candidate.startTime && entry.description == candidate.description &&
            entry.note == candidate.note) {
            entry.seen = 1;
            return;
        }
    }
    candidate.seen = 1;
    candidate.snoozed = 0;
    candidate.acknowledged = 0;
    alarms.push_back(std::move(candidate));
}

void sortAlarmList(AlarmList& alarms)
{
    for (std::size_t i = 1; i < alarms.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (alarms[i].startTime < alarms[j].startTime)
                std::swap(alarms[i], alarms[j]);
        }
    }
}
