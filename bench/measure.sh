# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Shell functions that measure one run of a command; sourced by bench/run.sh
# and by the instruction-budget test.

# Instructions executed, counted by callgrind: the same figure on every run
# of the same binary, arguments and environment.
count_instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p'
}

# System calls made, execve and exit_group included.
count_syscalls() {
  local log
  log=$(mktemp)
  strace -f -qq -o "$log" "$@" >/dev/null
  grep -cv -e '^[0-9]* *+++' -e '^[0-9]* *---' "$log"
  rm -f "$log"
}
