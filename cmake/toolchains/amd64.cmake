# SPDX-License-Identifier: MIT
# Debian's amd64: 64-bit x86, built with the native compiler under its
# triplet's name, so that a release builds every architecture alike.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(amd64 TRIPLET x86_64-linux-gnu
  COMPILER_PACKAGE g++ PROCESSOR x86_64 NATIVE_ON x86_64
  RUNNER qemu-x86_64-static RUNNER_PACKAGES qemu-user-static
  READELF_MACHINE "Advanced Micro Devices X86-64")
