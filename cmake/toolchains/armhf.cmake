# SPDX-License-Identifier: MIT
# Debian's armhf: 32-bit ARM with hardware floating point.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(armhf TRIPLET arm-linux-gnueabihf
  COMPILER_PACKAGE g++-arm-linux-gnueabihf PROCESSOR arm
  RUNNER qemu-arm-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "ARM")
