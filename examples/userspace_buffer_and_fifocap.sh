#!/bin/sh
# SPDX-License-Identifier: MIT
# A userspace buffer and fifocap together, where both limits apply: bursts
# larger than any pipe may grow (pipe-max-size, 1 MiB by default) go into
# mbuffer's 64 MiB, and fifocap gives the consumer's own pipe 1 MiB, so
# that each read takes up to 1 MiB where it would take 64 KiB. mbuffer
# alone leaves the consumer reading from a pipe of 64 KiB.
# Usage: examples/userspace_buffer_and_fifocap.sh   (fifocap from PATH, or $FIFOCAP)
# Needs: mbuffer
set -eu
if [ -n "${FIFOCAP:-}" ]; then fifocap() { "$FIFOCAP" "$@"; }; fi
producer() { seq 1000000; }
consumer() { sha256sum; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
sent=$(producer | sha256sum)

# The recipe, as the README and the manual page show it. The report line
# shows the capacity in force on the pipe that the consumer reads.
producer | mbuffer -q -m 64M | { fifocap -v /dev/stdin 1; consumer; } >received
printf "'/dev/stdin' fifo size: 1048576\n%s\n" "$sent" | diff - received
echo "every byte arrived through mbuffer and a pipe of 1 MiB"
