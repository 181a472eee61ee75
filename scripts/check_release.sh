#!/bin/bash
# SPDX-License-Identifier: MIT
# Makes releases of the last commit as scripts/release.sh makes them, signed
# with a throwaway OpenPGP key, and checks them as Debian's tools and users
# meet them, in the steps that the "==" lines name: on this machine, and in a
# fresh Debian 13 root that mmdebstrap makes.
# Usage: scripts/check_release.sh   (as root)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "the release check installs into /usr/local and makes a root file system: run it as root"; exit 1; }
"$top/scripts/install_needs.sh" release check test
work=$(mktemp -d /var/tmp/fifocap-release.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$top"
version=$(dpkg-parsechangelog -SVersion)
readme_block() { awk -v pattern="$1" -f tests/readme_blocks.awk README.md; }
SECONDS=0

echo "== two releases, in two folders, under umask 022 and 002, the same but the signatures; one at a higher version"
export GNUPGHOME=$work/gnupg
mkdir -m 700 "$GNUPGHOME"
for key in release other; do
  gpg --batch --quiet --passphrase '' --quick-gen-key "$key <$key@fifocap.invalid>" default sign 1d 2>/dev/null
done
# Makes a release into FOLDER of a clone, under umask MASK, after COMMAND.
release() {
  (umask "$2" && git clone -q "$top" "$work/$1.git" && cd "$work/$1.git" && $3 &&
    scripts/release.sh "$work/$1" release@fifocap.invalid) >"$work/$1.log" 2>&1 || { cat "$work/$1.log"; exit 1; }
}
# A changelog entry of the next version, by dch, committed.
next_version() {
  DEBEMAIL=$(dpkg-parsechangelog -SMaintainer) dch -v "${version%.*}.$((${version##*.} + 1))" -D unstable \
    "A release to upgrade to." && git -c user.name=check -c user.email=check@fifocap.invalid commit -qam next
}
release release 022 true
release other-folder 002 true
DEB_BUILD_OPTIONS=nocheck release newer 022 next_version
release=$work/release
diff -r -x SHA256SUMS.asc -x InRelease -x Release.gpg "$release" "$work/other-folder" ||
  { echo "the two releases differ"; exit 1; }
ls -l "$release"

echo "== lintian --pedantic on every package and the source package (each binary static, stripped, of its arch)"
lintian --display-level +pedantic --fail-on error,warning,info,pedantic "$release"/*.deb "$release"/*.dsc

echo "== each architecture: its package in the repository's index; its tarball's binary, the tests of the binary"
while read -r arch runner; do
  grep -qx "Filename: pool/main/fifocap_${version}_$arch.deb" \
    "$release/repository/dists/stable/main/binary-$arch/Packages" || { echo "$arch: not in the repository"; exit 1; }
  tar -xzf "$release/fifocap-$version-$arch.tar.gz" -C "$work"
  [ "$runner" != none ] || runner=""
  FIFOCAP_TEST_BINARY=$work/fifocap-$version-$arch/bin/fifocap FIFOCAP_TEST_LAUNCHER=$runner \
    scripts/test.sh installed >"$work/$arch.log" 2>&1 || { cat "$work/$arch.log"; echo "$arch: the tests failed"; exit 1; }
  echo "$arch, run by ${runner:-this machine}: $(grep '% tests passed' "$work/$arch.log")"
done < <(grep -v '^#' scripts/architectures | sed 1d)

echo "== the README's commands for a tarball, in the release folder"
commands=$(readme_block 'SHA256SUMS|tar -xzf')
printf '%s\n' "$commands"
mkdir "$work/home"
# As root, without sudo, as the README says; /usr/local a private one.
unshare --mount --propagation private bash -ec "mount -t tmpfs tmpfs /usr/local
  cd '$release' && export HOME='$work/home' && ${commands//sudo /}
  for fifocap in /usr/local/bin/fifocap ~/.local/bin/fifocap; do true | \$fifocap -v /dev/stdin 1; done" \
  >"$work/readme.log" 2>&1 || { cat "$work/readme.log"; exit 1; }
[ "$(grep -c "^'/dev/stdin' fifo size: 1048576$" "$work/readme.log")" -eq 2 ] ||
  { cat "$work/readme.log"; echo "not every install reported a pipe of 1 MiB"; exit 1; }

echo "== a fresh Debian 13 root, as root: APT refuses an altered repository, and one signed by another key; the"
echo "   README's install, upgrade and removal; the source built with only the build task's packages; autopkgtest"
# The published repository, the one to publish in its place, and copies that
# APT must refuse: one with a byte changed, one signed by another key.
srv=$work/srv
mkdir "$srv"
cp -r "$work/newer/repository" "$srv/newer"
for copy in published altered other-key; do cp -r "$release/repository" "$srv/$copy"; done
sed -i '0,/^Maintainer: fifocap/s//Maintainer: Fifocap/' "$srv/altered/dists/stable/main/binary-amd64/Packages"
gzip -9nkf "$srv/altered/dists/stable/main/binary-amd64/Packages"
(cd "$srv/other-key/dists/stable" && gpg --batch --yes --local-user other@fifocap.invalid --clearsign \
  --output InRelease Release && gpg --batch --yes --local-user other@fifocap.invalid --armor \
  --detach-sign --output Release.gpg Release)

# Runs in the root, as root (the README's sudo left out), with the README's
# blocks that install, upgrade and remove.
walk() {
  local install=${1//sudo /} upgrade=${2//sudo /} removal=${3//sudo /} repository before
  apt-get -qq update && apt-get -qq install -y curl >/dev/null # as the README asks
  for repository in altered other-key; do
    yes | bash -ec "${install//URL/file:///srv/$repository}" >/tmp/log 2>&1 || true
    ! dpkg -s fifocap >/dev/null 2>&1 || { cat /tmp/log; echo "APT installed from the $repository repository"; return 1; }
    echo "refused, the $repository repository: $(grep -m1 -E '^(E|W): ' /tmp/log)"
    rm /etc/apt/sources.list.d/fifocap.sources /etc/apt/keyrings/fifocap.asc
  done
  files() { find / -xdev \( -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/cache -o -path /var/log \
    -o -path /tmp -o -path /srv \) -prune -o -print | sort; }
  before=$(files)
  yes | bash -ec "${install//URL/file:///srv/published}" >/tmp/log 2>&1 || { cat /tmp/log; return 1; }
  mkfifo /tmp/fifo
  exec 3<>/tmp/fifo
  [ "$(fifocap -v /tmp/fifo 1)" = "'/tmp/fifo' fifo size: 1048576" ] || { echo "fifocap did not size a FIFO"; return 1; }
  rm -r /srv/published && mv /srv/newer /srv/published
  yes | bash -ec "$upgrade" >/tmp/log 2>&1 || { cat /tmp/log; return 1; }
  echo "upgraded: fifocap $(dpkg-query -W -f '${Version}' fifocap)"
  yes | bash -ec "$removal" >/tmp/log 2>&1 || { cat /tmp/log; return 1; }
  [ "$before" = "$(files)" ] || { diff <(echo "$before") <(files); echo "the removal left these"; return 1; }
}
# Then the source tarball builds and installs with only the BUILD packages,
# and configure names each of the TEST packages as missing.
build_with_only() {
  local build=$1 test=$2 package
  # shellcheck disable=SC2086 # a list of packages
  apt-get -qq install -y --no-install-recommends $build >/dev/null
  tar -xzf /srv/fifocap-*.tar.gz -C /tmp && cd /tmp/fifocap-*
  cmake --preset default >/tmp/log && cmake --build --preset default >/dev/null &&
    DESTDIR=/tmp/root cmake --install build >/dev/null # leaves the root as it was, for autopkgtest
  for package in $test; do
    grep -q "no $package on this machine" /tmp/log || { cat /tmp/log; echo "configure did not say that $package is missing"; return 1; }
  done
  ! /tmp/root/usr/local/bin/fifocap >/dev/null || return 1
  echo "built and installed with only $build, and told of the tests turned off"
}
cp "$release/fifocap-$version.tar.gz" "$srv/"
{ declare -f walk build_with_only
  printf 'walk %q %q %q\n' "$(readme_block 'apt-get install fifocap')" "$(readme_block 'apt-get upgrade')" \
    "$(readme_block 'apt-get purge')"
  printf 'build_with_only %q %q\n' "$(scripts/install_needs.sh --list build)" \
    "$(awk '!/^#/ && $2 ~ /(^|,)test(,|$)/ { print $1 }' scripts/needs.txt)"; } >"$srv/walk.sh"
# This machine's rules for how fresh Debian's archive must be, if it has any.
aptopt=$(apt-config dump Acquire::Check-Valid-Until Acquire::Check-Date)
mmdebstrap --quiet --mode=unshare --variant=minbase ${aptopt:+"--aptopt=$aptopt"} \
  --customize-hook="cp -r '$srv/.' \"\$1/srv/\" && chroot \"\$1\" bash -e /srv/walk.sh" \
  --customize-hook="autopkgtest --quiet --summary-file='$work/autopkgtest' '$release/fifocap_${version}_amd64.deb' \
    '$release/fifocap_$version.dsc' -- chroot \"\$1\" >'$work/autopkgtest.log' 2>&1 || { cat '$work/autopkgtest.log'; exit 1; }" \
  trixie /dev/null
sed 's/^/autopkgtest: /' "$work/autopkgtest"
echo "release check passed in $SECONDS s"
