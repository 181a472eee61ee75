# SPDX-License-Identifier: MIT
# Prints, whole and in order, the README's sh blocks whose text matches the
# extended regular expression PATTERN.
# Usage: awk -v pattern=PATTERN -f readme_blocks.awk README.md
/^```sh$/ { block = ""; keep = 1; next }
/^```$/ { if (keep && block ~ pattern) printf "%s", block; keep = 0; next }
keep { block = block $0 "\n" }
