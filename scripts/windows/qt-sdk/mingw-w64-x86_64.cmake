# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# CMake toolchain file: cross-compile for 64-bit Windows with Debian's MinGW-w64 (posix threads)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER   /usr/bin/${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_AR           /usr/bin/${TOOLCHAIN_PREFIX}-gcc-ar-posix CACHE FILEPATH "ar")
set(CMAKE_RANLIB       /usr/bin/${TOOLCHAIN_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "ranlib")
set(CMAKE_STRIP        /usr/bin/${TOOLCHAIN_PREFIX}-strip CACHE FILEPATH "strip")

# Target root. APPEND so that -DCMAKE_FIND_ROOT_PATH=<qt sdk> on the command line is kept
# (or use <sdk>/lib/cmake/Qt6/qt.toolchain.cmake, which chain-loads this file and adds the SDK).
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
# Programs (moc, rcc, ...) come from the host; libraries/headers/packages from the target roots.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
