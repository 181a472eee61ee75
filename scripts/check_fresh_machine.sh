#!/bin/bash
# SPDX-License-Identifier: MIT
# Follows the README on fresh minimal Debian roots that mmdebstrap makes from
# Debian's mirror, with the last commit as the README's URL, in the orders
# that users take, in the steps that the "==" lines name: Debian 13, whose
# users log in through PAM (su -l), and Debian 12, as root, side by side, each
# running the suite once. Every step must exit 0, and the suite pass with no
# test turned off for want of a tool. mmdebstrap removes each root, with its
# mounts and processes, when its walk (a hook of mmdebstrap's) ends.
# Usage: scripts/check_fresh_machine.sh   (as root)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

repository=/srv/fifocap.git # the README's URL

if [ "${1:-}" != --walk ]; then
  [ "$(id -u)" -eq 0 ] || { echo "the fresh-machine check makes root file systems: run it as root"; exit 1; }
  "$top/scripts/install_needs.sh" fresh
  work=$(mktemp -d /var/tmp/fifocap-fresh.XXXXXX)
  # However the check ends, each mmdebstrap ends, taking its root with it.
  trap 'kill $(jobs -p) 2>/dev/null || true; wait; rm -rf "$work"' EXIT
  trap 'exit 1' HUP INT TERM
  # This machine's rules for how fresh Debian's archive must be, if it has any.
  aptopt=$(apt-config dump Acquire::Check-Valid-Until Acquire::Check-Date)
  SECONDS=0
  for suite in trixie bookworm; do
    mmdebstrap --quiet --mode=unshare --variant=minbase --include=git ${aptopt:+"--aptopt=$aptopt"} \
      --customize-hook="unshare --mount '$0' --walk $suite \"\$1\" '$work'" "$suite" /dev/null \
      >"$work/$suite.log" 2>&1 &
  done
  status=0
  wait -n || status=1
  wait -n || status=1
  cat "$work/trixie.log" "$work/bookworm.log"
  [ "$status" -ne 0 ] || echo "fresh-machine check passed in $SECONDS s"
  exit "$status"
fi

# A walk: the root, bound on itself to be a root file system as a machine's
# is, with the source's repository, which anyone may clone as from a server,
# and the host's name known to sudo (else it says so on every call).
suite=$2 root=$3 work=$4 log=$4/$2.step
mount --rbind "$root" "$root"
# Terminals that their users may open (zsh's completion test types into one).
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
git clone -q --bare "$top" "$root$repository"
git config --file "$root/etc/gitconfig" --add safe.directory "$repository"
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
as_root() { chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"; }
# Runs COMMANDS as USER, logged in through PAM as a login shell, in a
# session of its own: with no terminal, as CI and scripts run.
as() { chroot "$root" setsid -w su -l "$1" -c "$2"; }
fail() { echo "$1"; [ -z "${2:-}" ] || tail -n 40 "$2"; exit 1; }
# The README's sh blocks that match PATTERN.
readme_block() { awk -v pattern="$1" -f "$top/tests/readme_blocks.awk" "$top/README.md"; }
# Runs COMMANDS as USER (root: without sudo, as the README says for root) in
# the folder DIR of their home; each must exit 0. The log is LOG.
run() {
  local user=$1 dir=$2 commands=$3
  printf '%s$ %s\n' "$user" "$commands"
  if [ "$user" = root ]; then
    as_root bash -ec "cd ~/$dir && ${commands//sudo /}"
  else
    as "$user" "set -e; cd ~/$dir && $commands"
  fi >"$log" 2>&1 </dev/null || fail "exit status $?" "$log"
}
# Runs the README's sh block that matches PATTERN, as written.
step() {
  local block
  block=$(readme_block "$3")
  [ -n "$block" ] || fail "no README block holds $3"
  run "$1" "$2" "$block"
}
# The suite's count and its list of the tests that did not run.
summary() { sed -n '/% tests passed/p; /^Why they did not run:/,$p' "$log"; }
installed() { as_root sh -c "$1 >/dev/null; [ \$? -eq 1 ]" || fail "no working $1" "$log"; }
gone() { [ ! -e "$root$1" ] || fail "$1 is still there" "$log"; }

# Debian 13, its users logged in through PAM.
trixie() {
  SECONDS=0
  echo "== a minimal Debian 13 root"
  cp -r "$top/tests" "$root/srv/tests"
  for user in user nosudoers asker nosudo; do as_root useradd --create-home --shell /bin/bash "$user"; done
  umask=$(as user umask)
  [ "$umask" = 0002 ] || fail "a user logged in with umask $umask, not 0002"

  echo "== users whom nothing lets install (no sudo; not in sudoers; sudo wanting a password, with no"
  echo "   terminal): the test command names the one apt-get command that installs what it needs, builds nothing"
  local needs
  needs=$("$top/scripts/install_needs.sh" --list test)
  for user in nosudo nosudoers asker; do
    if [ "$user" = nosudoers ]; then
      as_root env DEBIAN_FRONTEND=noninteractive DEBCONF_NOWARNINGS=yes apt-get -qq install -y sudo >/dev/null
      echo 'user ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/user"
      echo 'asker ALL=(ALL) ALL' >"$root/etc/sudoers.d/asker" # a password, and no terminal to ask on
    fi
    run "$user" "" "git clone -q $repository fifocap"
    if as "$user" 'cd fifocap && scripts/test.sh' >"$log" 2>&1; then
      fail "the test command passed for $user with nothing installed" "$log"
    fi
    sed "s/^/$user: /" "$log"
    grep -qxF "  apt-get update && apt-get install -y --no-install-recommends $needs" "$log" ||
      fail "not the command that installs what the tests need: $needs" "$log"
    gone "/home/$user/fifocap/build"
  done

  echo "== a user with sudo, from nothing installed, umask $umask: the demo, the CMake install (twice; its"
  echo "   manifest lists just what it wrote), the test command, each shell's completion as the README sets"
  echo "   it up, and the removal by the manifest; nothing in build/ that the user cannot write"
  run user "" "git clone -q $repository fifocap"
  run user fifocap scripts/demo.sh
  grep -qx 'a writer now fits 1048576 bytes' "$log" || fail "the demo did not run" "$log"
  grep -q ' through sudo; apt-get may take a minute$' "$log" || fail "no word before apt-get" "$log"
  step user fifocap 'sudo cmake --install'
  installed /usr/local/bin/fifocap
  step user fifocap 'sudo cmake --install'
  local manifest=$root/home/user/fifocap/build/install_manifest.txt
  as_root find /usr/local -type f -cnewer /home/user/fifocap/build/fifocap | sort >"$work/written"
  sort "$manifest" | diff - "$work/written" || fail "the manifest does not list just what the install wrote"
  cp "$manifest" "$work/manifest"
  run user fifocap scripts/test.sh
  summary
  # What the README asks of a zsh or fish user; the shells came with the
  # tests. (The tilde is the README's text.)
  # shellcheck disable=SC2088
  run user "" "$(readme_block '~/[.](zshrc|profile)')"
  for shell in "$top"/completion/*; do # each completes the installed fifocap, as the README set it up
    as user "/srv/tests/completion_test.sh $(basename "$shell") ~/fifocap login" >"$log" 2>&1 ||
      fail "$(basename "$shell") does not complete fifocap for the user" "$log"
  done
  cmp "$manifest" "$work/manifest" || fail "the tests changed the manifest"
  local unwritable
  unwritable=$(find "$root/home/user/fifocap/build" ! -uid "$(as_root id -u user)")
  [ -z "$unwritable" ] || fail "the user cannot write: $unwritable"
  step user fifocap 'xargs rm --'
  while read -r file; do gone "$file"; done <"$work/manifest"
  echo "Debian 13 passed in $SECONDS s"
}

# Debian 12, as root.
bookworm() {
  local setup
  SECONDS=0
  echo "== a minimal Debian 12 root, as root: the README's set-up block, as written, then the install and its removal"
  setup=$(readme_block 'git clone')
  run root "" "${setup//URL/$repository}"
  grep -E '^(a writer|\$ fifocap|.* fifo size: )' "$log"
  summary
  step root fifocap 'sudo cmake --install'
  installed /usr/local/bin/fifocap
  step root fifocap 'xargs rm --'
  gone /usr/local/bin/fifocap
  echo "Debian 12 passed in $SECONDS s"
}

"$suite"
