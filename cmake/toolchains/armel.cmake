# SPDX-License-Identifier: MIT
# Debian's armel: 32-bit ARM, EABI with software floating point.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(armel TRIPLET arm-linux-gnueabi
  COMPILER_PACKAGE g++-arm-linux-gnueabi PROCESSOR arm
  RUNNER qemu-arm-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "ARM")
