// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace palmfile {

// Palm Desktop stores texts as Windows-1252 bytes; the program works with UTF-8.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the
// control characters U+0081 etc., so every byte survives a round trip.
std::string cp1252ToUtf8(std::string_view bytes);
// Characters that Windows-1252 cannot hold, and malformed UTF-8, are written as '?'.
std::string utf8ToCp1252(std::string_view text);
// Little-endian UTF-16 code units to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf16leToUtf8(std::span<const std::uint8_t> bytes);

} // namespace palmfile
