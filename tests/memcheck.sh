#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs the binary under valgrind's memcheck over the main scenarios and
# fails on any memory error or leak. Usage: memcheck.sh VALGRIND FIFOCAP
set -euo pipefail
valgrind=$1 fifocap=$2
# shellcheck source=tests/held_fifo.sh
source "$(dirname "$0")/held_fifo.sh"
hold_fifo_in_temp_dir
echo data >"$dir/plain"

memcheck() {
  local expected=$1
  shift
  local status=0
  "$valgrind" -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect,possible \
    "$fifocap" "$@" >/dev/null 2>"$dir/log" || status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "fifocap $*: exit status $status, expected $expected"
    cat "$dir/log"
    exit 1
  fi
}
memcheck 1                                   # usage
memcheck 1 "$dir/fifo" 0                     # invalid size
memcheck 1 -x "$dir/fifo" 1                  # unknown option
memcheck 0 -v "$dir/fifo" 1                  # success, reported
memcheck 0 -v "$dir/plain" 1                 # regular file
memcheck 1 -v "$dir/missing" 1               # missing path
echo "memcheck clean over 6 scenarios"
