#!/bin/bash
# SPDX-License-Identifier: MIT
# The recipes that the README and the manual page show, the blocks that
# run fifocap between `producer` and `consumer`, must be the examples' own
# commands. And each README recipe must run to the end as written, with
# every byte delivered, when typed a line at a time at a person's pace in
# a fresh folder, with fifocap from PATH.
# Usage: recipes_test.sh README MAN_PAGE EXAMPLES_DIR FIFOCAP [LAUNCHER...]
set -euo pipefail
readme=$1 man=$2 examples=$3 fifocap=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/fifocap_command.sh
source "$(dirname "$0")/fifocap_command.sh"
mkdir "$work/bin" && fifocap_command "$work/bin" "$fifocap" "$@"

# README sh blocks, and the manual page's displays with roff escapes undone.
awk -v out="$work/readme" '/^```sh$/ { n++; keep = 1; next } /^```$/ { keep = 0 } keep { print > (out "." n) }' "$readme"
awk -v out="$work/man" '/^\.EX$/ { n++; keep = 1; next } /^\.EE$/ { keep = 0 }
  keep { gsub(/\\-/, "-"); gsub(/\\\(aq/, "\047"); gsub(/\\e/, "\\"); print > (out "." n) }' "$man"
is_recipe() { grep -q fifocap "$1" && grep -q '\bproducer\b' "$1" && grep -q '\bconsumer\b' "$1"; }

status=0
all_examples=$(cat "$examples"/*.sh)
recipes=0
for block in "$work"/readme.* "$work"/man.*; do
  is_recipe "$block" || continue
  recipes=$((recipes + 1))
  if [[ $all_examples != *"$(cat "$block")"* ]]; then
    echo "not one of the examples' commands ($(basename "$block")):"
    cat "$block"
    status=1
  fi
done
[ "$recipes" -gt 0 ] || { echo "no recipes found"; exit 1; }

producer='producer() { tar -cf - -C /usr/share/doc .; }'
consumer='consumer() { sha256sum; }'
sent=$(eval "$producer; producer" | sha256sum)
for block in "$work"/readme.*; do
  is_recipe "$block" || continue
  folder=$(mktemp -d "$work/tmp.XXXXXX")
  # A line a second, then wait for whatever the recipe left in the background.
  { printf '%s\n%s\n' "$producer" "$consumer"
    while IFS= read -r line; do printf '%s\n' "$line"; sleep 1; done <"$block"
    echo wait; } |
    (cd "$folder" && PATH=$work/bin:$PATH TMPDIR=$folder timeout 30 bash --norc --noprofile) \
      >"$folder.out" 2>&1 || { echo "exit status $? from:"; cat "$block" "$folder.out"; status=1; continue; }
  # Nothing but report lines of 1 MiB and the checksum of what was sent.
  if ! grep -qxF -e "$sent" "$folder.out" ||
    grep -vxF -e "$sent" "$folder.out" | grep -vqE "^'[^']*' fifo size: 1048576$"; then
    echo "bytes lost, or something went wrong, in:"
    cat "$block" "$folder.out"
    status=1
  fi
done
exit $status
