# SPDX-License-Identifier: MIT
# Debian's arm64 (64-bit ARM),
# with g++-aarch64-linux-gnu, run under qemu-aarch64-static.
set(debian_triplet aarch64-linux-gnu)
set(debian_arch arm64)
set(qemu_arch aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian_cross.cmake)
