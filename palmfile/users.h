// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "result.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace palmfile {

struct PalmUser
{
    std::int32_t id = 0;
    std::string name;
    std::string folder; // the user's sub-folder of the Palm Desktop folder

    friend bool operator==(const PalmUser&, const PalmUser&) = default;
};

// The users of a Palm Desktop folder, in the order of its users.dat. When users.dat is missing
// or names no existing user folder, the sub-folders that hold datebook/datebook.dat are the
// users (named after the folder, ids from the folder name, sorted by name). Fails only when
// neither gives a user; the message says why.
Result<std::vector<PalmUser>> readUsers(const std::string& desktopFolder);

// The name of a user's folder as it exists below the Palm Desktop folder (its spelling may
// differ in case), or none when there is no such folder.
using ExistingFolder = std::function<std::optional<std::string>(const std::string& folder)>;
// The users found in the bytes of users.dat, in file order, at most as many as it says it
// holds. Entries of profiles (ids below 256) and entries whose folder does not exist are skipped.
std::vector<PalmUser> scanUsersDat(std::span<const std::uint8_t> bytes,
                                   const ExistingFolder& existingFolder);

// users.dat as Palm Desktop lays it out, every user active and without conduit settings. Names
// and folders are read back up to 254 bytes (in Windows-1252).
std::vector<std::uint8_t> writeUsersDat(const std::vector<PalmUser>& users);

enum class DataFile
{
    Datebook,
    Todo,
};

// The path of a user's datebook/datebook.dat or todo/todo.dat, with every part matched
// regardless of case; the lower-case path when there is no such file.
std::string dataFilePath(const std::string& desktopFolder, const std::string& userFolder,
                         DataFile file);

} // namespace palmfile
