#!/bin/bash
# SPDX-License-Identifier: MIT
# Measures what one run of `fifocap -v FIFO 1` costs, on a FIFO held open,
# against the minimal static C program doing the same system calls, and
# against the Python one-liner that users reach for when python3 is present:
# wall time by hyperfine, without a shell (-N); instructions by callgrind and
# system calls by strace, which repeat exactly from run to run.
# Usage: bench/run.sh [RUNS]   (timed runs of each program; default 200)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${FIFOCAP:-}" ]; then
  "$here/../scripts/install_needs.sh" bench
  cd "$here/.."
  cmake --preset bench >/dev/null
  FIFOCAP_BENCH_ARGS="$*" exec cmake --build --preset bench -j"$(nproc)" --target bench
fi
# shellcheck disable=SC2086 # the arguments, passed on through the build
set -- ${FIFOCAP_BENCH_ARGS:-}
runs=${1:-200}
# shellcheck source=bench/measure.sh
source "$here/measure.sh"
# shellcheck source=tests/held_fifo.sh
source "$here/../tests/held_fifo.sh"

hold_fifo_in_temp_dir
fifo=$dir/fifo

names=("minimal static C program" "fifocap")
commands=("$FIFOCAP_BASELINE -v $fifo 1" "$FIFOCAP -v $fifo 1")
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

named=()
for i in "${!commands[@]}"; do named+=(-n "${names[$i]}" "${commands[$i]}"); done
hyperfine -N --warmup 20 --runs "$runs" --style none --export-markdown "$dir/times.md" "${named[@]}" >/dev/null
cat "$dir/times.md"
echo
echo "| program | instructions | system calls |"
echo "|:---|---:|---:|"
for i in "${!commands[@]}"; do
  read -ra words <<<"${commands[$i]}"
  echo "| ${names[$i]} | $(count_instructions "${words[@]}") | $(count_syscalls "${words[@]}") |"
done
