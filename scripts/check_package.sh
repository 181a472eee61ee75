#!/bin/bash
# SPDX-License-Identifier: MIT
# Packs the Debian package of a build preset twice, under umask 022 and
# umask 002 (as Debian 13 logs users in), and fails unless the two are the
# same bytes and lintian finds nothing in them, pedantic tags included.
# Then the suite's tests of the binary run on the packaged one: as root
# installed with dpkg, where man and each shell must also find what the
# package holds, then removed again; otherwise unpacked.
# Usage: scripts/check_package.sh [PRESET]   (a package preset; default: default)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-default}
"$top/scripts/install_needs.sh" package test
cd "$top"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j"$(nproc)" >/dev/null
for mask in 022 002; do
  (umask $mask && FIFOCAP_PACKAGE_DIR=$work/$mask cpack --preset "$preset" >/dev/null)
done
deb=$(ls "$work"/022/fifocap_*.deb)
cmp "$deb" "$work/002/$(basename "$deb")" || { echo "umask 002 packs other bytes than umask 022"; exit 1; }
lintian --info --display-level +pedantic --fail-on error,warning,info,pedantic "$deb"

if [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$deb" >/dev/null
  fifocap=/usr/bin/fifocap
  page=$(man -w fifocap) || true
  [ "$page" = /usr/share/man/man1/fifocap.1.gz ] || { echo "man found: $page"; exit 1; }
  for shell in completion/*; do
    tests/completion_test.sh "$(basename "$shell")" "$top" installed
  done
else
  dpkg-deb -x "$deb" "$work/root"
  fifocap=$work/root/usr/bin/fifocap
fi
FIFOCAP_TEST_BINARY=$fifocap scripts/test.sh installed >"$work/tests.log" 2>&1 ||
  { cat "$work/tests.log"; exit 1; }
tail -n 1 "$work/tests.log"
if [ "$fifocap" = /usr/bin/fifocap ]; then
  dpkg -r fifocap >/dev/null
  [ ! -e /usr/bin/fifocap ] || { echo "dpkg -r left /usr/bin/fifocap"; exit 1; }
fi
dpkg-deb -I "$deb"
echo "package check passed: $(basename "$deb"), sha256 $(sha256sum <"$deb" | cut -d' ' -f1)"
