#!/bin/bash
# SPDX-License-Identifier: MIT
# The blocks that the README and the manual page show with `producer` in
# them, the recipes among them, must be the examples' own commands. Each
# README recipe (a block that runs fifocap between `producer` and
# `consumer`) must run to the end as written, with every byte delivered,
# when typed a line at a time at a person's pace in a fresh folder, with
# fifocap from PATH. And each README console block must print what it
# shows: its "$ " lines are the commands, the others their output.
# Usage: recipes_test.sh README MAN_PAGE EXAMPLES_DIR FIFOCAP [LAUNCHER...]
set -euo pipefail
readme=$1 man=$2 examples=$3 fifocap=$4
shift 4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/fifocap_command.sh
source "$(dirname "$0")/fifocap_command.sh"
mkdir "$work/bin" && fifocap_command "$work/bin" "$fifocap" "$@"

# README sh and console blocks, and the manual page's displays with roff
# escapes undone.
awk -v out="$work/readme" '/^```(sh|console)$/ { n++; kind = substr($0, 4); keep = 1; next }
  /^```$/ { keep = 0 } keep { print > (out "." kind "." n) }' "$readme"
awk -v out="$work/man" '/^\.EX$/ { n++; keep = 1; next } /^\.EE$/ { keep = 0 }
  keep { gsub(/\\-/, "-"); gsub(/\\\(aq/, "\047"); gsub(/\\e/, "\\"); print > (out "." n) }' "$man"
is_recipe() { grep -q fifocap "$1" && grep -q '\bproducer\b' "$1" && grep -q '\bconsumer\b' "$1"; }

status=0
all_examples=$(cat "$examples"/*.sh)
recipes=0
for block in "$work"/readme.sh.* "$work"/man.*; do
  grep -q '\bproducer\b' "$block" || continue
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
for block in "$work"/readme.sh.*; do
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

for block in "$work"/readme.console.*; do
  [ -e "$block" ] || continue
  commands=$(sed -n 's/^\$ //p' "$block")
  shown=$(grep -v '^\$ ' "$block" || true)
  printed=$(cd "$(mktemp -d "$work/tmp.XXXXXX")" && PATH=$work/bin:$PATH timeout 30 bash -c "$commands" 2>&1) ||
    { echo "exit status $? from: $commands"; status=1; }
  if [ "$printed" != "$shown" ]; then
    printf 'the README shows:\n%s\nwhich printed:\n%s\n' "$(cat "$block")" "$printed"
    status=1
  fi
done
exit $status
