#!/bin/bash
# Static checks: formatting, clang-tidy (rules in .clang-tidy) and cppcheck.
# Usage: scripts/lint.sh [BUILD_DIR]   (a configured build, for compile_commands.json)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
cd "$top"
[ -f "$build/compile_commands.json" ] || cmake -S . -B "$build" >/dev/null

echo "clang-format"
clang-format --dry-run --Werror src/*.cpp src/*.hpp tests/*.cpp tests/*.hpp tests/fuzz/*.cpp

echo "clang-tidy"
clang-tidy --quiet -p "$build" src/*.cpp 2> >(grep -v " warnings generated\.$" >&2)

echo "cppcheck"
cppcheck --enable=warning,style,performance,portability --std=c++20 --error-exitcode=1 --quiet \
  --inline-suppr -I src src
cppcheck --enable=warning,style,performance,portability --error-exitcode=1 --quiet bench/*.c
