#!/bin/bash
# SPDX-License-Identifier: MIT
# Fails unless fish and zsh, as this user starts them, complete "fifocap -"
# to -v: what an installed fifocap's completion gives them, found where
# each shell looks. Each starts with a scratch home, so that no user's own
# set-up takes part.
# Usage: installed_completion_test.sh
set -euo pipefail
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
fish=$(HOME=$home fish -c 'complete -C "fifocap -"' | cut -f1)
zsh=$(HOME=$home zsh -f "$(dirname "$0")/zsh_completions.zsh" "" "fifocap -")
if [ "$fish" != -v ] || [ "$zsh" != -v ]; then
  echo "for fifocap -, fish offered '$fish' and zsh '$zsh'"
  exit 1
fi
