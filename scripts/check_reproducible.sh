#!/bin/bash
# SPDX-License-Identifier: MIT
# Packs the last commit twice, from clones in two differently named
# folders, one after the other and with SOURCE_DATE_EPOCH unset, and fails
# unless the two .deb files are the same bytes.
# Usage: scripts/check_reproducible.sh [CMAKE_ARG...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH
for copy in one another-folder; do
  git clone -q "$top" "$work/$copy"
  cmake -S "$work/$copy" -B "$work/$copy/build" -DBUILD_TESTING=OFF "$@" >/dev/null
  cmake --build "$work/$copy/build" -j"$(nproc)" >/dev/null
  (cd "$work/$copy/build" && cpack -G DEB >/dev/null)
  sleep 1 # so that nothing can share a timestamp by luck
done
sums=$(cd "$work" && sha256sum ./*/build/fifocap_*.deb)
echo "$sums"
if [ "$(cut -d' ' -f1 <<<"$sums" | sort -u | wc -l)" -ne 1 ]; then
  echo "the two packages differ"
  exit 1
fi
echo "reproducible: both builds gave the same package"
