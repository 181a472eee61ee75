#!/bin/bash
# SPDX-License-Identifier: MIT
# The manual page as the build fills it in: groff gives no warning and no
# placeholder is left; it carries the version; DIAGNOSTICS holds every
# message that the tool writes (read from the tool's own source); EXIT
# STATUS gives both statuses with their causes; and a program that builds
# completions from manual pages, fish's own generator, finds one option,
# -v, and nothing else.
# Usage: manual_page_test.sh PAGE VERSION SOURCE_DIR
set -euo pipefail
page=$1 version=$2 source_dir=$3
status=0
fail() { echo "$1"; status=1; }

warnings=$(groff -man -ww -z "$page" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
! grep -n '@[A-Z_]*@' "$page" || fail "a placeholder was left unfilled"

text=$(groff -man -Tascii -P-cbou "$page")
# The text of the section headed TITLE, up to the next heading.
section() { awk -v title="$1" '/^[A-Z]/ { keep = $0 == title; next } keep' <<<"$text"; }
[[ $(tail -n 1 <<<"$text") == "fifocap $version "* ]] || fail "the page's footer does not give fifocap $version"

messages=$(grep -oh 'perror("[^"]*")' "$source_dir"/src/*.cpp | sed 's/^perror("//; s/")$//')
[ -n "$messages" ] || fail "no messages found in the source"
diagnostics=$(section DIAGNOSTICS)
while IFS= read -r message; do
  grep -qF -- "$message: " <<<"$diagnostics" || fail "DIAGNOSTICS lacks the message: $message"
done <<<"$messages"

# Each status is a tag at the section's margin with its causes after it.
exits=$(section "EXIT STATUS" | awk '/^       [0-9]/ { status = $1 } status != "" { causes[status] = causes[status] " " $0 }
  END { for (s in causes) print s ":" causes[s] }' | sort)
[ "$(cut -d: -f1 <<<"$exits" | paste -sd ' ')" = "0 1" ] || fail "EXIT STATUS does not give 0 and 1: $exits"
for cause in "option" "operands" "invalid" "could not be opened"; do
  grep -q "^1:.*$cause" <<<"$exits" || fail "EXIT STATUS does not give this cause of status 1: $cause"
done
grep -q "^0:.*opened" <<<"$exits" || fail "EXIT STATUS does not say when the status is 0"

# shellcheck disable=SC2016 # fish expands it
generator=$(fish -c 'echo $__fish_data_dir' 2>/dev/null)/tools/create_manpage_completions.py
if [ -f "$generator" ]; then
  offered=$(python3 "$generator" --stdout "$page" | grep '^complete ' | sed 's/ -d .*//')
  [ "$offered" = "complete -c fifocap -s v" ] || fail "fish's generator offers: $offered"
else
  echo "note: no fish here, so no check of what its generator reads"
fi
exit $status
