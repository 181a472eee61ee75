#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs what the tests need when it is missing, then builds and tests
# with a workflow preset, by default the static build and the whole suite.
# Ends with "N tests: P passed, F failed, S did not run" and the reason of
# each test that did not run; fails when one was turned off for want of a
# tool, so the suite it runs is never partial.
# Usage: scripts/test.sh [PRESET]   (a workflow preset of CMakePresets.json)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
preset=${1:-default}
case $preset in
fuzz) "$top/scripts/install_needs.sh" fuzz ;;
*clang*) "$top/scripts/install_needs.sh" test fuzz ;; # clang and its runtimes
*) "$top/scripts/install_needs.sh" test ;;
esac
cd "$top"
output=$(mktemp)
trap 'rm -f "$output"' EXIT

status=0
CMAKE_BUILD_PARALLEL_LEVEL=$(nproc) cmake --workflow --preset "$preset" 2>&1 | tee "$output" || status=$?

# A skipped test's reason, in the full log of the build folder that CTest
# names: a script's "skipped: " line, or the line after GoogleTest's
# "file:line: Skipped".
tests=$(sed -n 's/^Test project //p' "$output")
[ -n "$tests" ] || { echo "no tests ran"; exit 1; }
summary=$(awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); reason = ""; tests++; next }
  after_skip { reason = $0; after_skip = 0 }
  reason == "" && /: Skipped$/ { after_skip = 1 }
  reason == "" && /^skipped: / { reason = substr($0, 10) }
  /^Test Passed\.$/ { passed++ }
  /^Skip regular expression found in output/ { not_run[++n] = name ": " reason }
  END {
    printf "%d tests: %d passed, %d failed, %d did not run\n", tests, passed, tests - passed - n, n
    for (i = 1; i <= n; i++) print "  " not_run[i]
  }' "$tests/Testing/Temporary/LastTest.log")
printf '%s\n' "$summary"
if grep -q ': no .* on this machine$' <<<"$summary"; then
  echo "a test was turned off for want of a tool that scripts/install_needs.sh should have installed"
  status=1
fi
exit "$status"
