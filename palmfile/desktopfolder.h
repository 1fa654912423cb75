// SPDX-FileCopyrightText: 2026 Chimewell developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

namespace palmfile {

// What the search for the Palm Desktop folder looks at; tests set these.
struct DesktopFolderInputs
{
    std::string override;     // $CHIMEWELL_PALM_DESKTOP
    std::string profileValue; // "palmdesktop" in the profile's section "Options"
    std::string registryPath; // Windows: Palm Desktop's own registry entry (Core/Path)
#ifndef _WIN32
    std::string winePrefix; // $WINEPREFIX
    std::string home;       // $HOME, for ~/.wine
#endif
};

// The inputs from the real environment and, on Windows, the registry. The profile value is the
// caller's to read.
DesktopFolderInputs desktopFolderInputs(std::string profileValue);

// The Palm Desktop folder (the one holding users.dat and a folder per user): the first of
// these that names an existing folder: the override, the profile value, the registry path;
// elsewhere than on Windows then Palm Desktop's registry entry inside the Wine prefix
// ($WINEPREFIX, else ~/.wine), and the usual install folders on the prefix's drive C.
std::optional<std::string> findDesktopFolder(const DesktopFolderInputs& inputs);

} // namespace palmfile
