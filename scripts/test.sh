#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Chimewell and runs every test: the plain build, the same suite under ASan+UBSan, the
# threaded tests under TSan, a short run of every fuzzer, and the Windows build with its
# tests under Wine (skipped, saying so, without the Qt SDK for MinGW). Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export CTEST_OUTPUT_ON_FAILURE=1
jobs=$(nproc)
supp="$PWD/scripts/sanitizers"

echo "== plain build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs"

echo "== ASan + UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan -j "$jobs" -LE e2e

echo "== TSan"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan -j "$jobs" --target tsan-tests
TSAN_OPTIONS="ignore_noninstrumented_modules=1:halt_on_error=1:suppressions=$supp/tsan.supp" \
    ctest --test-dir build-tsan -j "$jobs" -L tsan

echo "== fuzzers (short run)"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCHIMEWELL_PALMFILE_ONLY=ON -DCHIMEWELL_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$jobs"
ctest --test-dir build-fuzz -j "$jobs" -L fuzz

echo "== Windows (MinGW cross-build, tests under Wine)"
bash scripts/windows/test.sh
