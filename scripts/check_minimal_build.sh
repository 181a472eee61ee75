#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds and installs a clone of the last commit with the default preset,
# on this machine made to look like one with only a C++ compiler, make and
# CMake: every tool that scripts/needs.txt lists for the tests is hidden
# from the build. Fails unless configure names the tests that it turned off
# and the install works.
# Usage: scripts/check_minimal_build.sh   (as root: it hides the tools in a
#        mount namespace of its own)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
unshare --mount true 2>/dev/null || { echo "the check needs a mount namespace: run it as root"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$top" "$work/fifocap"

# A command is hidden behind an empty file; a file, with its folder.
hide="" hidden=()
while read -r package tasks kind what; do
  [[ ,$tasks, == *,test,* ]] || continue
  hidden+=("$package")
  if [ "$kind" = command ]; then
    path=$(command -v "$what") && hide+="mount --bind /dev/null '$path'; "
  else
    for path in $what; do
      for match in $path; do [ -e "$match" ] && hide+="mount -t tmpfs none '$(dirname "$match")'; "; done
    done
  fi
done < <(grep -v '^#' "$top/scripts/needs.txt")

DESTDIR=$work/root unshare --mount sh -euc "$hide cd '$work/fifocap'
  cmake --preset default && cmake --build --preset default && cmake --install build --strip" \
  >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
sed -n '/Tests turned off/,/^-- Config/p' "$work/log"
for package in "${hidden[@]}"; do
  grep -q "no $package on this machine" "$work/log" || { echo "configure did not say that $package is missing"; exit 1; }
done
if "$work/root/usr/local/bin/fifocap" >/dev/null; then
  echo "the installed binary accepted no operands"
  exit 1
fi
echo "built and installed with the test tools missing"
