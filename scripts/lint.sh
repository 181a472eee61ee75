#!/bin/bash
# SPDX-License-Identifier: MIT
# Static checks: licence lines, shellcheck, formatting, clang-tidy (rules in
# .clang-tidy) and cppcheck.
# Usage: scripts/lint.sh [BUILD_DIR]   (a configured build, for compile_commands.json)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cd "$top"
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" >/dev/null

echo "licence"
# Data and documents carry no such line; packaging/copyright states the licence.
not_code=(':!:tests/fuzz/corpus/' ':!:*.md' ':!:*.svg' ':!:LICENSE' ':!:.gitignore' ':!:packaging/changelog'
  ':!:packaging/copyright' ':!:packaging/lintian-overrides')
unlicensed=$(git ls-files "${not_code[@]}" |
  while read -r file; do head -n 2 "$file" | grep -q 'SPDX-License-Identifier: MIT' || echo "$file"; done)
[ -z "$unlicensed" ] || { echo "no SPDX-License-Identifier line: $unlicensed"; exit 1; }

echo "shellcheck, and the zsh and fish files' syntax"
shellcheck -x .ci/run scripts/*.sh tests/*.sh bench/*.sh completion/fifocap
zsh -n completion/_fifocap tests/zsh_completions.zsh
fish --no-execute completion/fifocap.fish

echo "clang-format"
clang-format --dry-run --Werror src/*.cpp src/*.hpp tests/*.cpp tests/*.hpp tests/fuzz/*.cpp

echo "clang-tidy"
clang-tidy --quiet -p "$build" src/*.cpp 2> >(grep -v " warnings generated\.$" >&2)

echo "cppcheck"
cppcheck --enable=warning,style,performance,portability --std=c++20 --error-exitcode=1 --quiet \
  --inline-suppr -I src src
cppcheck --enable=warning,style,performance,portability --error-exitcode=1 --quiet bench/baseline_minimal.c
