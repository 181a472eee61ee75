# SPDX-License-Identifier: MIT
# Debian's riscv64: 64-bit RISC-V.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(riscv64 TRIPLET riscv64-linux-gnu
  COMPILER_PACKAGE g++-riscv64-linux-gnu PROCESSOR riscv64
  RUNNER qemu-riscv64-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "RISC-V")
