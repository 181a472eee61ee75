#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds fifocap and runs the whole test suite, then lists the tests that
# this machine could not run, each with its reason. Configure fails when a
# tool that the tests need is missing, so the suite is never run partial.
# Usage: scripts/test.sh [build-dir [extra cmake arguments...]]
set -eu
build=${1:-build}
[ $# -gt 0 ] && shift
cmake -S "$(dirname "$0")/.." -B "$build" -DFIFOCAP_REQUIRE_TEST_TOOLS=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
status=0
ctest --test-dir "$build" -j"$(nproc)" --output-on-failure --no-tests=error || status=$?
# GoogleTest puts a skip's reason on the line after "Skipped".
log=$build/Testing/Temporary/LastTest.log
grep -h -A1 ': Skipped$' "$log" | grep -v -e '^--$' -e ': Skipped$' | sed 's/^/skipped: /' || true
exit $status
