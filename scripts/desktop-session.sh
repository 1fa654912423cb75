# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the desktop runs: a work folder of their own ($work) with the XDG folders in it,
# and a virtual X display with a notification area. At exit the processes listed in $pids end
# and the work folder goes.
#   source desktop-session.sh NAME
work=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-$1.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME"
unset DBUS_SESSION_BUS_ADDRESS WINEPREFIX
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
trayer --edge top --align right --widthtype pixel --width 120 --height 32 --transparent false \
    >/dev/null 2>&1 &
pids+=($!)
sleep 1
