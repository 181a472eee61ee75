# SPDX-License-Identifier: MIT
# Completes each line of standard input, typed with a tab at one
# interactive zsh, and prints what the completion offers, one match per
# line, then "::" after each line's matches. That zsh reads the system's
# start-up files and then RC, a user's .zshrc (none when empty), as a
# user's zsh does; DIR, when given, comes first in its fpath, as a folder
# that holds _fifocap.
# Usage: zsh -f zsh_completions.zsh RC [DIR] <LINES
zmodload zsh/zpty || exit 1
rc=$1 dir=${2:-}
export ZDOTDIR=$(mktemp -d)
trap 'rm -rf $ZDOTDIR' EXIT
# Every match that a completion function adds is also printed between
# << and >>, and <<done>> ends each completion; compadd's own calls that
# only gather (-O, -A, -D) pass through.
cat >$ZDOTDIR/.zshrc <<RC
PS1= RPS1=
${dir:+fpath=(${(q)dir} \$fpath)}
${rc:+source ${(q)rc}}
compadd() {
  if (( \${@[(I)-[OAD]*]} )); then builtin compadd "\$@"; return; fi
  local -a offered
  builtin compadd -O offered "\$@"
  (( \$#offered )) && print -rl -- "<<"\${^\${(Q)offered}}">>"
  builtin compadd "\$@"
}
autoload +X _main_complete
functions -c _main_complete _fifocap_test_main_complete
_main_complete() {
  _fifocap_test_main_complete "\$@"
  local ret=\$?
  print -r -- "<<done>>"
  return ret
}
RC
zpty shell zsh -i
while IFS= read -r line; do
  # The line and a tab; then, once the matches are out, ^U clears the line.
  zpty -w -n shell "$line"$'\t'
  zpty -r shell out '*<<done>>*' || exit 1
  print -r -- "$out" | grep -ao '<<[^<>]*>>' | sed 's/^<<//; s/>>$//; /^done$/d'
  print -r -- ::
  zpty -w -n shell $'\C-u'
done
zpty -d shell
