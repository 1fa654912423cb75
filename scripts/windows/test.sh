#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows stage: builds with scripts/windows/build.sh, then under Wine on a virtual X
# display runs every test (ctest, the desktop run of chimewell.exe included) and installs and
# uninstalls the installer silently. Skipped, saying so, when there is no Qt SDK for MinGW.
set -euo pipefail
cd "$(dirname "$0")/../.."
started=$SECONDS
status=0
bash scripts/windows/build.sh || status=$?
if [ "$status" -eq 3 ]; then
    echo "== Windows stage skipped: no Qt SDK for MinGW"
    exit 0
fi
[ "$status" -eq 0 ] || exit "$status"

wine=/usr/lib/wine/wine64
work=$(mktemp -d "${TMPDIR:-/tmp}/chimewell-windows.XXXXXX")
xvfb=
cleanup() {
    # A prefix without a running server, or Xvfb ending on its signal, is no failure here.
    set +e
    for prefix in "$work"/prefix-*; do
        [ -d "$prefix" ] && WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null
    done
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display") WINEDEBUG=-all
unset DBUS_SESSION_BUS_ADDRESS

# One fresh prefix, copied for every user of it: no Mono or Gecko, no sound driver, and a
# 24-hour clock and short dates like Qt's C locale on Linux.
pristine=$work/prefix-pristine
WINEPREFIX=$pristine WINEDLLOVERRIDES="mscoree,mshtml=" $wine wineboot -i >/dev/null 2>&1
for setting in "sShortTime HH:mm" "sTimeFormat HH:mm:ss" "sShortDate d MMM yyyy"; do
    WINEPREFIX=$pristine $wine reg add 'HKCU\Control Panel\International' \
        /v "${setting%% *}" /d "${setting#* }" /f >/dev/null
done
WINEPREFIX=$pristine $wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null
WINEPREFIX=$pristine /usr/lib/wine/wineserver -w
export CHIMEWELL_PRISTINE_PREFIX=$pristine

echo "== Windows tests under Wine"
cp -a "$pristine" "$work/prefix-tests"
WINEPREFIX=$work/prefix-tests CTEST_OUTPUT_ON_FAILURE=1 \
    ctest --test-dir build-windows/build -j "$(nproc)"

echo "== Windows installer under Wine"
export WINEPREFIX=$work/prefix-install
cp -a "$pristine" "$WINEPREFIX"
setup=$(ls build-windows/dist/chimewell-*-setup.exe)
programs=$WINEPREFIX/drive_c/Program\ Files/Chimewell
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Chimewell.lnk
startup=$($wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
    /v Startup | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
startup=$(WINEPREFIX=$WINEPREFIX $wine winepath -u "$startup" 2>/dev/null)
failures=0
check() { if "${@:2}"; then echo "PASS   : $1"; else echo "FAIL!  : $1"; failures=$((failures + 1)); fi; }
$wine "$setup" /S
/usr/lib/wine/wineserver -w
check "installs the programs into Program Files" test -f "$programs/bin/chimewell.exe" -a -f "$programs/bin/palmdat.exe"
check "with the Qt platform plugin" test -f "$programs/bin/platforms/qwindows.dll"
check "and a Start-menu entry" test -f "$menu"
check "the installed palmdat runs" $wine "$programs/bin/palmdat.exe" demo 'C:\palm-demo'
# What the program leaves that the uninstaller must keep or take.
$wine reg add 'HKCU\Software\Corvander\chimewell\Options' /v warntime /t REG_DWORD /d 7 /f >/dev/null
mkdir -p "$startup"
cp "$menu" "$startup/Chimewell.lnk"
$wine "$programs/uninstall.exe" /S
/usr/lib/wine/wineserver -w
check "uninstalling removes the program" test ! -e "$programs"
check "and the Start-menu entry" test ! -e "$menu"
check "and the Startup shortcut" test ! -e "$startup/Chimewell.lnk"
check "but keeps the settings" $wine reg query 'HKCU\Software\Corvander\chimewell\Options' /v warntime
check "and the Palm data" test -f "$WINEPREFIX/drive_c/palm-demo/users.dat"
[ "$failures" -eq 0 ] || exit 1
echo "Windows stage: $((SECONDS - started)) s"
