#!/bin/bash
# SPDX-License-Identifier: MIT
# Completes fifocap command lines in SHELL, with one table of rows for all
# three shells, found as each shell finds an installed completion:
#   bash  COMP_WORDS, COMP_CWORD, COMP_LINE and COMP_POINT set, the function
#         that `complete -p` names called, and COMPREPLY read back; with
#         BASH_COMPLETION, the file is first loaded on demand from a
#         completions folder by bash-completion;
#   zsh   typed with a tab at an interactive zsh, whose compinit finds
#         _fifocap in its fpath;
#   fish  `complete -C`, with the file in a vendor_completions.d folder of
#         XDG_DATA_DIRS and a fifocap command on PATH, as fish needs.
# A shell's own ways are left out of the comparison: a folder's trailing
# slash, and bash's offer of --; a row that names a shell after a second
# "|" does not apply to it.
# Usage: completion_test.sh bash|zsh|fish COMPLETION_FILE [BASH_COMPLETION]
set -uo pipefail
shell=$1 completion=$2
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

case $shell in
bash)
  if [ $# -gt 2 ]; then
    mkdir -p "$dir/share/bash-completion/completions"
    cp "$completion" "$dir/share/bash-completion/completions/fifocap"
    export XDG_DATA_DIRS=$dir/share
    # shellcheck source=/dev/null
    source "$3"
    __load_completion fifocap || { echo "bash-completion did not load the file"; exit 1; }
  else
    # shellcheck source=completion/fifocap
    source "$completion"
  fi
  registered=$(complete -p fifocap) || exit 1
  function=$(sed -n 's/.* -F \([^ ]*\) .*/\1/p' <<<"$registered")
  [[ $registered == *" -o filenames "* ]] || { echo "not registered for file names: $registered"; exit 1; }
  # Completes the words given, the last one being the word under the cursor.
  offered() {
    COMP_WORDS=(fifocap "$@")
    COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$function" fifocap "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}"
  }
  ;;
zsh)
  mkdir "$dir/functions" && cp "$completion" "$dir/functions/_fifocap"
  offered() { HOME=$dir timeout 20 zsh -f "$here/zsh_completions.zsh" "$dir/functions" "fifocap $*"; }
  ;;
fish)
  mkdir -p "$dir/share/fish/vendor_completions.d" "$dir/bin"
  cp "$completion" "$dir/share/fish/vendor_completions.d/fifocap.fish"
  printf '#!/bin/sh\n' >"$dir/bin/fifocap" && chmod +x "$dir/bin/fifocap"
  # shellcheck disable=SC2016 # fish expands $LINE
  offered() {
    LINE="fifocap $*" HOME=$dir XDG_DATA_DIRS=$dir/share PATH=$dir/bin:$PATH \
      timeout 20 fish -c 'complete -C "$LINE"' | cut -f1
  }
  ;;
*) echo "no such shell: $shell"; exit 2 ;;
esac

mkdir "$dir/files" "$dir/files/folder" && cd "$dir/files" || exit 1
mkfifo stream 'a stream' && touch plain.txt

# The counts this system grants: powers of two, in MiB, up to the limit.
granted=$(awk -v limit="$(cat /proc/sys/fs/pipe-max-size)" \
  'BEGIN { for (n = 1; n <= 1024 && n * 1048576 <= limit; n *= 2) print n }' | sort | paste -sd ' ')
[ -n "$granted" ] || echo "note: pipe-max-size is below 1 MiB, so no size is offered"

status=0
while IFS='|' read -r expected words not_in; do
  [[ " $not_in " != *" $shell "* ]] || continue
  read -ra line <<<"$words"
  [[ $words == *' ' || -z $words ]] && line+=("") # a trailing blank: a new, empty word
  got=$(offered "${line[@]}" | sed 's|/$||' | grep -vx -e -- | sort | paste -sd ' ')
  if [ "$got" != "$expected" ]; then
    echo "$shell: fifocap ${words}<TAB>: offered '$got', expected '$expected'"
    status=1
  fi
done <<ROWS
-v|-
-v|-v|fish
a stream folder stream|
a stream folder stream|-v 
stream|-v st
folder|fo
$granted|stream 
$granted|stream -v 
$granted|-v -- stream 
-v|stream 1 
|-- stream 1 
a stream folder stream|-- 
-v|plain.txt 1 2 
ROWS
exit $status
