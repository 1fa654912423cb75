#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end run of chimewell.exe under Wine on a virtual X display with a notification-area
# host: caption, tray icon, single instance, the alarm on time and red, Quit from the tray
# menu, the settings in the registry, private copies gone and the Palm files untouched.
# Screenshots of each step go to SHOTS. Uses a copy of $CHIMEWELL_PRISTINE_PREFIX when set
# (scripts/windows/test.sh makes one), else a fresh Wine prefix.
#   wine_run.sh CHIMEWELL.EXE PALMDAT.EXE SHOTS RUNNER...
# RUNNER runs a program of the Windows build (scripts/windows/wine-run.sh and its options).
set -uo pipefail
chimewell=$1
palmdat=$2
shots=$3
shift 3
run=("$@")
mkdir -p "$shots"
wine=/usr/lib/wine/wine64

work=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-wine.XXXXXX")
pids=()
cleanup() {
    WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

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

unset DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR
export WINEDEBUG=-all WINEPREFIX=$work/prefix
# Wine hands WINEQT_* to the program as QT_*.
export WINEQT_LOGGING_RULES="chimewell.*.debug=true" WINEQT_FORCE_STDERR_LOGGING=1

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
if [ -n "${CHIMEWELL_PRISTINE_PREFIX:-}" ]; then
    cp -a "$CHIMEWELL_PRISTINE_PREFIX" "$WINEPREFIX"
else
    WINEDLLOVERRIDES="mscoree,mshtml=" $wine wineboot -i >/dev/null 2>&1
fi
trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
    >/dev/null 2>&1 &
pids+=($!)
sleep 1

shot() { import -window root "$shots/$1.png" 2>/dev/null; }
now() { date +%s; }
stamp() { date -d "@$1" +%Y-%m-%dT%H:%M:%S; }
today() { date +%Y-%m-%d; }
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

# The demo folder, its first user's datebook replaced by one whose alarm is due soon.
demo=$work/palm
"${run[@]}" "$palmdat" demo "$(windows_path "$demo")" >/dev/null || { echo "palmdat demo failed"; exit 1; }
datebook=$(find "$demo" -ipath '*datebook/datebook.dat' | sort | head -n1)
left=$(($(date -d 'tomorrow 00:00' +%s) - $(now)))
[ "$left" -lt 240 ] && sleep $((left + 5))
due=$(($(now) + 30))
cat >"$work/datebook.json" <<JSON
{"format":"datebook","records":[
 {"start":"$(stamp "$due")","end":"$(stamp "$due")","description":"Dentist REM 0"},
 {"start":"$(today)T00:00:00","untimed":true,"description":"Team day"}]}
JSON
"${run[@]}" "$palmdat" make "$(windows_path "$work/datebook.json")" "$(windows_path "$datebook")" ||
    { echo "palmdat make failed"; exit 1; }
(cd "$demo" && find . -type f -exec md5sum {} + | sort) >"$work/palm.md5"
export CHIMEWELL_PALM_DESKTOP=$(windows_path "$demo")

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
hidden() { ! visible "$1"; }
no_alarm() { ! visible '^Appointment due!'; }
alarm_window() { xdotool search --onlyvisible --name '^Appointment due!' 2>/dev/null | tail -n1; }
logged() { grep -q -- "$1" "$work/chimewell.log"; }
# Wine docks its tray icons as windows of their own in trayer's panel.
tray_icon() {
    local panel
    panel=$(xdotool search --classname '^panel$' 2>/dev/null | head -n1)
    [ -n "$panel" ] && xwininfo -children -id "$panel" | awk '/^ +0x/ {print $1; exit}'
}
has_tray_icon() { test -n "$(tray_icon)"; }
# Dark pixels in the minutes field of a screenshot: the one white box there narrower than the
# buttons. Empty when there is no such box.
minutes_ink() {
    local box
    box=$(convert "$1" -fill black +opaque white -define connected-components:verbose=true \
        -define connected-components:area-threshold=100 -connected-components 4 null: 2>/dev/null |
        awk '$NF == "srgb(255,255,255)" { split($2, g, /[x+]/)
             if (g[1] < 60 && g[2] > 12 && g[2] < 40) { print $2; exit } }')
    [ -n "$box" ] && convert "$1" -crop "$box" -colorspace gray -threshold 50% \
        -format '%[fx:round(w*h*(1-mean))]' info:
}
right_click() {
    xdotool mousemove --window "$1" 8 8
    sleep 0.3
    xdotool mousedown 3
    sleep 0.3
    xdotool mouseup 3
}
trap 'cp "$work/chimewell.log" "$shots/chimewell.log" 2>/dev/null; cleanup' EXIT

started=$(now)
"${run[@]}" "$chimewell" >"$work/chimewell.log" 2>&1 &
first=$!
pids+=("$first")

check "main window caption is 'Chimewell HH:MM'" wait_for 30 has_main_window
check "tray icon in the notification area" wait_for 10 has_tray_icon
check "tooltip shows the first appointment" wait_for 10 logged 'tooltip "[0-9][0-9]:[0-9][0-9] Dentist REM 0"'
echo "started in $(($(now) - started)) s"
shot 1-started
check "the window hides itself after the start" wait_for 10 hidden "$caption"

"${run[@]}" "$chimewell" >/dev/null 2>&1
second=$?
check "a second copy exits with -1 ($second)" test "$second" -eq 255
check "the second copy brings the first window back" wait_for 10 visible "$caption"
shot 2-second-copy
ink=$(minutes_ink "$shots/2-second-copy.png")
check "the minutes field shows its text (dark pixels: ${ink:-no field})" test "${ink:-0}" -ge 5

check "alarm window appears" wait_for 60 visible '^Appointment due!'
late=$(($(now) - due))
check "alarm within 2 s of its due time (${late} s)" test "$late" -le 2 -a "$late" -ge 0
sleep 0.5
alarm=$(alarm_window)
shot 3-alarm
import -window "$alarm" "$work/alarm.png" 2>/dev/null
pixel=$(convert "$work/alarm.png" -format '%[pixel:p{2,2}]' info: 2>/dev/null)
check "alarm window is red ($pixel)" test "$pixel" = "srgb(255,0,0)" -o "$pixel" = red
# For its first second the window takes no keys.
sleep 1
xdotool windowactivate --sync "$alarm" 2>/dev/null
xdotool key Return
check "OK ends the alarm" wait_for 5 no_alarm

icon=$(tray_icon)
for _ in 1 2 3; do
    [ -n "$icon" ] || break
    right_click "$icon"
    sleep 1
    shot 4-tray-menu
    xdotool key q
    wait_for 10 bash -c "! kill -0 $first 2>/dev/null" && break
done
check "Quit from the tray menu ends the program" bash -c "! kill -0 $first 2>/dev/null"
wait "$first"
code=$?
check "it exits with 0 ($code)" test "$code" -eq 0

$wine reg query 'HKCU\Software\Corvander\chimewell\Options' >"$work/options.txt" 2>/dev/null
numbers=$(grep -c 'REG_DWORD' "$work/options.txt")
texts=$(grep -c 'password *REG_SZ' "$work/options.txt")
check "the registry holds the fourteen numbers as DWORD ($numbers)" test "$numbers" -eq 14
check "and the password as a string ($texts)" test "$texts" -eq 1
check "the private copies are gone" \
    bash -c "! ls '$WINEPREFIX'/drive_c/users/*/Temp/chimewell/*tmp.dat >/dev/null 2>&1"
check "the Palm files are unchanged" \
    bash -c "cd '$demo' && find . -type f -exec md5sum {} + | sort | cmp -s - '$work/palm.md5'"
finish
