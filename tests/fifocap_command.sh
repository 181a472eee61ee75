# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by the shell tests that run fifocap by name, as a user does.
# fifocap_command DIR FIFOCAP [LAUNCHER...] makes the command DIR/fifocap
# from a copy of FIFOCAP in DIR, which any user can reach: the copy itself,
# or, in a cross build, a script that runs it under LAUNCHER.
fifocap_command() {
  local dir=$1 binary=$2
  shift 2
  if [ $# -eq 0 ]; then
    cp "$binary" "$dir/fifocap"
    return
  fi
  cp "$binary" "$dir/fifocap.target"
  # shellcheck disable=SC2016 # $0 and $@ are the script's own
  printf '#!/bin/sh\nexec %s"$0.target" "$@"\n' "$(printf '%q ' "$@")" >"$dir/fifocap"
  chmod 755 "$dir/fifocap"
}
