#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs the build, stripped, into /usr/local as the README does, and
# checks what users and their tools find there: just the files that the
# install lists in its manifest, the binary answering as the built one,
# the manual page for man, and each shell's completion for a user who
# followed the README. Then removes the install as the README does. The
# /usr/local is a private, empty one, in a mount namespace of this test's
# own. It installs by component, so that the user's own
# build/install_manifest.txt, which the README's removal reads, is left as
# it was.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build=$2
if [ "${3:-}" != --inside ]; then
  if ! unshare --mount true 2>/dev/null; then
    echo "skipped: the install needs a mount namespace of its own (root with CAP_SYS_ADMIN) for a private /usr/local"
    exit 0
  fi
  exec unshare --mount --propagation private "$0" "$source_dir" "$build" --inside
fi
mount -t tmpfs tmpfs /usr/local
# The prefix the README's install has, whatever this build was configured
# with (a package build configures /usr): only the private one is written.
cmake --install "$build" --component fifocap --strip --prefix /usr/local >/dev/null
manifest=$build/install_manifest_fifocap.txt
written=$(find /usr/local ! -type d | sort)
if [ "$(sort "$manifest")" != "$written" ]; then
  printf 'the install wrote:\n%s\nbut its manifest lists:\n%s\n' "$written" "$(sort "$manifest")"
  exit 1
fi

# The binary answers as the built one, whose texts the rest of the suite
# checks: the usage, naming each as it was invoked.
installed=/usr/local/bin/fifocap status=0
if readelf -S "$installed" | grep -q '\.symtab'; then
  echo "$installed is not stripped"
  exit 1
fi
out=$(fifocap) || status=$?
built=$("$build/fifocap") || true
if [ "$status" -ne 1 ] || [ -z "$out" ] || [ "${out/fifocap/NAME}" != "${built/"$build/fifocap"/NAME}" ]; then
  echo "fifocap from PATH: status $status, output: $out"
  exit 1
fi
# man finds the page, as a user's man finds it from PATH.
page=$(man -w fifocap) || true
[[ $page == /usr/local/* ]] || { echo "man found no page under /usr/local: $page"; exit 1; }

for shell in "$source_dir"/completion/*; do
  "$(dirname "$0")/completion_test.sh" "$(basename "$shell")" "$source_dir" installed
done

# The README's removal leaves none of the files.
xargs rm -- <"$manifest"
left=$(find /usr/local ! -type d)
[ -z "$left" ] || { echo "the removal left: $left"; exit 1; }
