#!/bin/sh
# SPDX-License-Identifier: MIT
# Shows fifocap's main job on a FIFO that it makes, holds open, and removes.
# Without FIFOCAP, it first installs what the build needs when it is
# missing, and builds fifocap with the default preset, in build/.
# Usage: scripts/demo.sh [FIFOCAP]
set -eu
if [ $# -gt 0 ]; then
  fifocap=$1
else
  top=$(cd "$(dirname "$0")/.." && pwd)
  "$top/scripts/install_needs.sh" build
  cd "$top"
  cmake --preset default >/dev/null
  cmake --build --preset default --target fifocap -j"$(nproc)"
  fifocap=$top/build/fifocap
fi

dir=$(mktemp -d)
trap 'exec 3<&- 2>/dev/null; rm -rf "$dir"' EXIT
fifo=$dir/demo.fifo
mkfifo "$fifo"

# How many bytes a writer can put into the pipe while its reader (the
# descriptor held below) reads nothing: non-blocking writes stop with
# EAGAIN once the pipe is full.
fill() {
  dd if=/dev/zero of="$fifo" bs=4096 count=4096 oflag=nonblock 2>&1 |
    sed -n 's/^\([0-9]*\) bytes.*/\1/p'
}

# Held open read-write, the FIFO has a reader that never reads and a
# writer, so no open below waits, and its pipe, with its capacity, stays
# alive between the commands.
exec 3<>"$fifo"
echo "a writer fits $(fill) bytes into a new pipe that nobody reads"
exec 3<&-

exec 3<>"$fifo" # a fresh, empty pipe
echo "\$ fifocap -v $fifo 1"
"$fifocap" -v "$fifo" 1
echo "a writer now fits $(fill) bytes"
