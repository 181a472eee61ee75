# SPDX-License-Identifier: MIT
# Debian's arm64: 64-bit ARM.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(arm64 TRIPLET aarch64-linux-gnu
  COMPILER_PACKAGE g++-aarch64-linux-gnu PROCESSOR aarch64
  RUNNER qemu-aarch64-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "AArch64")
