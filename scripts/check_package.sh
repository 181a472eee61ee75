#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in BUILD_DIR, has lintian check it (no error
# and no warning; overrides only as shipped), and runs its binary: as root
# installed with dpkg (then removed again), otherwise unpacked.
# Usage: scripts/check_package.sh BUILD_DIR
set -euo pipefail
build=$1
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/fifocap_*.deb)

lintian --info --display-level +pedantic --fail-on error,warning "$deb"

# What lintian cannot know: the files this package is for.
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/fifocap ./usr/share/man/man1/fifocap.1.gz \
  ./usr/share/bash-completion/completions/fifocap ./usr/share/zsh/vendor-completions/_fifocap \
  ./usr/share/fish/vendor_completions.d/fifocap.fish; do
  grep -q " $path\$" <<<"$contents" || { echo "package check: $path is missing"; exit 1; }
done

# Its binary runs: installed as the README installs it, and removed again
# after, or, without root, unpacked to a scratch folder.
if [ "$(id -u)" -eq 0 ]; then
  dpkg -i "$deb" >/dev/null
  fifocap=fifocap
else
  dir=$(mktemp -d)
  trap 'rm -rf "$dir"' EXIT
  dpkg-deb -x "$deb" "$dir"
  fifocap=$dir/usr/bin/fifocap
fi
# It answers as the built one, whose texts the test suite checks.
out=$("$fifocap" 2>&1) && { echo "package check: $fifocap accepted no operands"; exit 1; }
built=$( (exec -a "$fifocap" "$build/fifocap") 2>&1) || true
if [ -z "$out" ] || [ "$out" != "$built" ]; then
  echo "package check: $fifocap printed: $out"
  exit 1
fi
if [ "$fifocap" = fifocap ]; then
  # Installed in /usr, each shell finds its completion with no set-up.
  "$(dirname "$0")/../tests/installed_completion_test.sh"
  dpkg -r fifocap >/dev/null
  [ ! -e /usr/bin/fifocap ] || { echo "package check: dpkg -r left /usr/bin/fifocap"; exit 1; }
fi
dpkg-deb -I "$deb"
echo "package check passed: $(basename "$deb"), sha256 $(sha256sum <"$deb" | cut -d' ' -f1)"
