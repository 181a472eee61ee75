# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by the shell tests and the benchmarks.
# Makes $dir/fifo in a new temporary folder $dir and holds it open on
# descriptor 3 (read-write, which does not wait), so a writer exists and no
# run waits in its open. Both go when the script exits.
hold_fifo_in_temp_dir() {
  dir=$(mktemp -d)
  trap 'exec 3<&-; rm -rf "$dir"' EXIT
  mkfifo "$dir/fifo"
  exec 3<>"$dir/fifo"
}
