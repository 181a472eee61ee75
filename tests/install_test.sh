#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs, stripped, into a temporary DESTDIR as the README does, checks
# that every file lands where users and their tools look for it, runs the
# installed binary, and removes the install as the README does.
# Usage: install_test.sh BUILD_DIR [LAUNCHER...]
set -euo pipefail
build=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
DESTDIR=$dir cmake --install "$build" --prefix /opt/fifocap --strip >/dev/null
root=$dir/opt/fifocap
for file in bin/fifocap share/man/man1/fifocap.1.gz share/bash-completion/completions/fifocap \
  share/doc/fifocap/copyright share/doc/fifocap/changelog.gz; do
  test -f "$root/$file" || { echo "missing: $file"; exit 1; }
done
if [ -n "$(find "$root" -path '*lintian*')" ]; then
  echo "the lintian override is for the Debian package only"
  exit 1
fi
if readelf -S "$root/bin/fifocap" | grep -q '\.symtab'; then
  echo "bin/fifocap is not stripped"
  exit 1
fi
status=0
out=$("$@" "$root/bin/fifocap") || status=$?
expected="Usage: $root/bin/fifocap [-v(erbose)] <fifo> <size in Mb>
Set fifo buffer size"
if [ "$status" -ne 1 ] || [ "$out" != "$expected" ]; then
  echo "installed binary: status $status, output: $out"
  exit 1
fi
# The manifest lists the files without DESTDIR.
sed "s|^|$dir|" "$build/install_manifest.txt" | xargs rm --
left=$(find "$dir" -type f)
[ -z "$left" ] || { echo "the removal left: $left"; exit 1; }
