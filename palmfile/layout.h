// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The constants of the classic datebook and to-do layout that the reader and the writer share.

#include "records.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace palmfile::layout {

// The version tag of each file family: bytes 00 01 'B' 'D' etc. read as a little-endian long.
constexpr std::uint32_t kDatebookTag = 0x44420100;
constexpr std::uint32_t kTodoTag = 0x54440100;
constexpr std::uint32_t kAddressTag = 0x41420100;
constexpr std::uint32_t kMemoTag = 0x4D500100;

enum FieldType : std::uint16_t
{
    TypeInteger = 1,
    TypeFloat = 2,
    TypeDate = 3,
    TypeString = 5,
    TypeBoolean = 6,
    TypeBitflag = 7,
    TypeRepeat = 8,
    // Longs of unknown purpose written by Palm Desktop 4.1.4.
    TypeExtraFirst = 64,
    TypeExtraLast = 66,
};

constexpr std::array<std::uint16_t, 15> kDatebookSchema = {1, 1, 1, 3, 1, 5, 1, 5,
                                                           6, 6, 1, 6, 1, 1, 8};
constexpr std::array<std::uint16_t, 10> kTodoSchema = {1, 1, 1, 5, 3, 6, 1, 6, 1, 5};

constexpr std::int32_t kDatebookResourceId = 54;

// The class the desktop writes for each repeat kind.
constexpr std::string_view repeatClassName(RepeatKind kind)
{
    switch (kind) {
    case RepeatKind::Daily:
        return "CDayName";
    case RepeatKind::Weekly:
        return "CWeekly";
    case RepeatKind::MonthlyByDay:
        return "CDayOfMonth";
    case RepeatKind::MonthlyByDate:
        return "CDateOfMonth";
    case RepeatKind::Yearly:
        return "CDateOfYear";
    }
    return "CRepeat";
}

} // namespace palmfile::layout
