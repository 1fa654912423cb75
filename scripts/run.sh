#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Chimewell and starts it. When no Palm Desktop folder is configured or can be found,
# it first makes a fresh demo folder and points Chimewell at it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
# Only what runs here: the tests and benchmarks are scripts/test.sh's business.
cmake --build build -j "$(nproc)" --target chimewell palmdat
if ! build/tools/palmdat locate >/dev/null 2>&1; then
    demo=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-demo.XXXXXX")
    build/tools/palmdat demo "$demo"
    export CHIMEWELL_PALM_DESKTOP="$demo"
    echo "No Palm Desktop found: using the demo folder $demo"
fi
exec build/program/chimewell
