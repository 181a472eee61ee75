# SPDX-License-Identifier: MIT
# A Debian package through CPack: `cpack -G DEB` in the build folder.
set(CPACK_PACKAGE_NAME "fifocap")
set(CPACK_PACKAGE_VENDOR "fifocap maintainers")
set(CPACK_PACKAGE_CONTACT "fifocap maintainers <maintainers@users.noreply.c-seed-8906e166.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set the buffer capacity of a named pipe (FIFO)")
set(CPACK_PACKAGE_DESCRIPTION
    "fifocap opens a FIFO and asks the Linux kernel for a larger pipe buffer\n\
with fcntl F_SETPIPE_SZ, so that a producer writing in bursts larger than\n\
the default 64 KiB does not stall. With -v it reads back and prints the\n\
capacity granted. The capacity lasts while some process holds the FIFO open.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# A static binary depends on nothing; a dynamic one gets its dependencies
# computed from the libraries it links.
if(NOT FIFOCAP_STATIC)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
