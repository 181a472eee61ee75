# SPDX-License-Identifier: MIT
# Loaded by cpack before it packs. Files in the package carry the time in
# SOURCE_DATE_EPOCH; when the builder has not set it, that is the time of
# the last commit, so two builds of one commit give the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(
    COMMAND git -C "${CPACK_FIFOCAP_SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE commit_time
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET
    RESULT_VARIABLE git_failed)
  if(NOT git_failed AND commit_time MATCHES "^[0-9]+$")
    set(ENV{SOURCE_DATE_EPOCH} "${commit_time}")
  else()
    message(STATUS "No commit to date the package from: its files carry today's date")
  endif()
endif()
