#!/bin/sh
# SPDX-License-Identifier: MIT
# A FIFO between one producer and one consumer, given 1 MiB with no moment
# in which data can be lost or a command left waiting. The consumer's side
# opens the FIFO first (the shell's "< stream"); that open meets the
# producer's, so fifocap finds both ends connected and does not wait, and
# the pipe it sizes is the one the consumer goes on reading.
# Usage: examples/fifo_between_producer_and_consumer.sh
#        (runs fifocap from PATH, or $FIFOCAP when set)
set -eu
if [ -n "${FIFOCAP:-}" ]; then fifocap() { "$FIFOCAP" "$@"; }; fi
producer() { seq 1000000; }
consumer() { sha256sum; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The recipe, as the README and the manual page show it.
{
mkfifo stream
producer > stream &
{ fifocap -v stream 1; consumer; } < stream
rm stream
} >received
wait $! || { echo "the producer failed with status $?"; exit 1; }

# The report line shows the capacity in force on the consumer's own pipe,
# and the checksums show that every byte arrived.
printf "'stream' fifo size: 1048576\n%s\n" "$(producer | sha256sum)" >expected
diff expected received
echo "every byte arrived through a pipe of 1 MiB"
