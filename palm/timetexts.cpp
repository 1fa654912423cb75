// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "timetexts.h"

#include "palmfile/localdate.h"

#include <QDate>
#include <QTime>

namespace {

// The locale's short time format without seconds (and milliseconds or zone, which some
// locales carry): every such field goes together with the separator in front of it. Quoted
// literals are kept as they are.
QString withoutSeconds(const QString& format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
            continue;
        }
        if (quoted || (c != QLatin1Char('s') && c != QLatin1Char('z') && c != QLatin1Char('t'))) {
            result += c;
            continue;
        }
        while (!result.isEmpty() && !result.back().isLetter() && result.back() != QLatin1Char('\''))
            result.chop(1);
        while (i + 1 < format.size() && format.at(i + 1) == c)
            ++i;
    }
    return result;
}

} // namespace

QString formatTimeText(std::int64_t t, const QLocale& locale)
{
    const palmfile::TimeOfDay local = palmfile::localTimeOfDay(t);
    const QTime time(local.hour, local.minute);
    QString text = locale.toString(time, withoutSeconds(locale.timeFormat(QLocale::ShortFormat)));
    // A one-digit hour gets its leading zero so that the lines sort by time.
    if (text.size() > 2 && text.at(0).isDigit() && !text.at(1).isDigit())
        text.prepend(QLatin1Char('0'));
    return text;
}

QString formatDateText(std::int64_t t, const QLocale& locale)
{
    const palmfile::LocalDate local = palmfile::localDateOf(t);
    const QDate date(int(local.year()), unsigned(local.month()), unsigned(local.day()));
    return locale.toString(date, QLocale::ShortFormat);
}

void flattenLineBreaks(QString& text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
}
