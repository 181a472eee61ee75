#!/bin/bash
# SPDX-License-Identifier: MIT
# The package's lintian override gives its reason by pointing to where the
# figures are: each file it names exists and holds the heading it names.
# Usage: lintian_override_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
override=$source_dir/debian/fifocap.lintian-overrides
refs=$(grep -o '[A-Za-z_/]*\.md, "[^"]*"' "$override" || true)
[ -n "$refs" ] || { echo "the override names no file and heading for its figures"; exit 1; }
while IFS= read -r ref; do
  file=${ref%%,*} heading=${ref#*\"}
  heading=${heading%\"}
  grep -qx "#\+ $heading" "$source_dir/$file" 2>/dev/null || { echo "no heading \"$heading\" in $file"; exit 1; }
done <<<"$refs"
