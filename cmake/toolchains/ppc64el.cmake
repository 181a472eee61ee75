# SPDX-License-Identifier: MIT
# Debian's ppc64el: 64-bit little-endian POWER.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(ppc64el TRIPLET powerpc64le-linux-gnu
  COMPILER_PACKAGE g++-powerpc64le-linux-gnu PROCESSOR ppc64le
  RUNNER qemu-ppc64le-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "PowerPC64")
