// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

// One fuzz input for a reader: it must fail with a message or succeed, and what it reads must
// survive writing and reading again unchanged.
template <typename Read, typename Write>
int fuzzRoundTrip(const std::uint8_t* data, std::size_t size, Read read, Write write)
{
    const auto result = read(std::span<const std::uint8_t>(data, size), "fuzz.dat");
    if (!result.ok()) {
        if (result.error().empty())
            std::abort();
        return 0;
    }
    // Text the file format cannot hold becomes '?' on the first write; after it all is stable.
    const auto written = write(result.value());
    const auto again = read(written, "fuzz.dat");
    if (!again.ok() || write(again.value()) != written)
        std::abort();
    return 0;
}
