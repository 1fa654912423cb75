// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "palmfile/users.h"

#include "palmfile/archive.h"
#include "palmfile/codepage.h"
#include "palmfile/paths.h"
#include "palmfile/reader.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <unordered_set>

namespace palmfile {

namespace fs = std::filesystem;

namespace {

// Ids below 256 belong to user profiles (templates for new users), not to users.
constexpr std::uint32_t firstUserId = 256;
constexpr std::uint16_t newClassTag = 0xFFFF;
// A few kilobytes in real life; a huge one is not a users file and would only be searched
// for a long time.
constexpr std::size_t maxUsersDatSize = 1 << 20;
constexpr std::uint16_t firstClassTag = 0x8001; // the user class is the file's first class
// The user class is "CUser". Bounding the name keeps the work at each offset small, so that
// searching a file of junk takes time in proportion to its size.
constexpr std::uint16_t maxClassNameLength = 64;

bool isPrintable(std::string_view text)
{
    return !text.empty() && std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

// A folder name must stay inside the Palm Desktop folder.
bool isFolderName(std::string_view name)
{
    return isPrintable(name) && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string_view::npos;
}

// A string with a one-byte length, as users.dat holds names; a longer one fails the read.
// Keeping candidates short keeps the search through a large file linear.
std::string shortText(ArchiveReader& in)
{
    const std::uint8_t length = in.u8();
    if (length == 0xFF)
        in.fail("string too long for a user entry");
    const auto bytes = in.bytes(length);
    return cp1252ToUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

struct UserEntry
{
    PalmUser user;
    std::size_t end = 0;
};

// A user entry at `offset`: the user class's tag (its definition or a reference to it), a user
// id of at least 256, a printable name and a folder name.
std::optional<UserEntry> userEntryAt(ArchiveReader& in, std::size_t offset)
{
    in.seek(offset);
    const std::uint16_t tag = in.u16();
    if (tag == newClassTag) {
        in.u16(); // schema
        const std::uint16_t length = in.u16();
        if (length > maxClassNameLength)
            return std::nullopt;
        const auto name = in.bytes(length);
        const std::string_view className(reinterpret_cast<const char*>(name.data()), name.size());
        if (!in.ok() || !isPrintable(className))
            return std::nullopt;
    } else if (tag != firstClassTag) {
        return std::nullopt;
    }
    const std::uint32_t id = in.u32();
    if (!in.ok() || id < firstUserId)
        return std::nullopt;
    UserEntry entry;
    entry.user.id = static_cast<std::int32_t>(id);
    entry.user.name = shortText(in);
    entry.user.folder = shortText(in);
    if (!in.ok() || !isPrintable(entry.user.name) || !isFolderName(entry.user.folder))
        return std::nullopt;
    entry.end = in.offset();
    return entry;
}

bool hasUserId(const std::vector<PalmUser>& users, std::int32_t id)
{
    return std::any_of(users.begin(), users.end(), [id](const PalmUser& u) { return u.id == id; });
}

// Stable across runs and machines, and never a profile id.
std::int32_t idForFolder(std::string_view folder)
{
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (unsigned char c : folder)
        hash = (hash ^ c) * 16777619u;
    return static_cast<std::int32_t>(firstUserId + hash % (0x7FFFFFFFu - firstUserId));
}

std::vector<PalmUser> usersFromFolders(const fs::path& root)
{
    std::vector<fs::path> folders;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::error_code fileError;
        if (fs::is_regular_file(resolveIgnoringCase(it->path(), {"datebook", "datebook.dat"}),
                                fileError))
            folders.push_back(it->path().filename());
    }
    std::sort(folders.begin(), folders.end());

    std::vector<PalmUser> users;
    for (const fs::path& folder : folders) {
        PalmUser user{idForFolder(folder.string()), folder.string(), folder.string()};
        while (hasUserId(users, user.id))
            user.id = user.id == 0x7FFFFFFF ? std::int32_t{firstUserId} : user.id + 1;
        users.push_back(std::move(user));
    }
    return users;
}

} // namespace

// Only part of users.dat has a known layout (conduit settings follow each user), so the file is
// searched for user entries instead of walked.
std::vector<PalmUser> scanUsersDat(std::span<const std::uint8_t> bytes,
                                   const ExistingFolder& existingFolder)
{
    std::vector<PalmUser> users;
    std::unordered_set<std::int32_t> ids;
    ArchiveReader in(bytes);
    const std::uint32_t userCount = in.count();
    for (std::size_t offset = in.offset(); offset < bytes.size() && users.size() < userCount;) {
        std::optional<UserEntry> entry = userEntryAt(in, offset);
        std::optional<std::string> folder;
        if (entry && !ids.contains(entry->user.id))
            folder = existingFolder(entry->user.folder);
        if (!folder) {
            ++offset;
            continue;
        }
        entry->user.folder = std::move(*folder);
        ids.insert(entry->user.id);
        users.push_back(std::move(entry->user));
        offset = entry->end;
    }
    return users;
}

namespace {

std::string asciiLowerCase(std::string text)
{
    for (char& c : text)
        c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    return text;
}

// The sub-folders of `root`, listed once and then matched as findIgnoringCase does: a hostile
// users.dat may name a folder at every other byte.
ExistingFolder subFolderOf(const fs::path& root)
{
    std::set<std::string> names;
    std::map<std::string, std::string> byLowerCase;
    std::error_code error;
    for (fs::directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
        std::error_code folderError;
        if (!it->is_directory(folderError))
            continue;
        std::string name = it->path().filename().string();
        byLowerCase.emplace(asciiLowerCase(name), name);
        names.insert(std::move(name));
    }
    return [names = std::move(names), byLowerCase = std::move(byLowerCase)](
               const std::string& name) -> std::optional<std::string> {
        if (names.contains(name))
            return name;
        const auto found = byLowerCase.find(asciiLowerCase(name));
        return found == byLowerCase.end() ? std::nullopt : std::optional{found->second};
    };
}

std::vector<PalmUser> usersFromUsersDat(const fs::path& root, std::string& problem)
{
    const auto path = findIgnoringCase(root, "users.dat");
    if (!path) {
        problem = "there is no users.dat";
        return {};
    }
    const auto bytes = readFileBytes(path->string(), maxUsersDatSize);
    if (!bytes) {
        problem = bytes.error();
        return {};
    }
    auto users = scanUsersDat(bytes.value(), subFolderOf(root));
    if (users.empty())
        problem = "users.dat names no user whose folder exists";
    return users;
}

} // namespace

Result<std::vector<PalmUser>> readUsers(const std::string& desktopFolder)
{
    const fs::path root(desktopFolder);
    std::error_code error;
    if (!fs::is_directory(root, error))
        return Result<std::vector<PalmUser>>::failure(desktopFolder + ": no such folder");

    std::string problem;
    std::vector<PalmUser> users = usersFromUsersDat(root, problem);
    if (users.empty())
        users = usersFromFolders(root);
    if (!users.empty())
        return users;
    return Result<std::vector<PalmUser>>::failure(
        desktopFolder + ": no Palm user found: " + problem +
        ", and no sub-folder holds datebook/datebook.dat");
}

std::vector<std::uint8_t> writeUsersDat(const std::vector<PalmUser>& users)
{
    ArchiveWriter out;
    out.count(static_cast<std::uint32_t>(users.size()));
    for (const PalmUser& user : users) {
        out.newObjectTag("CUser");
        out.i32(user.id);
        out.text(user.name);
        out.text(user.folder);
        out.u16(1);   // active
        out.count(0); // permanent conduits
        out.count(0); // temporary conduits
    }
    return out.take();
}

std::string dataFilePath(const std::string& desktopFolder, const std::string& userFolder,
                         DataFile file)
{
    // The user's folder text may come with its leading separator; it must not make the path
    // absolute.
    const std::string_view folder =
        std::string_view(userFolder)
            .substr(std::min(userFolder.find_first_not_of("/\\"), userFolder.size()));
    if (file == DataFile::Datebook)
        return resolveIgnoringCase(desktopFolder, {folder, "datebook", "datebook.dat"})
            .generic_string();
    return resolveIgnoringCase(desktopFolder, {folder, "todo", "todo.dat"}).generic_string();
}

} // namespace palmfile
