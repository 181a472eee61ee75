#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs, stripped, into a temporary DESTDIR as the README does, checks
# that every file lands where users and their tools look for it, runs the
# installed binary, and removes the install as the README does. It installs
# by component, so that the user's own build/install_manifest.txt, which
# the README's removal reads, is left as it was.
# Usage: install_test.sh BUILD_DIR [LAUNCHER...]
set -euo pipefail
build=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
DESTDIR=$dir cmake --install "$build" --component fifocap --prefix /opt/fifocap --strip >/dev/null
root=$dir/opt/fifocap
for file in bin/fifocap share/man/man1/fifocap.1.gz share/bash-completion/completions/fifocap \
  share/zsh/site-functions/_fifocap share/fish/vendor_completions.d/fifocap.fish \
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
# The installed binary answers as the built one, whose texts the rest of
# the suite checks: the usage, naming each as it was invoked.
status=0
installed=$("$@" "$root/bin/fifocap") || status=$?
built=$("$@" "$build/fifocap") || true
if [ "$status" -ne 1 ] || [ -z "$installed" ] || [ "${installed//"$root/bin/fifocap"/NAME}" != "${built//"$build/fifocap"/NAME}" ]; then
  echo "installed binary: status $status, output: $installed"
  exit 1
fi
# The manifest lists the files without DESTDIR.
sed "s|^|$dir|" "$build/install_manifest_fifocap.txt" | xargs rm --
left=$(find "$dir" -type f)
[ -z "$left" ] || { echo "the removal left: $left"; exit 1; }
