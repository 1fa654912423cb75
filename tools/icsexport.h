// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "palmfile/records.h"
#include "palmfile/result.h"

#include <optional>
#include <string>

namespace palmdat {

// One Palm user's datebook and to-do list; either may be missing.
struct CalendarData
{
    std::string name; // shown as the calendar's name
    std::optional<palmfile::Datebook> datebook;
    std::optional<palmfile::TodoList> todoList;
    palmfile::TimeValue stamp = 0; // when the data last changed: every item's DTSTAMP
};

// The data as iCalendar (RFC 5545) text. Palm times are local wall-clock times of the machine's
// zone, written with that zone, `zoneId` (an IANA name such as "Europe/Berlin"), and its
// VTIMEZONE. Fails when the zone database does not know `zoneId`.
palmfile::Result<std::string> iCalendarText(const CalendarData& data, const std::string& zoneId);

} // namespace palmdat
