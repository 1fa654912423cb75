// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "localdate.h"
#include "records.h"

#include <optional>
#include <vector>

namespace palmfile {

// The first date on or after `from` on which `record` occurs, exceptions included (ask
// isException), or none. A record that does not repeat occurs on its start date only.
std::optional<LocalDate> nextOccurrence(const DatebookRecord& record, LocalDate from);
// True when the occurrence on `date` is cancelled by one of the record's exception dates.
bool isException(const DatebookRecord& record, LocalDate date);
// The dates the record's exception values cancel, in the order stored (repeats kept).
std::vector<LocalDate> cancelledDates(const DatebookRecord& record);
// The dates from `from` to `to` (both included) on which `record` occurs and is not cancelled.
std::vector<LocalDate> occurrencesBetween(const DatebookRecord& record, LocalDate from,
                                          LocalDate to);
// The alarm lead in minutes (amount x unit) when the alarm is set and valid, else -1.
std::int32_t alarmAdvanceMinutes(const DatebookRecord& record);

} // namespace palmfile
