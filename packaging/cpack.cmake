# SPDX-License-Identifier: MIT
# The packages, through CPack: a Debian package (`cpack --preset default`),
# and, for a release, a tarball of the same files laid out under a prefix
# as `cmake --install` lays them out (the cross preset makes both).
set(CPACK_PACKAGE_NAME "fifocap")
set(CPACK_PACKAGE_VENDOR "fifocap maintainers")
set(CPACK_PACKAGE_CONTACT "fifocap maintainers <maintainers@users.noreply.c-seed-8906e166.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set the buffer capacity of a named pipe (FIFO)")
set(CPACK_PACKAGE_DESCRIPTION
    "fifocap opens a FIFO and asks the Linux kernel for a larger pipe buffer\n\
with fcntl F_SETPIPE_SZ. A larger buffer lets a producer that writes in\n\
bursts run ahead of a consumer that stalls between reads, where the default\n\
64 KiB would block it, and moves data between fast commands in fewer, larger\n\
reads and writes; it does not speed up a consumer bound by its own work.\n\
With -v it prints the capacity granted. It also sizes the anonymous pipes\n\
of a shell pipeline, through /dev/stdin or /dev/stdout.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# A static binary depends on nothing; a dynamic one gets its dependencies
# computed from the libraries it links.
if(FIFOCAP_STATIC)
  set(CPACK_FIFOCAP_NO_DEPENDS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

# The tarball is named, and holds one folder named, for the version and the
# Debian architecture: the toolchain's, or this machine's.
if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE CPACK_DEBIAN_PACKAGE_ARCHITECTURE
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_ARCHITECTURE}")

# Everything that `cmake --install` installs, each rule by its component,
# and for the Debian package the Debian-only files (component deb) on top:
# an install of ALL would write over the user's install_manifest.txt.
set(CPACK_FIFOCAP_INSTALLED "${PROJECT_BINARY_DIR};${PROJECT_NAME};fifocap;/")
set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_FIFOCAP_INSTALLED} "${PROJECT_BINARY_DIR};${PROJECT_NAME};deb;/")
# Read by cpack for each package it makes (cpack_generator.cmake), and
# after it has made them (cpack_deterministic.cmake).
set(CPACK_FIFOCAP_RELEASE_EPOCH "${FIFOCAP_RELEASE_EPOCH}")
set(CPACK_FIFOCAP_AR "${CMAKE_AR}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/cpack_generator.cmake")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/cpack_deterministic.cmake")
include(CPack)
