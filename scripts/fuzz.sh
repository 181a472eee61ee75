#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the command-line fuzzer with clang and runs it for a bounded time
# from the seed corpus. Exits non-zero on any finding; the input that
# caused it is left in the printed artifact folder.
# Usage: scripts/fuzz.sh [SECONDS [BUILD_DIR [CMAKE_ARG...]]]   (default 60, build-fuzz)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=${2:-$top/build-fuzz}
shift $(($# < 2 ? $# : 2))
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DFIFOCAP_FUZZ=ON -DBUILD_TESTING=OFF "$@" >/dev/null
cmake --build "$build" --target parse_command_line_fuzz -j"$(nproc)" >/dev/null

work=$(mktemp -d)
mkdir "$work/corpus" "$work/artifacts"
# stdout and stderr of the code under test are closed (-close_fd_mask=3):
# every rejected vector prints the usage or a message. The fuzzer's and the
# sanitizers' own reports still come through.
status=0
"$build/tests/fuzz/parse_command_line_fuzz" -max_total_time="$seconds" -close_fd_mask=3 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
  "$work/corpus" "$top/tests/fuzz/corpus" >"$work/log" 2>&1 || status=$?
grep -E '^#[0-9]+.*(INITED|DONE)|^stat::(number_of_executed_units|peak_rss)|ERROR|SUMMARY' "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work/log"
  echo "fuzzer finding, inputs kept in $work/artifacts:"
  ls "$work/artifacts"
  exit 1
fi
rm -rf "$work"
