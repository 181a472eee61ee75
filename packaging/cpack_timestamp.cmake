# SPDX-License-Identifier: MIT
# Loaded by cpack before it packs. Files in the package carry the time in
# SOURCE_DATE_EPOCH; when the builder has not set it, that is the date of
# the latest changelog entry, so two builds of one source give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} "${CPACK_FIFOCAP_RELEASE_EPOCH}")
endif()
# CPack would say that no dependencies were set, as if one were missing.
# A static build has none; say so instead.
if(CPACK_FIFOCAP_NO_DEPENDS AND CPACK_GENERATOR STREQUAL "DEB")
  message(STATUS "fifocap is linked statically: its package depends on nothing")
  set(CMAKE_MESSAGE_LOG_LEVEL NOTICE)
endif()
