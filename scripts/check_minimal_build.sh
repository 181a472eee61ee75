#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds and installs a clone of the last commit with CMake, on this
# machine made to look like one with only a C++ compiler and CMake:
# GoogleTest, valgrind, groff, bash-completion, zsh and fish are hidden
# from the build. Fails unless configure names the tests it turned off and
# the install works.
# Usage: scripts/check_minimal_build.sh [CMAKE_ARG...]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$top" "$work/fifocap"

# The hiding needs a mount namespace of its own (root with CAP_SYS_ADMIN).
hide=""
for path in /usr/include/gtest /usr/share/bash-completion $(find /usr/lib /usr/local/lib -type d -path '*cmake/GTest' 2>/dev/null); do
  hide+="mount -t tmpfs none '$path'; "
done
for tool in valgrind groff zsh fish; do
  path=$(command -v "$tool") && hide+="mount --bind /dev/null '$path'; "
done
configure_args="$*"
if unshare --mount true 2>/dev/null; then
  hider=(unshare --mount)
else
  echo "no mount namespace here: GoogleTest is turned off through CMake instead"
  hider=() hide="" configure_args+=" -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON"
fi
# Configure, build and install.
runner=("${hider[@]}" sh -euc "$hide cd '$work/fifocap'
  cmake -S . -B build $configure_args && cmake --build build && cmake --install build --strip")
DESTDIR=$work/root "${runner[@]}" >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
sed -n '/Tests turned off/,/^-- Config/p' "$work/log"
grep -q 'no GoogleTest' "$work/log" || { echo "configure did not say that GoogleTest's tests are off"; exit 1; }
if "$work/root/usr/local/bin/fifocap" >/dev/null; then
  echo "the installed binary accepted no operands"
  exit 1
fi
echo "built and installed with the test tools missing"
