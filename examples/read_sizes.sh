#!/bin/sh
# SPDX-License-Identifier: MIT
# How much a consumer asks for with each read of its standard input, the
# size that tells whether a pipe larger than 64 KiB can help it: strace
# records the reads, and the commonest sizes asked for are counted.
# sha256sum asks for 32 KiB at a time, so a larger pipe gives it no more.
# Usage: examples/read_sizes.sh
# Needs: strace
set -eu
producer() { seq 1000000; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The commands, as the README shows them.
{
producer | strace -o reads.txt -e trace=read sha256sum >/dev/null
sed -n 's/^read(0, .*, \([0-9]*\)) = .*/\1/p' reads.txt | sort -n | uniq -c | sort -rn | head -n 3
} >counts
cat counts
read -r reads size <counts
if [ "$reads" -lt 1 ] || [ "$size" -lt 1 ]; then
  echo "no reads of standard input were counted"
  exit 1
fi
echo "its commonest read asks for $size bytes"
