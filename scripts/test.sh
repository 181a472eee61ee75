#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs what the tests need when it is missing, then builds and tests
# with a workflow preset, by default the static build and the whole suite.
# Ends with CTest's count and the reason of each test that did not run;
# fails when one was turned off for want of a tool, so the suite it runs is
# never partial.
# Usage: scripts/test.sh [PRESET]   (a workflow preset of CMakePresets.json)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-default}
# shellcheck disable=SC2046 # the fuzz task (clang and its runtimes), or none
"$top/scripts/install_needs.sh" test $([[ $preset == @(fuzz|*clang*) ]] && echo fuzz)
cd "$top"
output=$(mktemp)
trap 'rm -f "$output"' EXIT

status=0
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset "$preset" 2>&1 | tee "$output" || status=$?

# Each test that did not run, and why, from the log of the build folder that
# CTest names: a script's "skipped: " line, or the one after GoogleTest's
# "file:line: Skipped".
log=$(sed -n 's/^Test project //p' "$output")/Testing/Temporary/LastTest.log
[ -f "$log" ] || { echo "no tests ran"; exit 1; }
reasons=$(awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 } after { print "  " name ": " $0 } { after = /: Skipped$/ }
  /^skipped: / { print "  " name ": " substr($0, 10) }' "$log")
[ -z "$reasons" ] || printf 'Why they did not run:\n%s\n' "$reasons"
if grep -q ': no .* on this machine$' <<<"$reasons"; then
  echo "a test was turned off for want of a tool that scripts/install_needs.sh should have installed"
  status=1
fi
exit "$status"
