#!/bin/sh
# SPDX-License-Identifier: MIT
# One FIFO used for several producer and consumer runs, each through a pipe
# of 1 MiB, with end of file and SIGPIPE working as they should.
#
# No shell idiom keeps one pipe, and so its capacity, alive from one run to
# the next without breaking one of the two: whatever holds the FIFO open is
# itself a writer (the consumer then never sees end of file) or a reader
# (a producer whose consumer quits early then blocks instead of dying of
# SIGPIPE, and leaves data for the next consumer). So each run sizes its
# own pipe, at the cost of one run of fifocap, about a millisecond.
# Usage: examples/fifo_across_runs.sh   (fifocap from PATH, or $FIFOCAP)
set -eu
if [ -n "${FIFOCAP:-}" ]; then fifocap() { "$FIFOCAP" "$@"; }; fi
producer() { seq 1000000; }
consumer() { md5sum; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

{
mkfifo stream
for run in 1 2 3; do
  producer > stream &
  { fifocap -v stream 1; consumer; } < stream
done
rm stream
} >received
sent=$(producer | md5sum)
printf "'stream' fifo size: 1048576\n%s\n" "$sent" "$sent" "$sent" | diff - received

# A consumer that stops early still ends its producer: SIGPIPE kills it
# (status 141), or, where SIGPIPE is ignored, its write fails.
mkfifo stream
seq 1000000 > stream &
{ fifocap stream 1; head -c 1000 >/dev/null; } < stream
if wait $!; then
  echo "the producer went on after its consumer had gone"
  exit 1
fi
echo "three runs delivered every byte through a pipe of 1 MiB; an early stop ended the producer"
