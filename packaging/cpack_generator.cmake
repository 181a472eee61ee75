# SPDX-License-Identifier: MIT
# Loaded by cpack before it makes each package. Files in a package carry the
# time in SOURCE_DATE_EPOCH; when the builder has not set it, that is the
# date of the latest changelog entry, so two builds of one source give the
# same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_FIFOCAP_RELEASE_EPOCH}")
endif()
if(CPACK_GENERATOR STREQUAL "DEB")
  # CPack would say that no dependencies were set, as if one were missing.
  # A static build has none; say so instead.
  if(CPACK_FIFOCAP_NO_DEPENDS)
    message(STATUS "fifocap is linked statically: its package depends on nothing")
    set(CMAKE_MESSAGE_LOG_LEVEL NOTICE)
  endif()
else()
  # Any other package holds what `cmake --install` installs, under the
  # prefix that its user unpacks it into.
  set(CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_FIFOCAP_INSTALLED})
endif()
