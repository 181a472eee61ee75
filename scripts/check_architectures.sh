#!/bin/bash
# SPDX-License-Identifier: MIT
# Cross-builds the default (static) build for other Debian architectures,
# with the toolchain files in cmake/toolchains, and runs the whole test
# suite under qemu-user, which CTest and the tests put before every program
# of the target. Then packs a .deb and checks that it is labelled with the
# target's architecture and holds the target's binary. GoogleTest is built
# for each target from the sources that libgtest-dev ships.
# Usage: scripts/check_architectures.sh [BUILD_DIR [CMAKE_ARG...]]
#        (default build-cross; ARCHITECTURES, default "armhf s390x arm64")
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-$top/build-cross}
[ $# -gt 0 ] && shift
mkdir -p "$work" && work=$(cd "$work" && pwd) # CMake reads the paths below from other folders
"$top/scripts/install_needs.sh" test cross

# What readelf calls each target's machine.
declare -A machine=([armhf]=ARM [arm64]=AArch64 [s390x]="IBM S/390")
for arch in ${ARCHITECTURES:-armhf s390x arm64}; do
  SECONDS=0
  toolchain=$top/cmake/toolchains/$arch.cmake
  [ -f "$toolchain" ] || { echo "no toolchain file for $arch: $toolchain"; exit 1; }
  build=$work/$arch/build gtest=$work/$arch/googletest
  echo "== $arch"
  if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ]; then
    cmake -S /usr/src/googletest -B "$work/$arch/googletest-build" -DBUILD_GMOCK=OFF \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
      -DCMAKE_INSTALL_PREFIX="$gtest" >/dev/null
    cmake --build "$work/$arch/googletest-build" -j"$(nproc)" >/dev/null
    cmake --install "$work/$arch/googletest-build" >/dev/null
  fi
  "$top/scripts/test.sh" "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DGTest_DIR="$gtest/lib/cmake/GTest" "$@" >"$work/$arch/test.log" 2>&1 ||
    { tail -n 60 "$work/$arch/test.log"; echo "$arch: the suite failed"; exit 1; }
  sed -n '/tests passed/p; /did not run:$/,$p; /^every test ran$/p' "$work/$arch/test.log"

  (cd "$build" && cpack -G DEB >/dev/null)
  deb=$(ls "$build"/fifocap_*.deb)
  label=$(dpkg-deb -f "$deb" Architecture)
  dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/bin/fifocap >"$work/$arch/packed-fifocap"
  elf=$(readelf -h "$work/$arch/packed-fifocap" | sed -n 's/^ *Machine: *//p')
  if [ "$label" != "$arch" ] || [ "$elf" != "${machine[$arch]}" ]; then
    echo "$arch: $(basename "$deb") is labelled $label and holds a binary for $elf"
    exit 1
  fi
  echo "$arch: packed $(basename "$deb"), a binary for $elf; $SECONDS s in all"
done
