#!/bin/bash
# SPDX-License-Identifier: MIT
# Measures what fifocap is for: the same producer and consumer through a
# pipe at the default capacity and after `fifocap /dev/stdin N`, for three
# shapes of pipeline, timed by hyperfine. Each round times every variant
# of a shape in one hyperfine run, so its ratios compare like with like;
# the rounds alternate the shapes, and the table gives medians over them.
# Prints a markdown table, then the largest speed-up.
# Usage: bench/effect.sh [ROUNDS [RUNS]]   (default 3 rounds of 3 runs)
#        fifocap from $FIFOCAP, or built in build-bench when it is unset
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rounds=${1:-3} runs=${2:-3}
command -v hyperfine >/dev/null || { echo "bench/effect.sh needs hyperfine (apt-get install hyperfine)"; exit 1; }
if [ -z "${FIFOCAP:-}" ]; then
  build=$here/../build-bench
  cmake -S "$here/.." -B "$build" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" --target fifocap -j"$(nproc)" >/dev/null
  FIFOCAP=$build/fifocap
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The capacities: the kernel's default (16 pages), 1 MiB, and 16 MiB where
# pipe-max-size allows it to this user.
default_kib=$(($(getconf PAGESIZE) * 16 / 1024))
limit=$(cat /proc/sys/fs/pipe-max-size)
counts=(1)
[ $((16 << 20)) -le "$limit" ] && counts+=(16)
for count in "${counts[@]}"; do
  granted=$(true | "$FIFOCAP" -v /dev/stdin "$count" 2>&1)
  [ "$granted" = "'/dev/stdin' fifo size: $((count << 20))" ] || { echo "fifocap: $granted"; exit 1; }
done

# The producers and consumers, as shell functions that every timed command
# sources. Data is 32 MiB of random bytes, 8 MiB for the slowest shape.
head -c 32M /dev/urandom >"$work/data"
head -c 8M /dev/urandom >"$work/small"
cat >"$work/shapes.sh" <<SHAPES
ready() { cat "$work/\$1"; }
# Bursts of 512 KiB, 5 ms apart.
bursts() { for _ in \$(seq 64); do head -c 512K /dev/zero; sleep 0.005; done; }
# Reads READ bytes (whole when FULL is set), stalls for 10 ms, and again.
stalls() {
  local n
  while n=\$(dd bs="\$1" count=1 \${2:+iflag=fullblock} 2>/dev/null | wc -c) && [ "\$n" -gt 0 ]; do
    sleep 0.01
  done
}
SHAPES
names=("always-ready producer, CPU-bound consumer (gzip)"
  "bursts of 512 KiB every 5 ms, consumer reads 1 MiB then stalls 10 ms"
  "always-ready producer, consumer makes one read per 10 ms stall")
producers=("ready data" "bursts" "ready small")
consumers=("gzip -1 >/dev/null" "stalls 1M full" "stalls 64M")

for round in $(seq "$rounds"); do
  for shape in "${!producers[@]}"; do
    producer="source $work/shapes.sh; ${producers[$shape]}" consumer=${consumers[$shape]}
    variants=(-n default "$producer | $consumer")
    for count in "${counts[@]}"; do
      variants+=(-n "$count" "$producer | { $FIFOCAP /dev/stdin $count; $consumer; }")
    done
    hyperfine --shell=bash --runs "$runs" --warmup 1 --style none \
      --export-csv "$work/round$round.shape$shape.csv" "${variants[@]}" >/dev/null
  done
done

# Per shape and variant: the median over rounds of hyperfine's median, and
# the median over rounds of each round's own ratio to the default.
value() { awk -F, -v name="$1" '$1 == name { print $4 }' "$2"; } # hyperfine's median
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
header="| pipeline | ${default_kib} KiB (default) |"
rule="|---|---:|"
for count in "${counts[@]}"; do header+=" $count MiB | speed-up |"; rule+="---:|---:|"; done
echo "$header"
echo "$rule"
best=0
for shape in "${!producers[@]}"; do
  csvs=("$work"/round*.shape"$shape".csv)
  row="| ${names[$shape]} | $(for f in "${csvs[@]}"; do value default "$f"; done | median | awk '{ printf "%.2f s", $1 }') |"
  for count in "${counts[@]}"; do
    time=$(for f in "${csvs[@]}"; do value "$count" "$f"; done | median)
    ratio=$(for f in "${csvs[@]}"; do awk -v d="$(value default "$f")" -v c="$(value "$count" "$f")" 'BEGIN { print d / c }'; done | median)
    row+=$(awk -v t="$time" -v r="$ratio" 'BEGIN { printf " %.2f s | %.1f× |", t, r }')
    best=$(awk -v b="$best" -v r="$ratio" 'BEGIN { print (r > b ? r : b) }')
  done
  echo "$row"
done
echo
awk -v b="$best" 'BEGIN { printf "largest speed-up: %.1f×\n", b }'
