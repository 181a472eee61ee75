# SPDX-License-Identifier: MIT
# What every toolchain file in toolchains/ calls, once, with the facts of
# its Debian architecture:
#   debian_architecture(ARCH TRIPLET triplet COMPILER_PACKAGE package
#     PROCESSOR processor [RUNNER qemu-user binary] RUNNER_PACKAGES package...
#     READELF_MACHINE name)
# ARCH is the Debian architecture, TRIPLET the GNU triplet of Debian's cross
# compiler, RUNNER what runs the target's programs here (none: they run
# natively), RUNNER_PACKAGES what that needs, and READELF_MACHINE what
# readelf calls the target's machine. cmake/architectures.cmake prints them
# for the scripts.
macro(debian_architecture arch)
  cmake_parse_arguments(target "" "TRIPLET;COMPILER_PACKAGE;PROCESSOR;RUNNER;READELF_MACHINE"
                        "RUNNER_PACKAGES" ${ARGN})
  set(target_arch ${arch})
  set(CMAKE_SYSTEM_NAME Linux)
  set(CMAKE_SYSTEM_PROCESSOR ${target_PROCESSOR})
  set(CMAKE_C_COMPILER ${target_TRIPLET}-gcc)
  set(CMAKE_CXX_COMPILER ${target_TRIPLET}-g++)
  # Libraries and headers of the target only; programs, such as the test
  # tools, of this machine.
  set(CMAKE_FIND_ROOT_PATH /usr/${target_TRIPLET})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
  if(target_RUNNER)
    # -L finds the target's dynamic loader and libraries, which the test
    # programs (not fifocap, static by default) need.
    set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/${target_RUNNER} -L /usr/${target_TRIPLET})
  endif()
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${arch})
endmacro()
