#!/bin/bash
# SPDX-License-Identifier: MIT
# Fails on any warning groff gives for the man page as the build fills it in.
# Usage: man_lint.sh GROFF PAGE
set -euo pipefail
groff=$1 page=$2
warnings=$("$groff" -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  printf '%s\n' "$warnings"
  exit 1
fi
if grep -n '@[A-Z_]*@' "$page"; then
  echo "a placeholder was left unfilled"
  exit 1
fi
