#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# `palmdat today` of the Windows build under Wine and of the Linux build give the same bytes
# for the same folder, time zone and moment. Exits with 77 (skipped) without the Linux one.
#   wine_palmdat_today.sh LINUX_PALMDAT WINDOWS_PALMDAT_COMMAND...
set -uo pipefail
linux=$1
shift
if [ ! -x "$linux" ]; then
    echo "no Linux palmdat at $linux: skipped"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-today.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LANG=C.UTF-8
unset LC_ALL
"$linux" demo "$work/palm" >/dev/null || exit 1
folder="Z:${work//\//\\}\\palm"
failures=0
for zone in Europe/Berlin America/New_York Asia/Kolkata; do
    for now in "$(date +%Y-%m-%d)T07:30:00" "$(date +%Y-%m-%d)T23:59:00"; do
        for user in 1 2; do
            id=$("$linux" users "$work/palm" | grep -o '"id": *[0-9-]*' | sed -n "${user}s/.*: *//p")
            arguments=(today --user-id "$id" --now "$now" --set showtodosnodate=1)
            TZ=$zone "$linux" "${arguments[0]}" "$work/palm" "${arguments[@]:1}" >"$work/linux.txt"
            TZ=$zone "$@" "${arguments[0]}" "$folder" "${arguments[@]:1}" >"$work/windows.txt"
            if cmp -s "$work/linux.txt" "$work/windows.txt" && [ -s "$work/linux.txt" ]; then
                echo "PASS   : $zone $now user $id"
            else
                echo "FAIL!  : $zone $now user $id"
                diff "$work/linux.txt" "$work/windows.txt"
                failures=$((failures + 1))
            fi
        done
    done
done
[ "$failures" -eq 0 ]
