#!/bin/bash
# SPDX-License-Identifier: MIT
# Packs the last commit four times, one after the other and with
# SOURCE_DATE_EPOCH unset: from clones in two differently named folders,
# and from two unpacked tarballs, which have no git. Fails unless the four
# .deb files are the same bytes.
# Usage: scripts/check_reproducible.sh [CMAKE_ARG...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH
git clone -q "$top" "$work/one"
git clone -q "$top" "$work/another-folder"
for tarball in tarball other-tarball; do
  mkdir "$work/$tarball"
  git -C "$top" archive HEAD | tar -x -C "$work/$tarball"
done
for copy in one another-folder tarball other-tarball; do
  cmake -S "$work/$copy" -B "$work/$copy/build" -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$work/$copy/build" -j"$(nproc)" >/dev/null
  (cd "$work/$copy/build" && cpack -G DEB >/dev/null)
  sleep 1 # so that nothing can share a timestamp by luck
done
sums=$(cd "$work" && sha256sum ./*/build/fifocap_*.deb)
echo "$sums"
if [ "$(cut -d' ' -f1 <<<"$sums" | sort -u | wc -l)" -ne 1 ]; then
  echo "the packages differ"
  exit 1
fi
echo "reproducible: the clones and the tarballs gave the same package"
