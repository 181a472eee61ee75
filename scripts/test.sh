#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what the tests need when it is missing, builds fifocap, runs the
# whole test suite, and ends by listing every test that did not run, each
# with its reason. Configure fails when a tool that the tests need is
# missing, so the suite is never run partial.
# Usage: scripts/test.sh [BUILD_DIR [CMAKE_ARG...]]   (default: build in the source tree)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
[ $# -gt 0 ] && shift
"$top/scripts/install_needs.sh" test
cmake -S "$top" -B "$build" -DFIFOCAP_REQUIRE_TEST_TOOLS=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
status=0
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --no-tests=error || status=$?

# A skipped test's reason: a script's "skipped: " line, or the line after
# GoogleTest's "file:line: Skipped".
awk '
  /^[0-9]+\/[0-9]+ Test: / { name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name); reason = ""; next }
  after_skip { reason = $0; after_skip = 0 }
  reason == "" && /: Skipped$/ { after_skip = 1 }
  reason == "" && /^skipped: / { reason = substr($0, 10) }
  /^Skip regular expression found in output/ { not_run[++n] = name ": " reason }
  END {
    if (n == 0) { print "every test ran"; exit }
    print n (n == 1 ? " test" : " tests") " did not run:"
    for (i = 1; i <= n; i++) print "  " not_run[i]
  }' "$build/Testing/Temporary/LastTest.log"
exit $status
