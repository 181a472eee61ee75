#!/bin/bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages of scripts/needs.txt that the given tasks need
# and this machine lacks, after a line that names them, through sudo when not
# root. Where it cannot install, it prints what would, and fails, so that the
# caller stops before it builds anything.
# Usage: scripts/install_needs.sh [--list] TASK...   (tasks of needs.txt, or ci
#        for all; --list prints the packages, installed or not)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

list_only=""
[ "${1:-}" != --list ] || { list_only=1; shift; }
[ $# -gt 0 ] || { echo "usage: $0 [--list] TASK... (see $here/needs.txt, or ci for all)" >&2; exit 2; }
wanted=" build $* "
# Whether a package for these comma-separated tasks is wanted.
is_wanted() { [[ $wanted =~ \ (ci|${1//,/|})\  ]]; }

# Each line: a package, the tasks it is for, and how to tell it is there.
needs() {
  grep -v '^#' "$here/needs.txt"
  # Each other architecture's compiler, named for its triplet.
  is_wanted release || return 0
  local arch triplet
  while read -r arch _; do
    [ "$arch" != "$(dpkg --print-architecture)" ] || continue
    triplet=$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    echo "g++-$triplet release command $triplet-g++"
  done < <(grep -v '^#' "$here/architectures" | sed 1d)
}

# dpkg-architecture names the triplets, so dpkg-dev comes first.
if [ -z "$list_only" ] && is_wanted release && ! command -v dpkg-architecture >/dev/null; then
  "$0" release-tools
fi

# Whether a package is there: its command on PATH, or all of its files.
present() {
  local kind=$1 pattern
  shift
  [ "$kind" = file ] || { command -v "$1" >/dev/null; return; }
  for pattern in "$@"; do compgen -G "$pattern" >/dev/null || return 1; done
}
missing=()
while read -r package tasks kind what; do
  is_wanted "$tasks" || continue
  # shellcheck disable=SC2086 # the file patterns, each a word
  [ -n "$list_only" ] || ! present "$kind" $what || continue
  [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
done < <(needs)
if [ -n "$list_only" ]; then
  echo "${missing[*]}"
  exit 0
fi
[ ${#missing[@]} -gt 0 ] || exit 0

install="  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
cannot=""
if ! command -v apt-get >/dev/null; then
  cannot="This system has no apt-get: install their equivalents with its own package manager,"
  install="  a C++ compiler, CMake and make to build; the others for the tests and checks."
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
  printf '%s\n' "fifocap needs these packages, which are not installed: ${missing[*]}" "$cannot" \
    "$install" "Then run the command again; it stopped before building anything." >&2
  exit 1
fi

echo "installing ${missing[*]}${as_root:+ through sudo}; apt-get may take a minute"
# No prompts, and no debconf warning that apt-utils is missing.
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive DEBCONF_NOWARNINGS=yes apt-get -qq)
"${apt[@]}" update
"${apt[@]}" install -y --no-install-recommends "${missing[@]}" >/dev/null
