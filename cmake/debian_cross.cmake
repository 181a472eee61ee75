# SPDX-License-Identifier: MIT
# What every toolchain file in toolchains/ calls, once, with the facts of
# its Debian architecture:
#   debian_architecture(ARCH TRIPLET triplet COMPILER_PACKAGE package
#     PROCESSOR processor [NATIVE_ON machine] RUNNER qemu-user binary
#     RUNNER_PACKAGES package... READELF_MACHINE name)
# ARCH is the Debian architecture, TRIPLET the GNU triplet of Debian's
# compiler for it, NATIVE_ON the machine (as uname -m names it) whose
# kernel may run the target's programs itself, RUNNER what runs them
# elsewhere, RUNNER_PACKAGES what that needs, and READELF_MACHINE what
# readelf calls the target's machine. cmake/architectures.cmake prints them
# for the scripts.
macro(debian_architecture arch)
  cmake_parse_arguments(target "" "TRIPLET;COMPILER_PACKAGE;PROCESSOR;NATIVE_ON;RUNNER;READELF_MACHINE"
                        "RUNNER_PACKAGES" ${ARGN})
  set(target_arch ${arch})
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR ${target_PROCESSOR})
  set(CMAKE_C_COMPILER ${target_TRIPLET}-gcc)
  set(CMAKE_CXX_COMPILER ${target_TRIPLET}-g++)
  # Libraries and headers of the target only; programs of this machine.
  set(CMAKE_FIND_ROOT_PATH /usr/${target_TRIPLET})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${arch})
endmacro()
