# SPDX-License-Identifier: MIT
# Types LINE and a tab at an interactive zsh whose completion system
# (compinit) finds its functions first in DIR (when not empty), as an
# installed _fifocap is found, and prints what the completion offers, one
# match per line.
# Usage: zsh -f zsh_completions.zsh DIR LINE
zmodload zsh/zpty || exit 1
dir=$1 line=$2
export ZDOTDIR=$(mktemp -d)
trap 'rm -rf $ZDOTDIR' EXIT
# Every match that a completion function adds is also printed between
# << and >>, and <<done>> follows the last; compadd's own calls that only
# gather (-O, -A, -D) pass through.
cat >$ZDOTDIR/.zshrc <<RC
PS1= RPS1=
fpath=(${dir:+${(q)dir}} \$fpath)
autoload -Uz compinit && compinit -u -D
compadd() {
  if (( \${@[(I)-[OAD]*]} )); then builtin compadd "\$@"; return; fi
  local -a offered
  builtin compadd -O offered "\$@"
  (( \$#offered )) && print -rl -- "<<"\${^\${(Q)offered}}">>"
  builtin compadd "\$@"
}
offered_all() { print -r -- "<<done>>"; }
comppostfuncs=(offered_all)
RC
# -d: no global start-up files, only the one above.
zpty shell zsh -d -i
zpty -w -n shell "$line"$'\t'
zpty -r shell out '*<<done>>*'
zpty -d shell
print -r -- "$out" | grep -ao '<<[^<>]*>>' | sed 's/^<<//; s/>>$//; /^done$/d'
