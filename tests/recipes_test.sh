#!/bin/bash
# SPDX-License-Identifier: MIT
# The blocks that the README and the manual page show with `producer` in
# them, the recipes among them, must be the examples' own commands. Each
# README recipe (a block that runs fifocap between `producer` and
# `consumer`) must run to the end as written, with fifocap from PATH, in a
# fresh folder, after the README's own definitions of the two, delivering
# every byte; a recipe of several lines is typed a line a second, as a
# person types it, since what it shows is that nothing is lost between the
# lines. And each README console block must print what it shows: its "$ "
# lines are the commands, the others their output.
# Usage: recipes_test.sh SOURCE_DIR FIFOCAP
set -euo pipefail
source_dir=$1 fifocap=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=tests/fifocap_command.sh
source "$(dirname "$0")/fifocap_command.sh"
mkdir "$work/bin" && fifocap_command "$work/bin" "$fifocap"

# README sh and console blocks, and the manual page's displays with roff
# escapes undone.
awk -v out="$work/readme" '/^```(sh|console)$/ { n++; kind = substr($0, 4); keep = 1; next }
  /^```$/ { keep = 0 } keep { print > (out "." kind "." n) }' "$source_dir/README.md"
awk -v out="$work/man" '/^\.EX$/ { n++; keep = 1; next } /^\.EE$/ { keep = 0 }
  keep { gsub(/\\-/, "-"); gsub(/\\\(aq/, "\047"); gsub(/\\e/, "\\"); print > (out "." n) }' \
  "$source_dir/man/fifocap.1"
is_recipe() { grep -q fifocap "$1" && grep -q '\bproducer\b' "$1" && grep -q '\bconsumer\b' "$1"; }

status=0
all_examples=$(cat "$source_dir"/examples/*.sh)
definitions="" recipes=()
for block in "$work"/readme.sh.* "$work"/man.*; do
  grep -q '\bproducer\b' "$block" || continue
  if [[ $all_examples != *"$(cat "$block")"* ]]; then
    echo "not one of the examples' commands ($(basename "$block")):"
    cat "$block"
    status=1
  fi
  [[ $block == */readme.sh.* ]] || continue
  if grep -q '^producer()' "$block"; then definitions=$block; elif is_recipe "$block"; then recipes+=("$block"); fi
done
if [ -z "$definitions" ] || [ ${#recipes[@]} -eq 0 ]; then
  echo "no definitions of producer and consumer, or no recipes"
  exit 1
fi

# Every recipe at once, each in its own folder and shell.
sent=$(bash -c "source '$definitions'; producer | sha256sum")
for block in "${recipes[@]}"; do
  folder=$(mktemp -d "$work/tmp.XXXXXX")
  pace=0
  [ "$(wc -l <"$block")" -eq 1 ] || pace=1
  { cat "$definitions"
    while IFS= read -r line; do printf '%s\n' "$line"; sleep $pace; done <"$block"
    echo wait; } |
    (cd "$folder" && PATH=$work/bin:$PATH TMPDIR=$folder timeout 60 bash --norc --noprofile) \
      >"$folder.out" 2>&1 &
  echo "$! $block $folder" >>"$work/running"
done
while read -r pid block folder; do
  if ! wait "$pid"; then
    echo "failed:"
    cat "$block" "$folder.out"
    status=1
  # Nothing but report lines of 1 MiB and the checksum of what was sent.
  elif ! grep -qxF -e "$sent" "$folder.out" ||
    grep -vxF -e "$sent" "$folder.out" | grep -vqE "^'[^']*' fifo size: 1048576$"; then
    echo "bytes lost, or something went wrong, in:"
    cat "$block" "$folder.out"
    status=1
  fi
done <"$work/running"

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
