#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs into a temporary DESTDIR and checks that the binary and the man
# page land where users look for them, and that the installed binary runs.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
DESTDIR=$dir cmake --install "$1" --prefix /opt/fifocap >/dev/null
root=$dir/opt/fifocap
test -x "$root/bin/fifocap" || { echo "missing: bin/fifocap"; exit 1; }
test -f "$root/share/man/man1/fifocap.1" || { echo "missing: share/man/man1/fifocap.1"; exit 1; }
status=0
out=$("$root/bin/fifocap") || status=$?
expected="Usage: $root/bin/fifocap [-v(erbose)] <fifo> <size in Mb>
Set fifo buffer size"
if [ "$status" -ne 1 ] || [ "$out" != "$expected" ]; then
  echo "installed binary: status $status, output: $out"
  exit 1
fi
