#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the .deb from a build folder and checks what Debian asks of it: stripped programs and
# sound module, a machine-readable copyright file, and a changelog of this version compressed
# with gzip -9n.
# Runs lintian on it too when lintian is installed.
# Usage: deb_contents.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(echo "$out"/*.deb)
dpkg-deb -x "$deb" "$out/root"
doc=$out/root/usr/share/doc/chimewell

module=$(find "$out/root/usr/lib" -path '*/chimewell/chimewell-sound.so')
[ -n "$module" ] || fail "the sound module is not installed"
for binary in "$out/root/usr/bin/chimewell" "$out/root/usr/bin/palmdat" "$module"; do
    file -b "$binary" | grep -q ', stripped$' || fail "${binary##*/} is not stripped"
done
[ "$(head -n 1 "$doc/copyright")" = \
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3.0-or-later' "$doc/copyright" || fail "the copyright file names no GPL"
# gzip -9n: no file name and no time stamp in the header, best compression.
[ "$(od -An -tx1 -N9 "$doc/changelog.gz" | tr -d ' \n')" = 1f8b08000000000002 ] ||
    fail "changelog.gz is not compressed with gzip -9n"
zcat "$doc/changelog.gz" | head -n 1 | grep -q "^chimewell ($version) " ||
    fail "the changelog does not start with version $version"
if command -v lintian >/dev/null; then
    lintian --fail-on error "$deb" || fail "lintian found errors"
fi
echo "OK: $(basename "$deb"), installed size $(dpkg-deb -f "$deb" Installed-Size) KB"
