# SPDX-License-Identifier: MIT
# Run by cpack after it packs, so that a package has the same bytes whoever
# makes it, in whatever folder, under whatever umask.
# - A .deb is an ar archive whose member headers record the modes of the
#   files that CPack wrote, and so the packer's umask (0664 under Debian
#   13's umask 002); dpkg reads none of them. Rebuilt by ar in
#   deterministic mode, every member is 0644, owned by 0 and dated 0.
# - A tarball records the packer as the files' owner, and lists them in the
#   order the file system gave; rebuilt by GNU tar, its files are sorted by
#   name, owned by root, dated from the changelog and without group or
#   world write, and gzip records no name or time.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(members_dir "${package}.members")
  file(REMOVE_RECURSE "${members_dir}")
  file(MAKE_DIRECTORY "${members_dir}")
  if(package MATCHES "\\.deb$")
    execute_process(COMMAND "${CPACK_FIFOCAP_AR}" t "${package}" OUTPUT_VARIABLE members
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(REPLACE "\n" ";" members "${members}")
    execute_process(COMMAND "${CPACK_FIFOCAP_AR}" x "${package}" WORKING_DIRECTORY "${members_dir}"
                    COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE "${package}")
    execute_process(COMMAND "${CPACK_FIFOCAP_AR}" rcD "${package}" ${members}
                    WORKING_DIRECTORY "${members_dir}" COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.tar\\.gz$")
    execute_process(COMMAND tar -xzf "${package}" WORKING_DIRECTORY "${members_dir}"
                    COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB top RELATIVE "${members_dir}" "${members_dir}/*")
    execute_process(
      COMMAND tar --create --format=gnu --sort=name --owner=0 --group=0 --numeric-owner
              "--mtime=@$ENV{SOURCE_DATE_EPOCH}" --mode=go-w ${top}
      COMMAND gzip -9n
      OUTPUT_FILE "${package}" WORKING_DIRECTORY "${members_dir}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${members_dir}")
endforeach()
