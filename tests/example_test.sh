#!/bin/bash
# SPDX-License-Identifier: MIT
# Runs an example with fifocap from $FIFOCAP and, when the tests run as
# root, again as an unprivileged user (65534, with a home of its own) with
# fifocap from PATH; the copies let that user reach both wherever they
# were built. FIFOCAP_TEST_BINARY, when set, names the fifocap to run.
# Usage: example_test.sh EXAMPLE FIFOCAP
set -euo pipefail
example=$1 fifocap=${FIFOCAP_TEST_BINARY:-$2}
limit=$(cat /proc/sys/fs/pipe-max-size)
if [ "$limit" -lt 1048576 ]; then
  echo "skipped: the examples ask for 1 MiB, above this system's pipe-max-size ($limit)"
  exit 77
fi
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
chmod 755 "$dir"
# shellcheck source=tests/fifocap_command.sh
source "$(dirname "$0")/fifocap_command.sh"
fifocap_command "$dir" "$fifocap"
FIFOCAP=$dir/fifocap "$example"
if [ "$(id -u)" -eq 0 ]; then
  cp "$example" "$dir/"
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -u FIFOCAP HOME="$dir" PATH="$dir:$PATH" "$dir/$(basename "$example")"
fi
