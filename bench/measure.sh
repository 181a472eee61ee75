# Shell functions that measure one run of a command; sourced by bench/run.sh
# and by the instruction-budget and memcheck tests.

# Makes $dir/fifo in a new temporary folder $dir and holds it open on
# descriptor 3 (read-write, which does not wait), so a writer exists and no
# run waits in its open. Both go when the script exits.
hold_fifo_in_temp_dir() {
  dir=$(mktemp -d)
  trap 'exec 3<&-; rm -rf "$dir"' EXIT
  mkfifo "$dir/fifo"
  exec 3<>"$dir/fifo"
}

# Instructions executed, counted by callgrind: the same figure on every run
# of the same binary, arguments and environment.
count_instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p'
}

# System calls made, execve and exit_group included.
count_syscalls() {
  local log
  log=$(mktemp)
  strace -f -qq -o "$log" "$@" >/dev/null
  grep -cv -e '^[0-9]* *+++' -e '^[0-9]* *---' "$log"
  rm -f "$log"
}
