# SPDX-License-Identifier: MIT
# Included by each toolchain file here, after it names the target:
# debian_triplet (the GNU triplet of Debian's cross compiler), debian_arch
# (the Debian architecture) and qemu_arch (the qemu-user emulator's name).
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${debian_triplet}-gcc)
set(CMAKE_CXX_COMPILER ${debian_triplet}-g++)
# Libraries and headers of the target only; programs, such as the test
# tools, of this machine.
set(CMAKE_FIND_ROOT_PATH /usr/${debian_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Runs the target's programs here. -L finds the target's dynamic loader and
# libraries, which the test programs (not fifocap, static by default) need.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-${qemu_arch}-static -L /usr/${debian_triplet})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${debian_arch})
