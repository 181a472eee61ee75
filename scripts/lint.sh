#!/bin/bash
# SPDX-License-Identifier: MIT
# Static checks: licence lines, shellcheck, formatting, clang-tidy (rules in
# .clang-tidy) and cppcheck. clang-tidy reads the compile commands of the
# default preset's build, in build/, which it configures when missing.
# Usage: scripts/lint.sh
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install_needs.sh" lint
cd "$top"
[ -f build/compile_commands.json ] || cmake --preset default >/dev/null

echo "licence"
# Data and documents carry no such line; debian/copyright states the licence.
not_code=(':!:tests/fuzz/corpus/' ':!:*.md' ':!:*.svg' ':!:*.json' ':!:LICENSE' ':!:.gitignore'
  ':!:debian/changelog' ':!:debian/control' ':!:debian/copyright' ':!:debian/source/'
  ':!:debian/tests/' ':!:debian/*.lintian-overrides')
! git grep -L 'SPDX-License-Identifier: MIT' -- "${not_code[@]}" || { echo "these have no SPDX line"; exit 1; }

echo "the packages of the tests: the test task's in needs.txt, debian/control's <!nocheck>"
needs=$(awk '!/^#/ && $2 ~ /(^|,)test(,|$)/ { print $1 }' scripts/needs.txt | sort)
build_depends=$(sed -n 's/^ *\([^ ]*\) <!nocheck>,$/\1/p' debian/control | sort)
[ "$needs" = "$build_depends" ] || { diff <(echo "$needs") <(echo "$build_depends"); exit 1; }

echo "shellcheck"
shellcheck -x .ci/run scripts/*.sh tests/*.sh tests/fuzz/*.sh bench/*.sh completion/bash/fifocap

echo "clang-format"
clang-format --dry-run --Werror src/*.cpp src/*.hpp tests/*.cpp tests/*.hpp tests/fuzz/*.cpp

echo "clang-tidy"
clang-tidy --quiet -p build src/*.cpp 2> >(grep -v " warnings generated\.$" >&2)

echo "cppcheck"
cppcheck --enable=warning,style,performance,portability --std=c++20 --error-exitcode=1 --quiet \
  --inline-suppr -I src src
cppcheck --enable=warning,style,performance,portability --error-exitcode=1 --quiet bench/baseline_minimal.c
