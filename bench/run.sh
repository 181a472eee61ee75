#!/bin/bash
# SPDX-License-Identifier: MIT
# Measures what one run of `fifocap -v FIFO 1` costs, on a FIFO held open,
# against the minimal static C program doing the same system calls, and
# against the Python one-liner that users reach for when python3 is present.
# Usage: bench/run.sh [RUNS]   (timed runs of each program; default 200)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${FIFOCAP_BENCH_BUILD:-$here/../build-bench}
runs=${1:-200}
if [ -z "${FIFOCAP_BENCH_NO_BUILD:-}" ]; then
  cmake -S "$here/.." -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" --target fifocap fifocap_baseline time_runs -j"$(nproc)" >/dev/null
fi
# shellcheck source=bench/measure.sh
source "$here/measure.sh"
# shellcheck source=tests/held_fifo.sh
source "$here/../tests/held_fifo.sh"

hold_fifo_in_temp_dir
fifo=$dir/fifo

names=("minimal static C program" "fifocap")
commands=("$build/bench/fifocap_baseline -v $fifo 1" "$build/fifocap -v $fifo 1")
# The interpreter itself, not a wrapper script that may stand in for it on PATH.
if python3=$(python3 -c 'import sys; print(sys.executable)' 2>/dev/null); then
  cat >"$dir/setpipe.py" <<'PY'
import fcntl, os, sys
fd = os.open(sys.argv[1], os.O_RDONLY)
fcntl.fcntl(fd, fcntl.F_SETPIPE_SZ, 1 << 20)
print(fcntl.fcntl(fd, fcntl.F_GETPIPE_SZ))
os.close(fd)
PY
  names+=("python3 with fcntl.F_SETPIPE_SZ")
  commands+=("$python3 $dir/setpipe.py $fifo")
fi

# The two small programs alternate in one loop. The interpreter is timed in
# a loop of its own: run between them, it evicts their caches and would
# slow whichever came next.
read -ra baseline <<<"${commands[0]}"
read -ra tool <<<"${commands[1]}"
mapfile -t medians < <("$build/bench/time_runs" "$runs" "${baseline[@]}" ::: "${tool[@]}")
if [ "${#commands[@]}" -gt 2 ]; then
  read -ra python <<<"${commands[2]}"
  medians+=("$("$build/bench/time_runs" "$runs" "${python[@]}")")
fi

printf '| program | instructions | ratio | system calls | ratio | median wall time (%d runs) | ratio |\n' "$runs"
printf '|---|---:|---:|---:|---:|---:|---:|\n'
for i in "${!commands[@]}"; do
  read -ra words <<<"${commands[$i]}"
  instructions=$(count_instructions "${words[@]}")
  syscalls=$(count_syscalls "${words[@]}")
  [ "$i" -eq 0 ] && base_i=$instructions base_s=$syscalls base_t=${medians[0]}
  awk -v n="${names[$i]}" -v i="$instructions" -v s="$syscalls" -v t="${medians[$i]}" \
    -v bi="$base_i" -v bs="$base_s" -v bt="$base_t" \
    'BEGIN { printf "| %s | %d | %.2f | %d | %.2f | %.0f us | %.2f |\n", n, i, i / bi, s, s / bs, t / 1000, t / bt }'
done
