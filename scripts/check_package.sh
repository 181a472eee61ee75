#!/bin/bash
# SPDX-License-Identifier: MIT
# Builds the Debian package in BUILD_DIR and checks its contents and fields
# without installing it. Usage: scripts/check_package.sh BUILD_DIR
set -euo pipefail
build=$1
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
static=$(sed -n 's/^FIFOCAP_STATIC:BOOL=//p' "$build/CMakeCache.txt")
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/fifocap_"$version"_*.deb)
fail() { echo "package check: $*"; exit 1; }

contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/fifocap ./usr/share/man/man1/fifocap.1; do
  grep -q " $path\$" <<<"$contents" || fail "$path is missing"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = fifocap ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version is $(field Version), not $version"
[ "$(field Section)" = utils ] || fail "Section is $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(dpkg-deb -I "$deb" | grep -c '^  [a-z]')" -gt 0 ] || fail "no long description"
if [ "$static" = OFF ]; then
  grep -q 'libc6' <<<"$(field Depends)" || fail "a dynamic build must depend on libc6"
else
  [ -z "$(field Depends)" ] || fail "a static build depends on nothing, yet: $(field Depends)"
fi

# The packaged (stripped) binary and man page, unpacked to a scratch folder.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
dpkg-deb -x "$deb" "$dir"
"$dir/usr/bin/fifocap" >/dev/null && fail "the packaged binary accepted no operands"
grep -q "fifocap $version" "$dir/usr/share/man/man1/fifocap.1" || fail "man page lacks version $version"
dpkg-deb -I "$deb"
echo "package check passed: $(basename "$deb")"
