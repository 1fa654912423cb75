#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a program of the Windows build under Wine; the tests' emulator.
#   wine-run.sh [--dlls=DIR:DIR...] PROGRAM [ARGUMENTS...]
# The DLL folders (Linux paths) go on the program's PATH. Needs the prefix and the display
# that scripts/windows/test.sh prepares: WINEPREFIX and DISPLAY.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "wine-run.sh: WINEPREFIX and DISPLAY must be set (scripts/windows/test.sh does)" >&2
    exit 2
fi
if [[ ${1:-} == --dlls=* ]]; then
    IFS=: read -ra dirs <<<"${1#--dlls=}"
    shift
    path=
    for dir in "${dirs[@]}"; do path+="Z:${dir//\//\\};"; done
    export WINEPATH="$path${WINEPATH:-}"
fi
# Wine keeps QT_* variables from Windows programs but hands WINEQT_* over as QT_*. Logging to
# stderr also makes Qt Test print its results instead of sending them to the debugger.
for name in $(compgen -e); do
    [[ $name == QT_* ]] && export "WINE$name=${!name}"
done
export WINEQT_FORCE_STDERR_LOGGING=1
export WINEDEBUG=${WINEDEBUG:--all}
exec /usr/lib/wine/wine64 "$@"
