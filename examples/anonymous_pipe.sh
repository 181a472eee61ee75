#!/bin/sh
# SPDX-License-Identifier: MIT
# Sizing the anonymous pipe of a shell pipeline: fifocap opens it again
# through /dev/stdin on the consumer's side, or /dev/stdout on the
# producer's. Neither open waits, since the pipe's other end is open.
# Usage: examples/anonymous_pipe.sh   (fifocap from PATH, or $FIFOCAP)
set -eu
if [ -n "${FIFOCAP:-}" ]; then fifocap() { "$FIFOCAP" "$@"; }; fi
producer() { seq 1000000; }
consumer() { sha1sum; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
sent=$(producer | sha1sum)

# On the consumer's side: the report goes to the terminal.
producer | { fifocap -v /dev/stdin 1; consumer; } >received
printf "'/dev/stdin' fifo size: 1048576\n%s\n" "$sent" | diff - received

# On the producer's side: without -v, as the report would join the data.
{ fifocap /dev/stdout 1; producer; } | consumer >received
echo "$sent" | diff - received

# The same with -v, to see the capacity: the consumer reads the report
# line off the front of the stream, a byte at a time, then the data.
{ fifocap -v /dev/stdout 1; producer; } | { IFS= read -r report; echo "$report"; consumer; } >received
printf "'/dev/stdout' fifo size: 1048576\n%s\n" "$sent" | diff - received
echo "every byte arrived through pipes of 1 MiB, sized from either end"
