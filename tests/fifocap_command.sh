# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by the shell tests that run fifocap by name, as a user does.
# fifocap_command DIR FIFOCAP makes the command DIR/fifocap from a copy of
# FIFOCAP in DIR, which any user can reach: the copy itself, or, given
# FIFOCAP_TEST_LAUNCHER (a binary of another architecture), a script that
# runs it under that launcher.
fifocap_command() {
  local dir=$1 binary=$2
  if [ -z "${FIFOCAP_TEST_LAUNCHER:-}" ]; then
    cp "$binary" "$dir/fifocap"
    return
  fi
  cp "$binary" "$dir/fifocap.target"
  # shellcheck disable=SC2016 # $0 and $@ are the script's own
  printf '#!/bin/sh\nexec %s "$0.target" "$@"\n' "$FIFOCAP_TEST_LAUNCHER" >"$dir/fifocap"
  chmod 755 "$dir/fifocap"
}
