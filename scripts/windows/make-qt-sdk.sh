#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Qt SDK that the Windows build uses: Qt's base module (Core, Gui, Widgets, Network,
# Test; shared DLLs, Release, stripped) cross-built for x86_64-w64-mingw32 from Debian's own
# qt6-base 6.4.2 source package with Debian's MinGW-w64 (posix threads). About an hour on
# two cores. Needs Debian 12 and root (apt-get); fetches the source package with apt.
#   make-qt-sdk.sh [OUTPUT]   default build-windows/qt6-mingw-6.4.2.tar.xz
# Then: CHIMEWELL_QT_MINGW=OUTPUT bash scripts/windows/build.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
output=$(realpath -m "${1:-$here/../../build-windows/qt6-mingw-6.4.2.tar.xz}")
version=6.4.2+dfsg-10

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends dpkg-dev cmake ninja-build xz-utils \
    g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools
work=$(mktemp -d "${TMPDIR:-/tmp}/qt6-mingw.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# The source package, with Debian's patches applied; source lists added when apt has none.
if ! apt-get source -qq --download-only "qt6-base=$version" 2>/dev/null; then
    cat >/etc/apt/sources.list.d/chimewell-qt-source.sources <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    apt-get update -qq
    apt-get source -qq --download-only "qt6-base=$version"
fi
dpkg-source -x qt6-base_*.dsc source >/dev/null
patch -d source -p1 <"$here/qt-sdk/qwindows-directwrite3-needs-direct2d.patch"

sdk=$work/qt6-mingw
mkdir -p "$sdk/qtw-build" build
cp "$here/qt-sdk/mingw-w64-x86_64.cmake" "$sdk/qtw-build/"
cd build
nice -n 19 cmake -G Ninja ../source \
    -DCMAKE_TOOLCHAIN_FILE="$sdk/qtw-build/mingw-w64-x86_64.cmake" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=ON \
    -DCMAKE_INSTALL_PREFIX="$sdk" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_network=ON -DFEATURE_testlib=ON \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
    -DINPUT_opengl=no -DFEATURE_vulkan=OFF \
    -DFEATURE_openssl=OFF -DFEATURE_brotli=OFF -DFEATURE_zstd=OFF \
    -DFEATURE_direct2d=OFF -DFEATURE_tabletevent=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_png=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
    -DFEATURE_icu=OFF >/dev/null
nice -n 19 cmake --build . -j "$(nproc)"
cmake --install . --strip >/dev/null

mkdir -p "$(dirname "$output")"
tar -cJf "$output" -C "$work" qt6-mingw
echo "Qt SDK for MinGW: $output"
