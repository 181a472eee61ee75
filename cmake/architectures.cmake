# SPDX-License-Identifier: MIT
# Prints one line for each architecture with a file in toolchains/, its
# facts separated by "|": the Debian architecture, the toolchain file, the
# GNU triplet, the compiler package, the runner, the runner's packages
# (blank-separated), readelf's machine name, and the machine that may run
# its programs natively (blank when none).
# Usage: cmake -P cmake/architectures.cmake
function(describe toolchain)
  include(${toolchain})
  list(JOIN target_RUNNER_PACKAGES " " packages)
  string(JOIN "|" line ${target_arch} ${toolchain} ${target_TRIPLET} ${target_COMPILER_PACKAGE}
         ${target_RUNNER} "${packages}" "${target_READELF_MACHINE}" "${target_NATIVE_ON}")
  file(APPEND /dev/stdout "${line}\n")
endfunction()

file(GLOB toolchains "${CMAKE_CURRENT_LIST_DIR}/toolchains/*.cmake")
foreach(toolchain IN LISTS toolchains)
  describe(${toolchain})
endforeach()
