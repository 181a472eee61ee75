# SPDX-License-Identifier: MIT
# Debian's mips64el: 64-bit little-endian MIPS.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(mips64el TRIPLET mips64el-linux-gnuabi64
  COMPILER_PACKAGE g++-mips64el-linux-gnuabi64 PROCESSOR mips64
  RUNNER qemu-mips64el-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "MIPS R3000")
