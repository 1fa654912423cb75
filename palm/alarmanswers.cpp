// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmanswers.h"

#include <QCryptographicHash>

QString alarmKey(const AlarmEntry& entry)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QByteArray description = entry.description.toUtf8();
    const QByteArray note = entry.note.toUtf8();
    // Lengths first, so that no two different triples give the same bytes.
    hash.addData(QByteArray::number(entry.startTime) + ' ' +
                 QByteArray::number(description.size()) + ' ' + QByteArray::number(note.size()) +
                 ' ');
    hash.addData(description);
    hash.addData(note);
    return QString::fromLatin1(hash.result().toHex());
}

void recordAnswer(AlarmAnswers& answers, const AlarmEntry& entry)
{
    if (!entry.acknowledged && !entry.snoozed)
        return;
    answers.insert(alarmKey(entry), {entry.startTime, entry.acknowledged != 0,
                                     entry.acknowledged ? 0 : entry.snoozedAt});
}

void applyAnswer(AlarmEntry& entry, const AlarmAnswers& answers)
{
    if (entry.acknowledged || entry.snoozed)
        return;
    const auto found = answers.constFind(alarmKey(entry));
    if (found == answers.cend())
        return;
    if (found->acknowledged) {
        entry.acknowledged = 1;
    } else {
        entry.snoozed = 1;
        entry.snoozedAt = found->snoozedAt;
    }
}

void applyAnswers(AlarmList& alarms, const AlarmAnswers& answers)
{
    if (answers.isEmpty())
        return;
    for (AlarmEntry& entry : alarms)
        applyAnswer(entry, answers);
}

void pruneAnswers(AlarmAnswers& answers, palmfile::TimeValue dayStart)
{
    answers.removeIf([dayStart](const auto& item) { return item.value().start < dayStart; });
}
