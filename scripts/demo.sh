#!/bin/sh
# SPDX-License-Identifier: MIT
# Shows fifocap's main job on a FIFO that it makes, holds open, and removes.
# Usage: scripts/demo.sh path/to/fifocap
set -eu
fifocap=${1:?usage: $0 path/to/fifocap}

dir=$(mktemp -d)
trap 'exec 3<&- 2>/dev/null; rm -rf "$dir"' EXIT
fifo=$dir/demo.fifo
mkfifo "$fifo"

# How many bytes a writer can put into the pipe with no reader taking any:
# non-blocking writes stop with EAGAIN once the pipe is full.
fill() {
  dd if=/dev/zero of="$fifo" bs=4096 count=4096 oflag=nonblock 2>&1 |
    sed -n 's/^\([0-9]*\) bytes.*/\1/p'
}

# Holding the FIFO open (read and write, so no open waits) keeps its pipe,
# and so its capacity, alive between the commands below.
exec 3<>"$fifo"
echo "a writer fits $(fill) bytes into a new pipe"
exec 3<&-

exec 3<>"$fifo" # a fresh, empty pipe
echo "\$ fifocap -v $fifo 1"
"$fifocap" -v "$fifo" 1
echo "a writer now fits $(fill) bytes"
