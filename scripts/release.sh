#!/bin/bash
# SPDX-License-Identifier: MIT
# Makes a release of the last commit, at the version of the latest
# changelog entry, into the empty folder OUT:
#   fifocap-VERSION.tar.gz           the source, which builds without git
#   fifocap-VERSION-ARCH.tar.gz      for each architecture in cmake/toolchains:
#                                    the static, stripped binary, its manual page,
#                                    completions, README, licence and changelog,
#                                    laid out as `cmake --install` lays them out
#                                    under a prefix, in one folder to unpack there
#   fifocap_VERSION_ARCH.deb         the same as a Debian package
#   SHA256SUMS                       over all of them, and, given the OpenPGP
#   SHA256SUMS.asc                   key KEY, its detached signature by gpg
# Each architecture is one run of the cross workflow preset. The files have
# the same bytes whenever and wherever they are made, under any umask; the
# signature alone differs, as it records when it was made.
# Usage: scripts/release.sh OUT [KEY]   (JOBS, default 2: architectures at a time)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: $0 OUT [KEY]" >&2; exit 2; }
out=$(realpath -m "$1") key=${2:-}
"$top/scripts/install_needs.sh" cross package
cd "$top"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "the tree has changes that are not committed; a release is made of a commit"
  exit 1
fi
mkdir -p "$out"
[ -z "$(ls -A "$out")" ] || { echo "$out is not empty"; exit 1; }
read -r version _ < <(cmake -P cmake/version.cmake)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

git -c tar.umask=0022 archive --format=tar --prefix="fifocap-$version/" HEAD | gzip -9n \
  >"$out/fifocap-$version.tar.gz"

# Builds and packs ARCH; its log goes to the work folder.
build() {
  ARCH=$1 FIFOCAP_PACKAGE_DIR=$work/$1 cmake --workflow --preset cross >"$work/$1.log" 2>&1 ||
    { tail -n 40 "$work/$1.log"; echo "$1: the build failed"; return 1; }
  find "$work/$1" -maxdepth 1 -type f -exec mv -t "$out" {} +
}
status=0
while IFS='|' read -r arch _; do
  while [ "$(jobs -rp | wc -l)" -ge "${JOBS:-2}" ]; do wait -n || status=1; done
  build "$arch" &
done < <(cmake -P cmake/architectures.cmake)
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || status=1; done
[ "$status" -eq 0 ] || exit 1

(cd "$out" && sha256sum -- fifocap[-_]* >SHA256SUMS)
if [ -n "$key" ]; then
  gpg --batch --yes --local-user "$key" --armor --detach-sign --output "$out/SHA256SUMS.asc" "$out/SHA256SUMS"
fi
ls -l "$out"
