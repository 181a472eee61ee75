#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in BUILD_DIR, has lintian check it (no error
# and no warning; overrides only as shipped), runs the packaged binary, and,
# as root, installs the package with dpkg and removes it again.
# Usage: scripts/check_package.sh BUILD_DIR
set -euo pipefail
build=$1
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/fifocap_*.deb)

lintian --info --display-level +pedantic --fail-on error,warning "$deb"

# What lintian cannot know: the files this package is for, and that its
# binary runs.
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/fifocap ./usr/share/man/man1/fifocap.1.gz \
  ./usr/share/bash-completion/completions/fifocap; do
  grep -q " $path\$" <<<"$contents" || { echo "package check: $path is missing"; exit 1; }
done
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
dpkg-deb -x "$deb" "$dir"
if "$dir/usr/bin/fifocap" >/dev/null; then
  echo "package check: the packaged binary accepted no operands"
  exit 1
fi

# Installed as the README installs it, then removed again.
if [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$deb" >/dev/null
  out=$(fifocap 2>&1) && { echo "package check: the installed fifocap accepted no operands"; exit 1; }
  [ "$out" = "$(printf 'Usage: fifocap [-v(erbose)] <fifo> <size in Mb>\nSet fifo buffer size')" ] ||
    { echo "package check: the installed fifocap printed: $out"; exit 1; }
  dpkg -r fifocap >/dev/null
  [ ! -e /usr/bin/fifocap ] || { echo "package check: dpkg -r left /usr/bin/fifocap"; exit 1; }
else
  echo "package check: not root, so the package is not installed"
fi
dpkg-deb -I "$deb"
echo "package check passed: $(basename "$deb"), sha256 $(sha256sum <"$deb" | cut -d' ' -f1)"
