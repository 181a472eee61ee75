#!/bin/bash
# SPDX-License-Identifier: MIT
# The demo does what the README says it shows: a writer fitting a new
# pipe's 16 pages (64 KiB with 4 KiB pages), fifocap -v with its report
# line, and then a writer fitting 1 MiB.
# Usage: demo_test.sh DEMO FIFOCAP
set -euo pipefail
demo=$1 fifocap=$2
limit=$(cat /proc/sys/fs/pipe-max-size)
if [ "$limit" -lt 1048576 ]; then
  echo "skipped: the demo asks for 1 MiB, above this system's pipe-max-size ($limit)"
  exit 0
fi
shown=$("$demo" "$fifocap")
fifo=$(sed -n 's/^\$ fifocap -v \(.*\) 1$/\1/p' <<<"$shown")
expected="a writer fits $(($(getconf PAGESIZE) * 16)) bytes into a new pipe that nobody reads
\$ fifocap -v $fifo 1
'$fifo' fifo size: 1048576
a writer now fits 1048576 bytes"
if [ -z "$fifo" ] || [ "$shown" != "$expected" ]; then
  printf 'the demo showed:\n%s\n' "$shown"
  exit 1
fi
