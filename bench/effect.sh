#!/bin/bash
# SPDX-License-Identifier: MIT
# Measures when fifocap helps, beside the userspace buffers that users put
# into a pipeline instead: eight shapes of pipeline P | C, two of them made
# only of real programs, each timed by hyperfine in six variants:
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
# the whole pipeline), then the largest median speed-up; and draws the
# speed-ups, with their ranges, into an SVG chart with gnuplot.
# Usage: bench/effect.sh [ROUNDS [CHART]]
#        (default 3 rounds, and effect.svg in the bench build's folder;
#        bench/README.md: 9, bench/effect.svg)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${FIFOCAP:-}" ]; then
  "$here/../scripts/install_needs.sh" bench
  [ $# -lt 2 ] || set -- "$1" "$(realpath -m "$2")" # the build runs it from its own folder
  cd "$here/.."
  cmake --preset bench >/dev/null
  FIFOCAP_BENCH_ARGS="$*" exec cmake --build --preset bench -j"$(nproc)" --target effect
fi
# shellcheck disable=SC2086 # the arguments, passed on through the build
set -- ${FIFOCAP_BENCH_ARGS:-}
rounds=${1:-3}
chart=${2:-$(dirname "$FIFOCAP")/effect.svg}
mkdir -p "$(dirname "$chart")"
# On disk, not in a tmpfs, where a synced write would cost nothing.
work=$(mktemp -d /var/tmp/fifocap-effect.XXXXXX)
trap 'rm -rf "$work"' EXIT

granted=$(true | "$FIFOCAP" -v /dev/stdin 1 2>&1)
[ "$granted" = "'/dev/stdin' fifo size: 1048576" ] || { echo "fifocap: $granted"; exit 1; }
default_kib=$(($(getconf PAGESIZE) * 16 / 1024))

# The producers and consumers, as shell functions that every timed command
# sources. The image is 128 MiB of this machine's own files, as a disk
# image holds, and its zstd-compressed copy (openssl reads it four times
# over); data is 32 MiB of random bytes, 8 MiB for the slowest shape.
raw_mib=1000
{ tar -cf - /usr/share /usr/lib 2>/dev/null || true; } | head -c 128M >"$work/image" # tar stops at the pipe
zstd -q -1 "$work/image" -o "$work/image.zst"
head -c 32M /dev/urandom >"$work/data"
head -c 8M /dev/urandom >"$work/small"
cat >"$work/shapes.sh" <<SHAPES
ready() { for name; do cat "$work/\$name"; done; }
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
# Each shape: its name in the table, its label on the chart, the producer
# and the consumer.
shapes=("image to disk: zstd -dc, then dd bs=1M oflag=dsync into a file"
  "8 KiB reads: openssl enc -aes-128-ctr"
  "raw throughput: $raw_mib MiB from dd to dd, 1 MiB blocks"
  "always-ready producer, CPU-bound consumer (gzip)"
  "always-ready producer, consumer makes one read per 10 ms stall"
  "bursts of 512 KiB every 5 ms, consumer reads 1 MiB then stalls 10 ms"
  "bursts of 8 MiB every 250 ms, consumer reads 1 MiB then stalls 10 ms"
  "bursts of 4 MiB every 100 ms, consumer makes one read per 10 ms stall")
labels=("zstd | dd oflag=dsync" "openssl enc" "dd to dd, 1 MiB" "gzip" "one read per stall"
  "512 KiB bursts" "8 MiB bursts" "4 MiB bursts, one read per stall")
producers=("zstd -dc $work/image.zst" "ready image image image image" "dd if=/dev/zero bs=1M count=$raw_mib status=none"
  "ready data" "ready small" "bursts 64 512K 0.005" "bursts 8 8M 0.25" "bursts 6 4M 0.1")
consumers=("dd of=$work/written bs=1M oflag=dsync status=none"
  "openssl enc -aes-128-ctr -pbkdf2 -pass pass:fifocap -out /dev/null"
  "dd of=/dev/null bs=1M status=none" "gzip -1 >/dev/null" "stalls 64M" "stalls 1M full"
  "stalls 1M full" "stalls 64M")
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
  # The chart's data: one line per shape, with the label, then the median,
  # lowest and highest speed-up of each variant but the default.
  awk -F, -v shape="${shapes[$shape]}" -v label="${labels[$shape]}" -v raw=$((shape == 2)) \
    -v raw_bytes=$((raw_mib << 20)) -v order="$order" -v default_label="default ($default_kib KiB)" \
    -v best_file="$work/best" -v chart_file="$work/chart.dat" '
    # Sorts a[1..n] in place, so that a[1] and a[n] are then the range.
    function sort(a, n,   i, j, t) {
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    }
    function median(a, n) { sort(a, n); return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
    FNR == 1 { rounds++; next } # the header of each round
    { wall[$1, rounds] = $2; cpu[$1, rounds] = $5 + $6 }
    END {
      n = split(order, names, "|")
      printf "\"%s\"", label >> chart_file
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
        if (v > 1) {
          print sm >> best_file
          printf " %.3f %.3f %.3f", sm, s[1], s[rounds] >> chart_file
        }
      }
      print "" >> chart_file
    }' "$work"/shape"$shape".round*.csv
done
echo
sort -g "$work/best" | tail -n 1 | awk '{ printf "largest speed-up: %.1f×\n", $1 }'

# One group of bars per shape, one bar per variant, rising from 1 (the
# default pipe) to the median speed-up, on a log scale; the whiskers span
# the rounds' range.
titles=$(for v in "${!variants[@]}"; do [ "$v" -eq 0 ] || printf 'titles[%d] = "%s"\n' "$v" "${variants[$v]}"; done)
gnuplot <<PLOT
array titles[$((${#variants[@]} - 1))]
$titles
set terminal svg size 1000,520 dynamic font "sans,12" background "white"
set output "$chart"
set title "Speed-up over the default $default_kib KiB pipe: median and range of $rounds rounds"
set logscale y 2
set yrange [0.25:32]
set ytics ("0.25×" 0.25, "0.5×" 0.5, "1×" 1, "2×" 2, "4×" 4, "8×" 8, "16×" 16, "32×" 32)
set grid ytics
set xrange [-0.6:${#shapes[@]}-0.4]
set xtics rotate by -25 left nomirror
set key outside top center horizontal
set rmargin 14
set bmargin 7
set style fill solid 0.8 noborder
width = 0.15
x(shape, v) = shape + (v - 2) * width
plot for [v = 0:4] "$work/chart.dat" \
       using (x(\$0, v)):(1):(x(\$0, v) - width / 2):(x(\$0, v) + width / 2):(1):(column(2 + 3 * v)) \
       with boxxyerror title titles[v + 1] linecolor v + 1, \
     for [v = 0:4] "$work/chart.dat" \
       using (x(\$0, v)):(column(2 + 3 * v)):(column(3 + 3 * v)):(column(4 + 3 * v)) \
       with yerrorbars notitle linecolor "black" pointtype -1, \
     "$work/chart.dat" using 0:(1):xtic(1) with points notitle pointtype -1, \
     1 title "default pipe" linecolor "black" dashtype 2
PLOT
echo "chart: $chart"
