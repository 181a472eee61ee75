# SPDX-License-Identifier: MIT
# Debian's s390x (IBM Z, 64-bit and big-endian),
# with g++-s390x-linux-gnu, run under qemu-s390x-static.
set(debian_triplet s390x-linux-gnu)
set(debian_arch s390x)
set(qemu_arch s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
