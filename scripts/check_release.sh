#!/bin/bash
# SPDX-License-Identifier: MIT
# Makes a release of the last commit as scripts/release.sh makes it, signed
# with a throwaway OpenPGP key made here, and checks it as its users meet it:
#   1. a second release, from a clone in another folder, made later and under
#      umask 002, has the same SHA256SUMS;
#   2. in the release folder, the README's commands for a release run as
#      written: the download is checked (sha256sum, and gpg with the key),
#      then installed into /usr/local (a private one), into ~/.local (of a
#      scratch home) and as a package with dpkg, and fifocap from each runs;
#   3. for each architecture, its tarball unpacked into an empty prefix holds
#      the files that a CMake install of this tree writes there; its binary is
#      static, stripped and of the architecture; the suite's tests of the
#      binary pass on it, natively where this kernel runs the architecture's
#      programs (a small program of it tells), otherwise under its qemu-user,
#      and on x86-64 again as where the kernel runs no 32-bit program; and
#      its .deb holds the same binary;
#   4. lintian finds nothing in any .deb;
#   5. the source tarball, unpacked into a folder without git, passes
#      scripts/test.sh, and packs this machine's .deb of the release.
# Ends with a table of the architectures: how each ran, its tests, the time.
# Usage: scripts/check_release.sh [ARCH...]   (as root; ARCH... checks only
#        those architectures, and leaves out the source tarball)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "the release check installs into /usr/local and with dpkg: run it as root"; exit 1; }

# --architecture ARCH RELEASE EXPECTED_FILES checks ARCH's tarball and
# package in RELEASE; it prints its progress on standard error, and its row
# of the table on standard output.
if [ "${1:-}" = --architecture ]; then
  arch=$2 release=$3 expected=$4
  cd "$top"
  read -r version _ < <(cmake -P cmake/version.cmake)
  IFS='|' read -r _ _ _ _ runner _ machine native_on < <(cmake -P cmake/architectures.cmake | grep "^$arch|")
  exec 3>&1 1>&2
  SECONDS=0
  prefix=$(mktemp -d)
  trap 'rm -rf "$prefix"' EXIT
  tar -xzf "$release/fifocap-$version-$arch.tar.gz" -C "$prefix" --strip-components=1
  binary=$prefix/bin/fifocap
  files=$(cd "$prefix" && find . ! -type d | sort)
  if [ "$files" != "$(cat "$expected")" ]; then
    diff "$expected" <(echo "$files")
    echo "$arch: not the files of a CMake install"
    exit 1
  fi
  elf=$(readelf -h "$binary" | sed -n 's/^ *Machine: *//p')
  [ "$elf" = "$machine" ] || { echo "$arch: a binary for $elf"; exit 1; }
  ! readelf -l "$binary" | grep -q 'program interpreter' || { echo "$arch: not static"; exit 1; }
  ! readelf -S "$binary" | grep -qE '\.(symtab|comment)' || { echo "$arch: not stripped"; exit 1; }
  dpkg-deb --fsys-tarfile "$release/fifocap_${version}_$arch.deb" | tar -xO ./usr/bin/fifocap |
    cmp - "$binary" || { echo "$arch: the .deb holds another binary"; exit 1; }
  # Natively only where a small program of the architecture, its own
  # static fifocap, runs here: it prints the usage and exits with 1.
  ran=$runner
  if [ "$native_on" = "$(uname -m)" ]; then
    probe=0
    "$binary" >/dev/null 2>&1 || probe=$?
    if [ "$probe" -eq 1 ]; then
      ran=native runner=""
    else
      ran="$runner, as this kernel runs no $arch program (exit status $probe)"
    fi
  fi
  echo "-- $arch, run by: $ran"
  log=$prefix.log
  FIFOCAP_TEST_BINARY=$binary FIFOCAP_TEST_LAUNCHER=$runner scripts/test.sh installed >"$log" 2>&1 ||
    { cat "$log"; echo "$arch: the tests failed"; exit 1; }
  summary=$(sed -n '/^[0-9]* tests: /,$p' "$log")
  rm -f "$log"
  printf '%s\n' "$summary"
  counts=$(sed -n '1s/^\([0-9]*\) tests: \([0-9]*\) passed, [0-9]* failed, \([0-9]*\) did not run$/\1 | \2 | \3/p' <<<"$summary")
  report=$(true | $runner "$binary" -v /dev/stdin 1)
  echo "| $arch | $ran | $counts | $report | $SECONDS s |" >&3
  exit 0
fi

"$top/scripts/install_needs.sh" cross package test
work=$(mktemp -d /var/tmp/fifocap-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
release=$work/release
cd "$top"
read -r version _ < <(cmake -P cmake/version.cmake)
SECONDS=0

echo "== two releases, in two folders, under umask 022 and 002, signed with a throwaway key"
export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-gen-key "fifocap release check <check@fifocap.invalid>" \
  default sign 1d 2>/dev/null
for copy in one other-folder; do
  mask=022
  [ "$copy" = one ] || mask=002
  (umask $mask && git clone -q "$top" "$work/$copy" && cd "$work/$copy" &&
    scripts/release.sh "$work/release-$copy" check@fifocap.invalid >/dev/null)
done
mv "$work/release-one" "$release"
diff "$release/SHA256SUMS" "$work/release-other-folder/SHA256SUMS" ||
  { echo "the two releases differ"; exit 1; }
rm -rf "$work/one" "$work/other-folder" "$work/release-other-folder"
ls -l "$release"

echo "== the README's commands for a release, in the release folder"
# Every sh block of the README's release section, in order, in one shell.
commands=$(awk '/^#+ / { in_section = /^### From a release$/ } in_section && /^```sh$/ { keep = 1; next }
  keep && /^```$/ { keep = 0 } keep' README.md)
[ -n "$commands" ] || { echo "the README has no commands for a release"; exit 1; }
printf '%s\n' "$commands"
mkdir "$work/home"
# As root, without sudo, as the README says; /usr/local a private one.
# Then each fifocap that they installed reports a pipe of 1 MiB.
unshare --mount --propagation private bash -ec "mount -t tmpfs tmpfs /usr/local
  cd '$release' && export HOME='$work/home' && ${commands//sudo /}
  for fifocap in /usr/local/bin/fifocap ~/.local/bin/fifocap /usr/bin/fifocap; do
    true | \$fifocap -v /dev/stdin 1
  done
  dpkg -r fifocap" >"$work/readme.log" 2>&1 || { cat "$work/readme.log"; exit 1; }
[ "$(grep -c "^'/dev/stdin' fifo size: 1048576$" "$work/readme.log")" -eq 3 ] ||
  { cat "$work/readme.log"; echo "not every install reported a pipe of 1 MiB"; exit 1; }

echo "== each architecture's tarball and package"
# The files that a CMake install of this tree writes under a prefix.
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" >/dev/null
cmake --install build --prefix "$work/cmake-install" --component fifocap >/dev/null
(cd "$work/cmake-install" && find . ! -type d | sort) >"$work/expected-files"
table=""
while IFS='|' read -r arch _ _ _ _ _ _ native_on; do
  [ $# -eq 0 ] || [[ " $* " == *" $arch "* ]] || continue
  table+=$("$0" --architecture "$arch" "$release" "$work/expected-files")$'\n' || exit 1
  # Where this kernel runs the programs of another architecture itself,
  # the check runs them under qemu-user on a kernel that does not: so too
  # here, where no 32-bit x86 program may run.
  if [ "$native_on" = x86_64 ] && [ "$(uname -m)" = x86_64 ] && [ "$arch" != "$(dpkg --print-architecture)" ]; then
    table+=$(scripts/without_ia32.py "$0" --architecture "$arch" "$release" "$work/expected-files")$'\n' ||
      exit 1
  fi
done < <(cmake -P cmake/architectures.cmake)
[ -n "$table" ] || { echo "no such architecture: $*"; exit 1; }

echo "== lintian, on every .deb"
lintian --info --display-level +pedantic --fail-on error,warning,info,pedantic "$release"/*.deb

if [ $# -eq 0 ]; then
  echo "== the source tarball, without git: the test command"
  tar -xzf "$release/fifocap-$version.tar.gz" -C "$work"
  [ ! -e "$work/fifocap-$version/.git" ] || { echo "the source tarball holds .git"; exit 1; }
  "$work/fifocap-$version/scripts/test.sh" >"$work/source.log" 2>&1 || { cat "$work/source.log"; exit 1; }
  sed -n '/^[0-9]* tests: /,$p' "$work/source.log"
  # Packed there, without git, the default build is this machine's release package.
  deb=fifocap_${version}_$(dpkg --print-architecture).deb
  (cd "$work/fifocap-$version" && FIFOCAP_PACKAGE_DIR=$work/source-package cpack --preset default >/dev/null)
  cmp "$work/source-package/$deb" "$release/$deb" || { echo "the source tarball packs another $deb"; exit 1; }
  echo "the source tarball packs the release's $deb"
fi

echo "| architecture | run by | tests | passed | did not run | report of -v /dev/stdin 1 | time |"
echo "|---|---|---:|---:|---:|---|---:|"
printf '%s' "$table"
echo "release check passed in $SECONDS s"
