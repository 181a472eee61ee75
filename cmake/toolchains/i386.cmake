# SPDX-License-Identifier: MIT
# Debian's i386: 32-bit x86. An x86-64 kernel runs its programs natively
# when its IA-32 emulation is on, and qemu-user runs them where it is off.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(i386 TRIPLET i686-linux-gnu
  COMPILER_PACKAGE g++-i686-linux-gnu PROCESSOR i686 NATIVE_ON x86_64
  RUNNER qemu-i386-static RUNNER_PACKAGES qemu-user-static READELF_MACHINE "Intel 80386")
