#!/bin/bash
# SPDX-License-Identifier: MIT
# Fails on any warning groff gives for the man page as the build fills it in.
# Usage: man_lint.sh PAGE
set -euo pipefail
command -v groff >/dev/null || { echo "skipped: groff is not installed"; exit 77; }
warnings=$(groff -man -ww -z "$1" 2>&1)
if [ -n "$warnings" ]; then
  printf '%s\n' "$warnings"
  exit 1
fi
if grep -n '@[A-Z_]*@' "$1"; then
  echo "a placeholder was left unfilled"
  exit 1
fi
