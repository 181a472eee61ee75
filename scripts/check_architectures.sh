#!/bin/bash
# SPDX-License-Identifier: MIT
# Cross-builds the default (static) build for every Debian architecture
# with a file in cmake/toolchains, and runs the whole test suite there:
# natively, or under the qemu-user binary that the file names, which CTest
# and the tests put before every program of the target. Then packs a .deb
# and checks that it is labelled with the target's architecture and holds
# the target's binary. GoogleTest is built for each target from the
# sources that libgtest-dev ships. Ends with a table of each target's
# tests, those that did not run, and the time it took.
# Usage: scripts/check_architectures.sh [BUILD_DIR [CMAKE_ARG...]]
#        (default build-cross; ARCHITECTURES="A B" checks only those, and
#        JOBS, default 2, how many at a time)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$top/build-cross}
[ $# -gt 0 ] && shift
mkdir -p "$work" && work=$(cd "$work" && pwd) # CMake reads the paths below from other folders
"$top/scripts/install_needs.sh" test cross

# Checks one architecture, run by RUNNER ("native": directly); its log,
# and its summary line when it passes, go to its folder.
check() {
  local arch=$1 toolchain=$2 runner=$3 machine=$4 dir=$work/$1
  local build=$dir/build gtest=$dir/googletest
  SECONDS=0
  [ "$runner" != native ] || runner=""
  exec >"$dir/check.log" 2>&1
  if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$dir/googletest-build" -DBUILD_GMOCK=OFF \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
    cmake --build "$dir/googletest-build" -j"$(nproc)" >/dev/null
    cmake --install "$dir/googletest-build" >/dev/null
  fi
  "$top/scripts/test.sh" "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DGTest_DIR="$gtest/lib/cmake/GTest" "${cmake_args[@]}" || { echo "$arch: the suite failed"; return 1; }

  (cd "$build" && cpack -G DEB >/dev/null)
  local deb label elf
  deb=$(ls "$build"/fifocap_*.deb)
  label=$(dpkg-deb -f "$deb" Architecture)
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/fifocap >"$dir/packed-fifocap"
  chmod +x "$dir/packed-fifocap"
  elf=$(readelf -h "$dir/packed-fifocap" | sed -n 's/^ *Machine: *//p')
  if [ "$label" != "$arch" ] || [ "$elf" != "$machine" ]; then
    echo "$arch: $(basename "$deb") is labelled $label and holds a binary for $elf, not $machine"
    return 1
  fi
  # The report line, from the packed binary itself.
  echo "report: $(true | $runner "$dir/packed-fifocap" -v /dev/stdin 1)"
  local total not_run
  total=$(sed -n 's/^[0-9]*% tests passed, [0-9]* tests failed out of \([0-9]*\)$/\1/p' "$dir/check.log")
  not_run=$(sed -n 's/^\([0-9]*\) tests\{0,1\} did not run:$/\1/p' "$dir/check.log")
  printf '| %s | %s | %s | %s | %s s |\n' "$arch" "$total" "$((total - ${not_run:-0}))" "${not_run:-0}" \
    "$SECONDS" >"$dir/summary"
}

# Two at a time: a suite spends much of its time waiting, in its runs
# on FIFOs and in the recipes typed at a person's pace.
cmake_args=("$@")
checked=()
while IFS='|' read -r arch toolchain _ _ runner _ machine; do
  [[ " ${ARCHITECTURES:-$arch} " == *" $arch "* ]] || continue
  checked+=("$arch:$runner")
  mkdir -p "$work/$arch" && rm -f "$work/$arch/summary"
  while [ "$(jobs -rp | wc -l)" -ge "${JOBS:-2}" ]; do wait -n || true; done
  check "$arch" "$toolchain" "$runner" "$machine" &
done < <(cmake -P "$top/cmake/architectures.cmake")
wait

status=0 table=""
for entry in "${checked[@]}"; do
  arch=${entry%%:*}
  echo "== $arch (${entry#*:})"
  if [ -f "$work/$arch/summary" ]; then
    sed -n '/^[0-9]* tests\{0,1\} did not run:$/,$p; /^every test ran$/,$p' "$work/$arch/check.log"
    table+=$(cat "$work/$arch/summary")$'\n'
  else
    tail -n 60 "$work/$arch/check.log"
    status=1
  fi
done
echo "| architecture | tests | passed | did not run | time |"
echo "|---|---:|---:|---:|---:|"
printf '%s' "$table"
exit $status
