// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarmlist.h"

#include <algorithm>
#include <bit>
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

// Counts per slot and their running sums, each in O(log n) (a Fenwick tree).
class SlotCounts
{
public:
    explicit SlotCounts(std::size_t size) : m_tree(size + 1, 0) {}

    void add(std::size_t slot, int amount)
    {
        for (++slot; slot < m_tree.size(); slot += lowestBit(slot))
            m_tree[slot] += amount;
    }

    // The sum of the counts of the slots before `slot`.
    int before(std::size_t slot) const
    {
        int sum = 0;
        for (; slot > 0; slot -= lowestBit(slot))
            sum += m_tree[slot];
        return sum;
    }

    // With counts of 0 or 1: the slot of the `rank`-th 1, counted from 0.
    std::size_t findRank(int rank) const
    {
        std::size_t slot = 0;
        for (std::size_t step = std::bit_floor(m_tree.size()); step > 0; step /= 2) {
            if (slot + step < m_tree.size() && m_tree[slot + step] <= rank) {
                slot += step;
                rank -= m_tree[slot];
            }
        }
        return slot;
    }

private:
    static std::size_t lowestBit(std::size_t i) { return i & (~i + 1); }

    std::vector<int> m_tree;
};

// The entries of one start while the exchange procedure runs. It keeps the earlier part of the
// list sorted, and the entry it takes next moves behind those that start no later than it and
// turns every later-starting group of equal starts by one: the group's first entry becomes its
// last. An entry of a group's start joins at its end. The group is kept as a ring with a head
// (its first entry): joining inserts before the head, turning moves the head on.
struct StartGroup
{
    std::vector<std::size_t> entries;       // positions in the list, in list order
    std::vector<std::size_t> ringPositions; // where in the ring each entry was inserted
    std::size_t head = 0;
    int earlierSeen = 0; // entries with earlier starts taken when the group last changed

    void turn(int earlierNow)
    {
        if (!entries.empty())
            head = (head + std::size_t(earlierNow - earlierSeen)) % entries.size();
        earlierSeen = earlierNow;
    }

    void join(std::size_t entry)
    {
        entries.push_back(entry);
        ringPositions.push_back(head);
        ++head;
    }

    // The entries from the head round the ring: each insertion, last first, takes the free
    // place its position names.
    void appendOrder(std::vector<std::size_t>& order) const
    {
        const std::size_t size = entries.size();
        SlotCounts free(size);
        for (std::size_t slot = 0; slot < size; ++slot)
            free.add(slot, 1);
        std::vector<std::size_t> ring(size);
        for (std::size_t i = size; i-- > 0;) {
            const std::size_t slot = free.findRank(int(ringPositions[i]));
            ring[slot] = entries[i];
            free.add(slot, -1);
        }
        for (std::size_t i = 0; i < size; ++i)
            order.push_back(ring[(head + i) % size]);
    }
};

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

AlarmIndex::AlarmIndex(const AlarmList& alarms)
{
    m_positions.reserve(qsizetype(alarms.size()));
    for (std::size_t i = 0; i < alarms.size(); ++i)
        add(alarms[i], qsizetype(i));
}

qsizetype AlarmIndex::find(const AlarmEntry& entry) const
{
    return m_positions.value(Key{entry.startTime, entry.description, entry.note}, -1);
}

void AlarmIndex::add(const AlarmEntry& entry, qsizetype position)
{
    Key key{entry.startTime, entry.description, entry.note};
    if (!m_positions.contains(key))
        m_positions.insert(std::move(key), position);
}

void mergeAlarmEntry(AlarmList& alarms, AlarmEntry candidate, AlarmIndex& index)
{
    if (const qsizetype found = index.find(candidate); found >= 0) {
        // The private flag may change during the day; the answers stay.
        alarms[std::size_t(found)].isPrivate = candidate.isPrivate;
        alarms[std::size_t(found)].seen = 1;
        return;
    }
    candidate.seen = 1;
    candidate.snoozed = 0;
    candidate.acknowledged = 0;
    index.add(candidate, qsizetype(alarms.size()));
    alarms.push_back(std::move(candidate));
}

void sortAlarmList(AlarmList& alarms)
{
    std::vector<palmfile::TimeValue> starts;
    starts.reserve(alarms.size());
    for (const AlarmEntry& entry : alarms)
        starts.push_back(entry.startTime);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

    // The procedure replayed group by group: what turns a group is the number of earlier-
    // starting entries taken since it last changed.
    std::vector<StartGroup> groups(starts.size());
    SlotCounts taken(starts.size());
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        const auto group = std::size_t(
            std::lower_bound(starts.begin(), starts.end(), alarms[i].startTime) - starts.begin());
        groups[group].turn(taken.before(group));
        groups[group].join(i);
        taken.add(group, 1);
    }
    std::vector<std::size_t> order;
    order.reserve(alarms.size());
    for (std::size_t group = 0; group < groups.size(); ++group) {
        groups[group].turn(taken.before(group));
        groups[group].appendOrder(order);
    }

    AlarmList sorted;
    sorted.reserve(alarms.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(alarms[i]));
    alarms = std::move(sorted);
}
