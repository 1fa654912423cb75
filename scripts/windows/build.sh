#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Chimewell for 64-bit Windows with MinGW-w64 against a Qt SDK for MinGW, and
# gathers what a Windows user gets: the runnable folder Chimewell/ (programs, Qt and MinGW
# DLLs, platform plugin, help pages), the installer and a zip of the folder. The tests are
# built too (scripts/windows/test.sh runs them under Wine).
#   CHIMEWELL_QT_MINGW  the SDK archive (default: ../shared/qt6-mingw/qt6-mingw-6.4.2.tar.xz
#                       beside the repository; scripts/windows/make-qt-sdk.sh makes one)
# Exits with 3, having said why, when there is no SDK.
set -euo pipefail
cd "$(dirname "$0")/../.."
repo=$PWD
sdk=${CHIMEWELL_QT_MINGW:-$repo/../shared/qt6-mingw/qt6-mingw-6.4.2.tar.xz}
if [ ! -f "$sdk" ]; then
    echo "No Qt SDK for MinGW at $sdk: the Windows build is skipped."
    echo "Set CHIMEWELL_QT_MINGW to one, or make one with scripts/windows/make-qt-sdk.sh."
    exit 3
fi
sdk=$(realpath "$sdk")
top=$repo/build-windows
mkdir -p "$top"

# The SDK is relocatable: unpacked into the build folder, again when the archive changes.
if [ ! -f "$top/qt6-mingw/.unpacked" ] || [ "$(cat "$top/qt6-mingw/.unpacked")" != "$sdk $(stat -c %Y "$sdk")" ]; then
    rm -rf "$top/qt6-mingw"
    tar -xJf "$sdk" -C "$top"
    echo "$sdk $(stat -c %Y "$sdk")" >"$top/qt6-mingw/.unpacked"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$top/qt6-mingw/lib/cmake/Qt6/qt.toolchain.cmake" >/dev/null
cmake --build "$top/build" -j "$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$top/build/CMakeCache.txt")
dist=$top/dist
folder=$dist/Chimewell
rm -rf "$dist"
cmake --install "$top/build" --prefix "$folder" --strip >/dev/null
# The runtime DLLs come with their debugging symbols.
x86_64-w64-mingw32-strip --strip-unneeded "$folder"/bin/lib*.dll

setup=$dist/chimewell-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSOURCE="$folder" -DOUTFILE="$setup" \
    scripts/windows/chimewell.nsi
(cd "$dist" && zip -qr "chimewell-$version-windows-x64.zip" Chimewell)

echo "Windows build in $dist:"
(cd "$dist" && ls -d Chimewell && ls -l --block-size=K ./*.exe ./*.zip | awk '{print $5, $9}')
