#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building, running and testing Chimewell need, when any
# of them is missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev clang-format
          qt6-base-dev qt6-multimedia-dev qt6-l10n-tools qt6-translations-l10n libqt6svg6
          fonts-dejavu-core libical-dev
          xvfb trayer xdotool imagemagick x11-utils dpkg-dev file
          g++-mingw-w64-x86-64-posix qt6-base-dev-tools wine64 nsis zip xz-utils)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
