#!/bin/bash
# SPDX-License-Identifier: MIT
# Fails when the tool's own objects call an allocator or throw: a run must
# reach its exit status however short memory is, so nothing on its path
# may allocate. Usage: no_allocation.sh NM OBJECT_OR_ARCHIVE...
set -euo pipefail
nm=$1
shift
allocators='^(_Zn[wa].*|malloc|calloc|realloc|reallocarray|strn?dup|v?asprintf|open_memstream|__cxa_allocate_exception|__cxa_throw)$'
found=$("$nm" -u "$@" | awk 'NF { print $NF }' | grep -E "$allocators" | sort -u || true)
if [ -n "$found" ]; then
  echo "the tool's objects call: $found"
  exit 1
fi
