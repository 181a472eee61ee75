# SPDX-License-Identifier: MIT
# Debian's i386: 32-bit x86. An x86-64 kernel runs its programs natively
# (IA32 emulation); the dynamically linked tests need its C++ libraries.
include(${CMAKE_CURRENT_LIST_DIR}/../debian_cross.cmake)
debian_architecture(i386 TRIPLET i686-linux-gnu
  COMPILER_PACKAGE g++-i686-linux-gnu PROCESSOR i686
  RUNNER_PACKAGES libc6-i386 lib32stdc++6 lib32gcc-s1 READELF_MACHINE "Intel 80386")
