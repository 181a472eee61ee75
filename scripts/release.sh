#!/bin/bash
# SPDX-License-Identifier: MIT
# Makes a release of the last commit, at the version of the latest changelog
# entry, into the empty folder OUT, signed with the OpenPGP key KEY: the source
# tarball and the Debian source package; for each architecture of
# scripts/architectures, the packages that dpkg-buildpackage builds from the
# source package (the native build runs the tests) and a tarball of the same
# files, laid out as `cmake --install` lays them out; SHA256SUMS of them all,
# signed; and repository/, an APT repository of the packages, signed, to
# publish in place of the last one. But for the signatures, every byte is the
# same wherever, whenever and under whatever umask it is made.
# Usage: scripts/release.sh OUT KEY   (JOBS, default 2: builds at a time)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || { echo "usage: $0 OUT KEY" >&2; exit 2; }
out=$(realpath -m "$1") key=$2
"$top/scripts/install_needs.sh" release test
cd "$top"
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  { echo "the tree has changes that are not committed; a release is made of a commit"; exit 1; }
mkdir -p "$out"
[ -z "$(ls -A "$out")" ] || { echo "$out is not empty"; exit 1; }
version=$(dpkg-parsechangelog -SVersion)
# Every file is dated from the changelog, as dpkg-buildpackage dates the packages.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -STimestamp)
export SOURCE_DATE_EPOCH
architectures=$(grep -v '^#' scripts/architectures | sed 1d | cut -d' ' -f1)
unset CFLAGS CXXFLAGS CPPFLAGS LDFLAGS # they would replace dpkg-buildflags'; DEB_*_APPEND add to them
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

git -c tar.umask=0022 archive --format=tar --prefix="fifocap-$version/" HEAD | gzip -9n \
  >"$out/fifocap-$version.tar.gz"
tar -xzf "$out/fifocap-$version.tar.gz" -C "$work"
(cd "$work" && dpkg-source --build "fifocap-$version" >/dev/null && mv "fifocap_$version".* "$out/")

# Builds ARCH's packages and its tarball; the log goes to the work folder.
build() {
  local arch=$1 dir=$work/$1 triplet tree=fifocap-$version-$1
  triplet=$(dpkg-architecture -a "$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
  mkdir "$dir"
  dpkg-source --no-check --extract "$out/fifocap_$version.dsc" "$dir/fifocap" >"$dir/log"
  cd "$dir/fifocap"
  if [ "$arch" = "$(dpkg --print-architecture)" ]; then
    dpkg-buildpackage -b -us -uc
  else
    CC=$triplet-gcc CXX=$triplet-g++ DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" \
      dpkg-buildpackage -a "$arch" -Pcross,nocheck -d -b -us -uc
  fi >>"$dir/log" 2>&1 || { tail -n 40 "$dir/log"; echo "$arch: the build failed"; return 1; }
  mv "$dir"/*.deb "$out/"
  cmake --install "obj-$triplet" --prefix "$dir/$tree" --component fifocap >/dev/null
  cp debian/fifocap/usr/bin/fifocap "$dir/$tree/bin/fifocap" # as dh_strip stripped it
  tar -C "$dir" --create --sort=name --owner=0 --group=0 --numeric-owner --mode=go-w \
    --mtime=@"$SOURCE_DATE_EPOCH" "$tree" | gzip -9n >"$out/$tree.tar.gz"
}
status=0
for arch in $architectures; do
  while [ "$(jobs -rp | wc -l)" -ge "${JOBS:-2}" ]; do wait -n || status=1; done
  build "$arch" &
done
while [ "$(jobs -rp | wc -l)" -gt 0 ]; do wait -n || status=1; done
[ "$status" -eq 0 ] || exit 1
(cd "$out" && sha256sum -- fifocap[-_]* >SHA256SUMS)
sign() { gpg --batch --yes --quiet --local-user "$key" --armor "$@"; }
sign --detach-sign --output "$out/SHA256SUMS.asc" "$out/SHA256SUMS"

# The repository: the packages in its pool, an index of them for each
# architecture, and the Release that lists the indices' checksums, signed.
mkdir -p "$out/repository/pool/main"
cp "$out"/*.deb "$out/repository/pool/main/"
cd "$out/repository"
gpg --armor --export "$key" >fifocap.asc
for arch in $architectures; do
  mkdir -p "dists/stable/main/binary-$arch"
  apt-ftparchive --arch "$arch" packages pool >"dists/stable/main/binary-$arch/Packages"
  gzip -9nk "dists/stable/main/binary-$arch/Packages"
done
release=APT::FTPArchive::Release
apt-ftparchive -o "$release::Origin=fifocap" -o "$release::Label=fifocap" \
  -o "$release::Suite=stable" -o "$release::Codename=stable" -o "$release::Components=main" \
  -o "$release::Date=$(date -u -R -d @"$SOURCE_DATE_EPOCH")" \
  -o "$release::Architectures=${architectures//$'\n'/ }" release dists/stable >"$work/Release"
mv "$work/Release" dists/stable/Release
sign --clearsign --output dists/stable/InRelease dists/stable/Release
sign --detach-sign --output dists/stable/Release.gpg dists/stable/Release
ls -l "$out"
