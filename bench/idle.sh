#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# How quiet and small the running program is at idle, on a virtual X display with a
# notification area and the demo Palm Desktop folder: wake-ups per second (the voluntary
# context switches of all its threads) over SECONDS with the window hidden and again with it
# shown, and its resident memory after the hidden minute. The demo's first alarm is due at
# once: it is answered with OK first (the sound is off by default), and the next one is not due
# before the run ends. Prints figures; asserts nothing.
#   idle.sh CHIMEWELL PALMDAT [SECONDS]
set -uo pipefail
chimewell=$1
palmdat=$2
seconds=${3:-60}

source "$(dirname "$0")/../scripts/desktop-session.sh" idle

"$palmdat" demo "$work/palm" >/dev/null || { echo "palmdat demo failed"; exit 1; }
export CHIMEWELL_PALM_DESKTOP=$work/palm

"$chimewell" >/dev/null 2>&1 &
program=$!
pids+=("$program")

caption='^Chimewell [0-9]{2}:[0-9]{2}$'
shown() { xdotool search --onlyvisible --name "$caption" >/dev/null 2>&1; }
wait_until() { # wait_until COMMAND...: up to 15 s
    for _ in $(seq 150); do "$@" && return 0; sleep 0.1; done
    return 1
}
switches() { # voluntary context switches of each thread of the program: "tid count" lines
    for task in /proc/"$program"/task/*; do
        awk -v tid="${task##*/}" '/^voluntary_ctxt_switches/ {print tid, $2}' "$task/status" 2>/dev/null
    done
}
memory() { # VmRSS, and its anonymous and file-backed parts
    awk '/^VmRSS/ {rss = $2} /^RssAnon/ {anon = $2} /^RssFile/ {file = $2}
         END {printf "%d kB (anonymous %d kB, files %d kB)", rss, anon, file}' \
        /proc/"$program"/status
}
wakeups() { # wakeups LABEL: per second over SECONDS, of the threads alive at the end (a thread
    # that ends meanwhile, such as an idle pool thread, takes its count with it)
    switches >"$work/before"
    sleep "$seconds"
    switches >"$work/after"
    awk -v s="$seconds" -v label="$1" '
        NR == FNR {before[$1] = $2; next}
        {n += $2 - before[$1]}
        END {printf "wake-ups at idle, window %s: %.2f/s (%d in %d s)\n", label, n / s, n, s}' \
        "$work/before" "$work/after"
}

wait_until bash -c "xdotool search --name '$caption' >/dev/null 2>&1" || {
    echo "the program did not start"
    exit 1
}
alarm_shown() { xdotool search --onlyvisible --name '^Appointment due!' >/dev/null 2>&1; }
if wait_until alarm_shown; then
    # The alarm window ignores keys for its first second.
    sleep 1.5
    xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^Appointment due!' |
        tail -n1)" key Return 2>/dev/null
    wait_until bash -c "! xdotool search --onlyvisible --name '^Appointment due!' >/dev/null 2>&1" || {
        echo "the alarm window did not close"
        exit 1
    }
fi
# Hide at start happens at the caption clock's first tick.
wait_until bash -c "! xdotool search --onlyvisible --name '$caption' >/dev/null 2>&1"
sleep 5
wakeups hidden
echo "resident memory after $((seconds + 5)) s idle: $(memory)"

# A second start shows the first copy's window.
"$chimewell" >/dev/null 2>&1
wait_until shown || echo "the window did not show"
sleep 5
wakeups shown
echo "resident memory after the window was shown: $(memory)"
