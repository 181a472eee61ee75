#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in BUILD_DIR, has lintian check it (no error
# and no warning; overrides only as shipped), and runs the packaged binary
# without installing it. Usage: scripts/check_package.sh BUILD_DIR
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
dpkg-deb -I "$deb"
echo "package check passed: $(basename "$deb"), sha256 $(sha256sum <"$deb" | cut -d' ' -f1)"
