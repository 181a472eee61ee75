#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that the given tasks need and this machine
# lacks: it says what it will install, then runs one apt-get update and one
# apt-get install, through sudo when not root. Where it cannot install (not
# root and no sudo, or no apt-get), it prints the one command that would,
# and fails, so the caller stops before it builds anything.
# Usage: scripts/install_needs.sh TASK...
#   build    compile and install fifocap (every other task includes it)
#   test     the test suite             bench    the benchmarks
#   package  the .deb and its checks    lint     the static checks
#   fuzz     the fuzzer                 fresh    the fresh-machine check
#   cross    the other architectures    ci       all of them
set -euo pipefail

# A package, the tasks it is for, and how to tell it is installed: a
# command on PATH, a file (a pattern), or the package itself.
needs() {
  cat <<'NEEDS'
cmake                    build            command cmake
g++                      build            command g++
make                     build            command make
libgtest-dev             test             file /usr/include/gtest/gtest.h
valgrind                 test,bench       command valgrind
groff-base               test             command groff
bash-completion          test             file /usr/share/bash-completion/bash_completion
zsh                      test,lint        command zsh
fish                     test,lint        command fish
hyperfine                bench            command hyperfine
strace                   test,bench       command strace
mbuffer                  test,bench       command mbuffer
pv                       bench            command pv
zstd                     bench            command zstd
openssl                  bench            command openssl
gnuplot-nox              bench            command gnuplot
git                      package,lint,fresh command git
dpkg-dev                 package          command dpkg-shlibdeps
lintian                  package          command lintian
clang-tidy               lint             command clang-tidy
clang-format             lint             command clang-format
cppcheck                 lint             command cppcheck
shellcheck               lint             command shellcheck
clang                    fuzz             command clang++
libclang-rt-14-dev       fuzz             file /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a
mmdebstrap               fresh            command mmdebstrap
NEEDS
  # Each architecture's compiler, and what runs its programs here.
  is_wanted cross || return 0
  local _ triplet compiler packages package
  while IFS='|' read -r _ _ triplet compiler _ packages _; do
    echo "$compiler cross command $triplet-g++"
    for package in $packages; do echo "$package cross package $package"; done
  done < <(cmake -P "$(dirname "$0")/../cmake/architectures.cmake")
}

[ $# -gt 0 ] || { echo "usage: $0 TASK... (build test bench package lint fuzz fresh cross ci)" >&2; exit 2; }
wanted=" build $* "
# Whether a package for these comma-separated tasks is wanted.
is_wanted() {
  local task
  [[ $wanted == *" ci "* ]] && return 0
  for task in ${1//,/ }; do
    [[ $wanted == *" $task "* ]] && return 0
  done
  return 1
}

# The architectures are listed by CMake, so CMake comes first.
if is_wanted cross && ! command -v cmake >/dev/null; then "$0" build; fi

missing=()
while read -r package tasks kind what; do
  is_wanted "$tasks" || continue
  case $kind in
  command) command -v "$what" >/dev/null && continue ;;
  file) compgen -G "$what" >/dev/null && continue ;;
  package) [ "$(dpkg-query -W -f '${db:Status-Status}' "$what" 2>/dev/null)" = installed ] && continue ;;
  esac
  [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
done < <(needs)
[ ${#missing[@]} -gt 0 ] || exit 0

install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
cannot=""
if ! command -v apt-get >/dev/null; then
  cannot="This is not a Debian-like system (no apt-get). Install these packages, or your system's
equivalents of them; on Debian or Ubuntu, as root:"
elif [ ${#as_root[@]} -gt 0 ] && ! command -v sudo >/dev/null; then
  cannot="This user is not root and has no sudo. As root, run:"
elif [ ${#as_root[@]} -gt 0 ] && ! refusal=$(sudo -n true 2>&1); then
  # sudo wants a password, or refuses this user outright: ask at the
  # terminal, when there is one, so that sudo can say which.
  if ! { : </dev/tty; } 2>/dev/null || ! sudo -v; then
    cannot="sudo did not let this user install (${refusal#sudo: }). As root, run:"
  fi
fi
if [ -n "$cannot" ]; then
  {
    echo "fifocap needs these packages, which are not installed: ${missing[*]}"
    echo "$cannot"
    echo "  $install"
    echo "Then run the command again. Nothing has been built."
  } >&2
  exit 1
fi

echo "installing ${missing[*]}${as_root:+ through sudo}; apt-get may take a minute"
# No prompts, and no debconf warning that apt-utils is missing.
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive DEBCONF_NOWARNINGS=yes apt-get -qq)
"${apt[@]}" update
"${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null
