# SPDX-License-Identifier: MIT
# The version, and the date that dates the package's files and the manual
# page, are those of the latest changelog entry, as Debian's own tools date
# a package from its changelog: the package, its changelog and the manual
# page cannot disagree, and one source gives the same bytes from a clone or
# from a tarball without git. Sets FIFOCAP_VERSION, FIFOCAP_RELEASE_EPOCH
# and FIFOCAP_RELEASE_DATE; `cmake -P cmake/version.cmake` prints the
# version and the epoch.
set(changelog "${CMAKE_CURRENT_LIST_DIR}/../packaging/changelog")
file(STRINGS "${changelog}" latest_entry LIMIT_COUNT 1 REGEX "^fifocap \\(")
string(REGEX REPLACE "^fifocap \\(([0-9.]+)\\).*" "\\1" FIFOCAP_VERSION "${latest_entry}")
file(STRINGS "${changelog}" latest_signoff LIMIT_COUNT 1 REGEX "^ -- ")
string(REGEX REPLACE "^ -- .*>  " "" changelog_date "${latest_signoff}")
execute_process(COMMAND date -u -d "${changelog_date}" "+%s;%F"
                OUTPUT_VARIABLE changelog_time OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
list(GET changelog_time 0 FIFOCAP_RELEASE_EPOCH)
list(GET changelog_time 1 FIFOCAP_RELEASE_DATE)
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  file(APPEND /dev/stdout "${FIFOCAP_VERSION} ${FIFOCAP_RELEASE_EPOCH}\n")
endif()
