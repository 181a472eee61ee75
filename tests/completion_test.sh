#!/bin/bash
# SPDX-License-Identifier: MIT
# Completes fifocap command lines in SHELL, with one table of rows for every
# shell, its completion found as that shell finds an installed one:
#   bash  COMP_WORDS, COMP_CWORD, COMP_LINE and COMP_POINT set, the function
#         that `complete -p` names called, and COMPREPLY read back; with
#         on-demand, the file is first loaded by bash-completion from a
#         completions folder of XDG_DATA_DIRS;
#   zsh   typed with a tab at one interactive zsh, whose .zshrc holds the
#         line that the README gives for it, and whose fpath holds _fifocap;
#   fish  `complete -C`, with the file in a vendor_completions.d folder of
#         XDG_DATA_DIRS and a fifocap command on PATH, as fish needs.
# Each runs in a scratch home where the README's commands for zsh and fish
# have run. With installed, each shell finds an installed fifocap's
# completion by itself; with login, as this user, in their own home.
# A shell's own ways are left out of the comparison: a folder's trailing
# slash, and bash's offer of --; a row that names a shell after a second
# "|" does not apply to it.
# Usage: completion_test.sh SHELL SOURCE_DIR [on-demand|installed|login]
set -uo pipefail
shell=$1 source=$2 mode=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
completion=$source/completion/$shell
case $mode in installed | login) installed=1 ;; *) installed="" ;; esac
# But for login, a scratch home where the README's commands that set up
# ~/.zshrc and ~/.profile have run, as they run for a user who follows it.
if [ "$mode" != login ]; then
  readme_setup=$(awk -v pattern='~/[.](zshrc|profile)' -f "$here/readme_blocks.awk" "$source/README.md")
  mkdir "$dir/home"
  export HOME=$dir/home
  if ! bash -ec "$readme_setup" || ! grep -q compinit "$HOME/.zshrc"; then
    echo "the README's commands did not turn zsh's completion on: $readme_setup"
    exit 1
  fi
  # shellcheck source=/dev/null
  . "$HOME/.profile"
fi

case $shell in
bash)
  if [ -n "$installed" ] || [ "$mode" = on-demand ]; then
    if [ -z "$installed" ]; then
      mkdir -p "$dir/share/bash-completion/completions"
      cp "$completion"/* "$dir/share/bash-completion/completions/"
      export XDG_DATA_DIRS=$dir/share
    fi
    # shellcheck source=/dev/null
    source /usr/share/bash-completion/bash_completion
    __load_completion fifocap || { echo "bash-completion did not load the file"; exit 1; }
  else
    # shellcheck source=completion/bash/fifocap
    source "$completion/fifocap" || exit 1
  fi
  registered=$(complete -p fifocap) || exit 1
  function=$(sed -n 's/.* -F \([^ ]*\) .*/\1/p' <<<"$registered")
  [[ $registered == *" -o filenames "* ]] || { echo "not registered for file names: $registered"; exit 1; }
  # Completes each line of standard input, as zsh_completions.zsh does.
  offer() {
    local line
    while IFS= read -r line; do
      read -ra COMP_WORDS <<<"$line"
      [[ $line == *' ' ]] && COMP_WORDS+=("") # a trailing blank: a new, empty word
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      COMP_LINE=$line
      COMP_POINT=${#COMP_LINE}
      COMPREPLY=()
      "$function" fifocap "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      printf "%s\n" "${COMPREPLY[@]}" ::
    done
  }
  ;;
zsh)
  functions=$completion
  [ -z "$installed" ] || functions=""
  offer() { timeout 60 zsh -f "$here/zsh_completions.zsh" "$HOME/.zshrc" "$functions"; }
  ;;
fish)
  if [ -z "$installed" ]; then
    mkdir -p "$dir/share/fish" "$dir/bin"
    cp -r "$completion" "$dir/share/fish/vendor_completions.d"
    printf '#!/bin/sh\n' >"$dir/bin/fifocap" && chmod +x "$dir/bin/fifocap"
    export XDG_DATA_DIRS=$dir/share PATH=$dir/bin:$PATH
  fi
  # shellcheck disable=SC2016 # fish expands its own variables
  offer() {
    timeout 60 fish -c 'while read -l line; complete -C "$line" | cut -f1; echo ::; end'
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

rows=()
while IFS='|' read -r expected words not_in; do
  [[ " $not_in " != *" $shell "* ]] && rows+=("$expected|$words")
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

# Every row in one run of the shell; each row's matches end with "::".
offered=$(for row in "${rows[@]}"; do printf 'fifocap %s\n' "${row#*|}"; done | offer) || exit 1
status=0 i=0 got=""
while IFS= read -r match; do
  if [ "$match" != :: ]; then
    got+=$'\n'${match%/}
    continue
  fi
  got=$(grep -vx -e -- -e '' <<<"$got" | sort | paste -sd ' ')
  expected=${rows[i]%%|*}
  if [ "$got" != "$expected" ]; then
    echo "$shell: fifocap ${rows[i]#*|}<TAB>: offered '$got', expected '$expected'"
    status=1
  fi
  i=$((i + 1)) got=""
done <<<"$offered"
if [ "$i" -ne ${#rows[@]} ]; then
  echo "$shell completed $i of ${#rows[@]} lines"
  status=1
fi
exit $status
