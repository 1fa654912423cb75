#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end run of the real program on a virtual X display with a notification-area host:
# tray icon, caption, the list and tooltip as the window shows them, hide at start, single
# instance, the alarm on time and red, snooze and acknowledge, a datebook edit showing at once,
# Quit from the tray menu, settings on disk and private copies gone, the sound system loaded only
# for a sound. Screenshots of each step go to SHOTS.
#   desktop_run.sh CHIMEWELL PALMDAT SHOTS
set -uo pipefail
chimewell=$1
palmdat=$2
shots=$3
mkdir -p "$shots"

source "$(dirname "$0")/../../scripts/desktop-session.sh" e2e
export QT_LOGGING_RULES="chimewell.*.debug=true"

failures=0
passes=0
check() { # check NAME COMMAND...
    local name=$1
    shift
    if "$@"; then
        echo "PASS   : $name"
        passes=$((passes + 1))
    else
        echo "FAIL!  : $name"
        failures=$((failures + 1))
    fi
}
finish() {
    echo "$passes passed, $failures failed"
    [ "$failures" -eq 0 ]
    exit $?
}

shot() { import -window root "$shots/$1.png" 2>/dev/null; }
now() { date +%s; }
stamp() { date -d "@$1" +%Y-%m-%dT%H:%M:%S; }
today() { date +%Y-%m-%d; }

# The demo folder, its first user's datebook replaced by one whose first alarm is due soon.
demo=$work/palm
"$palmdat" demo "$demo" >/dev/null || { echo "palmdat demo failed"; exit 1; }
datebook=$(find "$demo" -ipath '*datebook/datebook.dat' | sort | head -n1)
write_datebook() { # write_datebook DUE_EPOCH [EXTRA_DESCRIPTION]: untimed extras stay today
    local extra=""
    [ -n "${2:-}" ] && extra=",{\"start\":\"$(today)T00:00:00\",\"untimed\":true,\"description\":\"$2\"}"
    cat >"$work/datebook.json" <<JSON
{"format":"datebook","records":[
 {"start":"$(stamp "$1")","end":"$(stamp "$1")","description":"Dentist REM 0"},
 {"start":"$(today)T00:00:00","untimed":true,"description":"Team day"}$extra]}
JSON
    "$palmdat" make "$work/datebook.json" "$datebook"
}
# The run must not cross midnight.
left=$(( $(date -d 'tomorrow 00:00' +%s) - $(now) ))
[ "$left" -lt 240 ] && sleep $((left + 5))
due=$(($(now) + 20))
write_datebook "$due" || { echo "palmdat make failed"; exit 1; }
export CHIMEWELL_PALM_DESKTOP=$demo

wait_for() { # wait_for SECONDS COMMAND...: true once COMMAND succeeds
    local until=$(($(now) + $1))
    shift
    while [ "$(now)" -le "$until" ]; do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
caption='^Chimewell [0-9]{2}:[0-9]{2}$'
has_main_window() { xdotool search --name "$caption" >/dev/null 2>&1; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
main_hidden() { has_main_window && ! visible "$caption"; }
main_window() { xdotool search --onlyvisible --name "$caption" 2>/dev/null | head -n1; }
no_alarm() { ! visible '^Appointment due!'; }
alarm_window() { xdotool search --onlyvisible --name '^Appointment due!' 2>/dev/null | tail -n1; }
# What the window shows: the window reports its tooltip and list as its widgets hold them,
# once they are filled.
shows() { grep -Eq -- "showing tooltip $1" "$work/chimewell.log"; }
# Pixels that differ between two pictures.
changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }
# The icon is a window of ours embedded in trayer's panel.
tray_icon() {
    local panel
    panel=$(xdotool search --classname '^panel$' 2>/dev/null | head -n1)
    [ -n "$panel" ] && xwininfo -tree -id "$panel" | awk '/"chimewell": \("chimewell"/ {print $1; exit}'
}
has_tray_icon() { test -n "$(tray_icon)"; }
# A press and release slow enough for the icon to see both.
right_click() {
    xdotool mousemove --window "$1" 8 8
    sleep 0.3
    xdotool mousemove_relative 1 1
    sleep 0.3
    xdotool mousedown 3
    sleep 0.3
    xdotool mouseup 3
}
trap 'cp "$work/chimewell.log" "$shots/chimewell.log" 2>/dev/null; cleanup' EXIT

"$chimewell" >"$work/chimewell.log" 2>&1 &
first=$!
pids+=("$first")

check "main window caption is 'Chimewell HH:MM'" wait_for 15 has_main_window
check "tray icon in the notification area" wait_for 10 has_tray_icon
check "tooltip shows the first appointment" wait_for 10 shows '"[0-9]{2}:[0-9]{2} Dentist REM 0"'
check "the list shows today's appointments" \
    shows '.* list QList\("[0-9]{2}:[0-9]{2} Dentist REM 0", "[^"]*Team day"'
# The first copy has settled once hide at start took it off the screen.
check "the window hides at start" wait_for 10 main_hidden
check "no sound system loaded while no sound played" bash -c "! grep -q Multimedia /proc/$first/maps"
shot 1-started

"$chimewell" >/dev/null 2>&1
second=$?
check "a second copy exits with -1" test "$second" -eq 255
check "the second copy brings the first window back" wait_for 5 visible "$caption"
sleep 0.5
check "and it stays shown" visible "$caption"
shot 2-second-copy

check "alarm window appears" wait_for 40 visible '^Appointment due!'
late=$(($(now) - due))
check "alarm within 2 s of its due time (${late} s)" test "$late" -le 2 -a "$late" -ge 0
sleep 0.5
alarm=$(alarm_window)
shot 3-alarm
import -window "$alarm" "$work/alarm.png" 2>/dev/null
pixel=$(convert "$work/alarm.png" -format '%[pixel:p{2,2}]' info: 2>/dev/null)
check "alarm window is red ($pixel)" test "$pixel" = "srgb(255,0,0)" -o "$pixel" = red

# Warn again: from OK, Tab moves to the Warn again button. For its first second the window
# takes no keys.
sleep 1
xdotool windowfocus --sync "$alarm" 2>/dev/null
xdotool key Tab space
check "warn again closes the alarm window" wait_for 5 no_alarm
snoozed=$(now)
check "the alarm comes back after the snooze" wait_for 75 visible '^Appointment due!'
waited=$(($(now) - snoozed))
check "snooze lasted one minute (${waited} s)" test "$waited" -ge 59 -a "$waited" -le 62
sleep 1.2
shot 4-alarm-again
alarm=$(alarm_window)
xdotool windowfocus --sync "$alarm" 2>/dev/null
xdotool key Return
check "OK ends the alarm" wait_for 5 no_alarm
sleep 6
check "an acknowledged alarm does not come back" no_alarm

import -window "$(main_window)" "$work/before-edit.png" 2>/dev/null
write_datebook "$due" "Added by the test" >/dev/null
edited=$(now)
check "an edited datebook shows" wait_for 5 shows '.* list QList\(.*"[^"]*Added by the test"'
took=$(($(now) - edited))
check "it shows within a second (${took} s)" test "$took" -le 1
sleep 0.3
import -window "$(main_window)" "$work/after-edit.png" 2>/dev/null
pixels=$(changed_pixels "$work/before-edit.png" "$work/after-edit.png")
check "the window's list changed on screen (${pixels} pixels)" test "${pixels:-0}" -gt 0
shot 5-edited

icon=$(tray_icon)
for attempt in 1 2 3; do
    [ -n "$icon" ] || break
    right_click "$icon"
    sleep 1
    shot 6-tray-menu
    xdotool key q
    wait_for 5 bash -c "! kill -0 $first 2>/dev/null" && break
done
check "Quit from the tray menu ends the program" bash -c "! kill -0 $first 2>/dev/null"
wait "$first"
code=$?
check "it exits with 0 ($code)" test "$code" -eq 0
conf=$XDG_CONFIG_HOME/Corvander/chimewell.conf
values=$(sed -n '/^\[Options\]/,/^\[/p' "$conf" 2>/dev/null | grep -c '=')
check "the settings file holds the fourteen values and ringmissed ($values)" test "$values" -eq 15
state=$XDG_STATE_HOME/chimewell/alarmstate.json
check "the answers are kept, for the user alone" test "$(stat -c %a "$state" 2>/dev/null)" = 600
check "the private copies are gone" bash -c "! ls '$XDG_RUNTIME_DIR'/chimewell/*tmp.dat >/dev/null 2>&1"

# SIGTERM (a log-out, a shutdown, kill) while the alarm window is open: the snooze minutes set
# there are kept, and nothing of the run is left behind.
write_datebook "$(($(now) + 3))" >/dev/null
sed -i 's/^beep=0$/beep=1/' "$conf"
"$chimewell" >"$work/chimewell-sigterm.log" 2>&1 &
term=$!
pids+=("$term")
check "SIGTERM: the alarm window is open" wait_for 30 visible '^Appointment due!'
check "the alarm with a sound loads the sound module" grep -q chimewell-sound /proc/$term/maps
sleep 1.2
alarm=$(alarm_window)
xdotool windowfocus --sync "$alarm" 2>/dev/null
# From OK, Tab reaches Warn again, whose arrow keys step the minutes: 1 up to 7.
xdotool key Tab Up Up Up Up Up Up
sleep 0.5
shot 7-snooze-7
kill -TERM "$term"
check "SIGTERM ends the program" wait_for 10 bash -c "! kill -0 $term 2>/dev/null"
wait "$term"
code=$?
check "it exits with 0 after SIGTERM ($code)" test "$code" -eq 0
snooze=$(sed -n 's/^warnagaintime=//p' "$conf")
check "the snooze minutes set in the alarm window are kept ($snooze)" test "$snooze" = 7
values=$(sed -n '/^\[Options\]/,/^\[/p' "$conf" 2>/dev/null | grep -c '=')
check "the settings file still holds the fifteen values ($values)" test "$values" -eq 15
check "no private copies, no instance lock after SIGTERM" \
    bash -c "! ls '$XDG_RUNTIME_DIR'/chimewell/*tmp.dat '$XDG_RUNTIME_DIR'/chimewell/*.lock >/dev/null 2>&1"
check "no instance socket after SIGTERM" bash -c "! ls '$XDG_RUNTIME_DIR'/chimewell/*.socket >/dev/null 2>&1"
finish
