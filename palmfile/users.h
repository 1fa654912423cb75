#pragma once

#include "result.h"

#include <cstdint>
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

// users.dat as Palm Desktop lays it out, every user active and without conduit settings.
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
