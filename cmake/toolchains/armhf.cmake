# SPDX-License-Identifier: MIT
# Debian's armhf (32-bit ARM with hardware floating point),
# with g++-arm-linux-gnueabihf, run under qemu-arm-static.
set(debian_triplet arm-linux-gnueabihf)
set(debian_arch armhf)
set(qemu_arch arm)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
