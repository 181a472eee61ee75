#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs the command-line fuzzer for FIFOCAP_FUZZ_SECONDS (default 60) from
# the seed corpus. Fails on any finding; the input that caused it is left in
# the printed artifact folder.
# Usage: run_fuzzer.sh FUZZER CORPUS
set -euo pipefail
fuzzer=$1 corpus=$2
work=$(mktemp -d)
mkdir "$work/corpus" "$work/artifacts"
# stdout and stderr of the code under test are closed (-close_fd_mask=3):
# every rejected vector prints the usage or a message. The fuzzer's and the
# sanitizers' own reports still come through.
status=0
"$fuzzer" -max_total_time="${FIFOCAP_FUZZ_SECONDS:-60}" -close_fd_mask=3 -print_final_stats=1 \
  -artifact_prefix="$work/artifacts/" "$work/corpus" "$corpus" >"$work/log" 2>&1 || status=$?
grep -E '^#[0-9]+.*(INITED|DONE)|^stat::(number_of_executed_units|peak_rss)|ERROR|SUMMARY' "$work/log" || true
if [ "$status" -ne 0 ]; then
  tail -n 40 "$work/log"
  echo "fuzzer finding, inputs kept in $work/artifacts:"
  ls "$work/artifacts"
  exit 1
fi
rm -rf "$work"
