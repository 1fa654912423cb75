// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/users.h"

#include <cstdlib>

// Any bytes: the scan ends, and the users it finds survive writing and scanning again.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Half the folders exist, so that rejected entries are searched past too.
    const auto everyOtherFolder = [](const std::string& folder) {
        return folder.size() % 2 ? std::optional{folder} : std::nullopt;
    };
    const auto anyFolder = [](const std::string& folder) { return std::optional{folder}; };
    const auto users = palmfile::scanUsersDat({data, size}, everyOtherFolder);
    if (users.empty())
        return 0;
    // Text the file cannot hold becomes '?' on the first write; after it all is stable.
    const auto written = palmfile::writeUsersDat(users);
    const auto again = palmfile::scanUsersDat(written, anyFolder);
    if (again.size() != users.size() || palmfile::writeUsersDat(again) != written)
        std::abort();
    return 0;
}
