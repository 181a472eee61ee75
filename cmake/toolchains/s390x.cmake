# SPDX-License-Identifier: MIT
# Debian's s390x: IBM Z, 64-bit and big-endian.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(s390x TRIPLET s390x-linux-gnu
  COMPILER_PACKAGE g++-s390x-linux-gnu PROCESSOR s390x
  RUNNER qemu-s390x-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "IBM S/390")
