# SPDX-License-Identifier: MIT
# A Debian package through CPack: `cpack -G DEB` in the build folder.
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

# Everything that `cmake --install` installs, and the Debian-only files
# (component deb) on top, each by its component: an install of ALL would
# write over the user's install_manifest.txt.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};fifocap;/"
                                 "${PROJECT_BINARY_DIR};${PROJECT_NAME};deb;/")
# Read by cpack when it runs: it dates the package's files from the latest
# changelog entry, so that one source always packs to the same bytes.
set(CPACK_FIFOCAP_RELEASE_EPOCH "${FIFOCAP_RELEASE_EPOCH}")
set(CPACK_PROJECT_CONFIG_FILE "${CMAKE_CURRENT_LIST_DIR}/cpack_timestamp.cmake")
include(CPack)
