#!/bin/bash
# SPDX-License-Identifier: MIT
# Completes fifocap command lines as bash does: COMP_WORDS, COMP_CWORD,
# COMP_LINE and COMP_POINT set, the function that `complete -p` names
# called with the command, the word and the word before it, and COMPREPLY
# read back. With BASH_COMPLETION, the file is first loaded on demand by
# bash-completion from a completions folder, as an installed one is.
# Usage: completion_test.sh COMPLETION_FILE [BASH_COMPLETION]
set -uo pipefail
completion=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
if [ $# -gt 1 ]; then
  mkdir -p "$dir/share/bash-completion/completions"
  cp "$completion" "$dir/share/bash-completion/completions/fifocap"
  export XDG_DATA_DIRS=$dir/share
  # shellcheck source=/dev/null
  source "$2"
  __load_completion fifocap || { echo "bash-completion did not load the file"; exit 1; }
else
  # shellcheck source=completion/fifocap
  source "$completion"
fi
registered=$(complete -p fifocap) || exit 1
function=$(sed -n 's/.* -F \([^ ]*\) .*/\1/p' <<<"$registered")
[[ $registered == *" -o filenames "* ]] || { echo "not registered for file names: $registered"; exit 1; }

mkdir "$dir/files" "$dir/files/folder" && cd "$dir/files" || exit 1
mkfifo stream 'a stream' && touch plain.txt

# Completes the words given, the last one being the word under the cursor.
completions() {
  COMP_WORDS=(fifocap "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  "$function" fifocap "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort | paste -sd ' '
}

# The counts this system grants: powers of two, in MiB, up to the limit.
granted=$(awk -v limit="$(cat /proc/sys/fs/pipe-max-size)" \
  'BEGIN { for (n = 1; n <= 1024 && n * 1048576 <= limit; n *= 2) print n }' | sort | paste -sd ' ')
[ -n "$granted" ] || echo "note: pipe-max-size is below 1 MiB, so no size is offered"

status=0
while IFS='|' read -r expected words; do
  read -ra line <<<"$words"
  [[ $words == *' ' || -z $words ]] && line+=("") # a trailing blank: a new, empty word
  got=$(completions "${line[@]}")
  if [ "$got" != "$expected" ]; then
    echo "fifocap ${words}<TAB>: offered '$got', expected '$expected'"
    status=1
  fi
done <<ROWS
-- -v|-
-v|-v
a stream folder stream|
a stream folder stream|-v 
stream|-v st
folder|fo
$granted|stream 
$granted|stream -v 
$granted|-v -- stream 
|stream 1 
a stream folder stream|-- 
|plain.txt 1 2 
ROWS
exit $status
