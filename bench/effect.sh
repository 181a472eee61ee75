#!/bin/bash
# SPDX-License-Identifier: MIT
# Measures when fifocap helps, beside the userspace buffers that users put
# into a pipeline instead: six shapes of pipeline P | C, each timed by
# hyperfine in six variants:
#   default                    P | C
#   fifocap 1 MiB              P | { fifocap /dev/stdin 1; C; }
#   mbuffer -m 1M              P | mbuffer -q -m 1M | C
#   mbuffer -m 64M             P | mbuffer -q -m 64M | C
#   pv -B 1M                   P | pv -q -B 1M | C
#   mbuffer -m 64M + fifocap   P | mbuffer -q -m 64M | { fifocap /dev/stdin 1; C; }
# A round times every variant of one shape once, in one hyperfine run and
# in a shuffled order, and takes each variant's speed-up within the round
# (the default's time over the variant's); the rounds alternate the shapes.
# Prints a markdown table of the median and range over the rounds of the
# wall time and the speed-up, and the median CPU time (user and system, of
# the whole pipeline), then the largest median speed-up.
# Usage: bench/effect.sh [ROUNDS]   (default 3; the README's table: 9)
#        fifocap from $FIFOCAP, or built in build-bench when it is unset
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rounds=${1:-3}
"$here/../scripts/install_needs.sh" bench
if [ -z "${FIFOCAP:-}" ]; then
  build=$here/../build-bench
  cmake -S "$here/.." -B "$build" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" --target fifocap -j"$(nproc)" >/dev/null
  FIFOCAP=$build/fifocap
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

granted=$(true | "$FIFOCAP" -v /dev/stdin 1 2>&1)
[ "$granted" = "'/dev/stdin' fifo size: 1048576" ] || { echo "fifocap: $granted"; exit 1; }
default_kib=$(($(getconf PAGESIZE) * 16 / 1024))

# The producers and consumers, as shell functions that every timed command
# sources. Data is 32 MiB of random bytes, 8 MiB for the slowest shape.
raw_mib=1000
head -c 32M /dev/urandom >"$work/data"
head -c 8M /dev/urandom >"$work/small"
cat >"$work/shapes.sh" <<SHAPES
ready() { cat "$work/\$1"; }
# COUNT bursts of SIZE, PAUSE seconds apart.
bursts() { for _ in \$(seq "\$1"); do head -c "\$2" /dev/zero; sleep "\$3"; done; }
# Reads READ bytes (whole when FULL is set), stalls for 10 ms, and again.
stalls() {
  local n
  while n=\$(dd bs="\$1" count=1 \${2:+iflag=fullblock} 2>/dev/null | wc -c) && [ "\$n" -gt 0 ]; do
    sleep 0.01
  done
}
SHAPES
shapes=("raw throughput: $raw_mib MiB from dd to dd, 1 MiB blocks"
  "always-ready producer, consumer makes one read per 10 ms stall"
  "always-ready producer, CPU-bound consumer (gzip)"
  "bursts of 512 KiB every 5 ms, consumer reads 1 MiB then stalls 10 ms"
  "bursts of 8 MiB every 250 ms, consumer reads 1 MiB then stalls 10 ms"
  "bursts of 4 MiB every 100 ms, consumer makes one read per 10 ms stall")
producers=("dd if=/dev/zero bs=1M count=$raw_mib status=none" "ready small" "ready data"
  "bursts 64 512K 0.005" "bursts 8 8M 0.25" "bursts 6 4M 0.1")
consumers=("dd of=/dev/null bs=1M status=none" "stalls 64M" "gzip -1 >/dev/null"
  "stalls 1M full" "stalls 1M full" "stalls 64M")
variants=("default" "fifocap 1 MiB" "mbuffer -m 1M" "mbuffer -m 64M" "pv -B 1M"
  "mbuffer -m 64M + fifocap")
# The pipeline of variant V for producer P and consumer C.
pipeline() {
  local sized="{ $FIFOCAP /dev/stdin 1; $3; }"
  case $1 in
  0) echo "$2 | $3" ;;
  1) echo "$2 | $sized" ;;
  2) echo "$2 | mbuffer -q -m 1M | $3" ;;
  3) echo "$2 | mbuffer -q -m 64M | $3" ;;
  4) echo "$2 | pv -q -B 1M | $3" ;;
  5) echo "$2 | mbuffer -q -m 64M | $sized" ;;
  esac
}

for round in $(seq "$rounds"); do
  for shape in "${!shapes[@]}"; do
    commands=()
    for variant in $(shuf -e "${!variants[@]}"); do
      commands+=(-n "${variants[$variant]}"
        "source $work/shapes.sh; $(pipeline "$variant" "${producers[$shape]}" "${consumers[$shape]}")")
    done
    hyperfine --shell=bash --runs 1 --style none \
      --export-csv "$work/shape$shape.round$round.csv" "${commands[@]}" >/dev/null
  done
done

echo "| pipeline | variant | wall time, median (range) | speed-up, median (range) | CPU time |"
echo "|---|---|---:|---:|---:|"
order=$(IFS='|' && echo "${variants[*]}")
for shape in "${!shapes[@]}"; do
  awk -F, -v shape="${shapes[$shape]}" -v raw=$((shape == 0)) -v raw_bytes=$((raw_mib << 20)) \
    -v order="$order" -v default_label="default ($default_kib KiB)" -v best_file="$work/best" '
    # Sorts a[1..n] in place, so that a[1] and a[n] are then the range.
    function sort(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    }
    function median(a, n) { sort(a, n); return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
    FNR == 1 { rounds++; next } # the header of each round
    { wall[$1, rounds] = $2; cpu[$1, rounds] = $5 + $6 }
    END {
      n = split(order, names, "|")
      for (v = 1; v <= n; v++) {
        name = names[v]
        for (r = 1; r <= rounds; r++) {
          w[r] = wall[name, r]; c[r] = cpu[name, r]; s[r] = wall["default", r] / wall[name, r]
        }
        wm = median(w, rounds); sm = median(s, rounds)
        time = sprintf("%.2f s (%.2f–%.2f)", wm, w[1], w[rounds])
        if (raw) time = time sprintf(", %.2f GB/s", raw_bytes / wm / 1e9)
        up = v == 1 ? "1" : sprintf("%.2f× (%.2f–%.2f)", sm, s[1], s[rounds])
        printf "| %s | %s | %s | %s | %.2f s |\n", v == 1 ? shape : "", v == 1 ? default_label : name,
          time, up, median(c, rounds)
        if (v > 1) print sm >> best_file
      }
    }' "$work"/shape"$shape".round*.csv
done
echo
sort -g "$work/best" | tail -n 1 | awk '{ printf "largest speed-up: %.1f×\n", $1 }'
