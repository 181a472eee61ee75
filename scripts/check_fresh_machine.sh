#!/bin/bash
# SPDX-License-Identifier: MIT
# Follows the README on fresh minimal Debian roots that mmdebstrap makes
# from Debian's mirror, with the last commit as the README's URL, in the
# orders that users take. The two machines are walked side by side, and
# each runs the test suite once:
#   Debian 13 (stable), whose users log in through PAM (su -l), and so get
#   the umask 002 that it gives a user with a group of their own:
#     1. users whom nothing lets install (no sudo; sudo that refuses them,
#        not in sudoers or wanting a password with no terminal to ask on)
#        run the test command: each is shown the one apt-get command that
#        installs what the tests need, and nothing is built;
#     2. a user with sudo, from nothing installed, who clones the source:
#        the demo, the CMake install (and again), the test command, each
#        shell's completion as the README sets it up, and the removal by
#        the manifest.
#   Debian 12 (oldstable), root: the README's set-up block as written (the
#   demo and the test command, before any install), the CMake install and
#   its removal.
# Every step must exit 0, and the suite must pass with no test turned off
# for want of a tool; the manifest must list just what the install wrote,
# and nothing that runs through sudo may leave a file in build/ that the
# user cannot write. All of it runs in private mount and PID namespaces, so
# that every mount and every process goes when the check ends, however it
# ends.
# Usage: scripts/check_fresh_machine.sh   (as root)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "the fresh-machine check makes root file systems: run it as root"; exit 1; }
  "$top/scripts/install_needs.sh" fresh
  work=$(mktemp -d /var/tmp/fifocap-fresh.XXXXXX)
  SECONDS=0
  # In the background, so that a signal to this script is handled at once:
  # ending unshare ends every process in the namespaces (--kill-child), and
  # so every mount. The folder is removed from out here, where nothing was
  # ever mounted under it. unshare ignores SIGTERM while it waits.
  unshare --mount --propagation private --pid --fork --kill-child --mount-proc \
    "$0" --inside "$work" &
  inside=$!
  trap 'kill -KILL "$inside" 2>/dev/null || true; wait "$inside" || true; rm -rf "$work"' EXIT
  trap 'exit 1' HUP INT TERM
  wait "$inside"
  echo "fresh-machine check passed in ${SECONDS} s"
  exit 0
fi

work=$2
repository=/srv/fifocap.git # the README's URL
path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
# This machine's rules for how fresh Debian's archive must be.
apt_options=()
for key in Acquire::Check-Valid-Until Acquire::Check-Date; do
  option=$(apt-config dump "$key")
  [ -z "$option" ] || apt_options+=(--aptopt="$option")
done

# Makes the root of a minimal Debian SUITE in ROOT, with the source's
# repository, the host's name known to sudo, and git installed.
make_root() {
  local suite=$1 root=$2
  mmdebstrap --quiet --variant=minbase "${apt_options[@]}" "$suite" "$root"
  mount --bind "$root" "$root" # a root file system, as a machine's is
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  mount -t tmpfs tmpfs "$root/dev/shm"
  git clone -q --bare "$top" "$root$repository"
  # Anyone may clone it, as from a server.
  git config --file "$root/etc/gitconfig" --add safe.directory "$repository"
  echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts" # else sudo says so on every call
  apt_install "$root" git
}
apt_install() {
  local root=$1
  shift
  as_root "$root" env DEBCONF_NOWARNINGS=yes DEBIAN_FRONTEND=noninteractive \
    sh -c "apt-get -qq update && apt-get -qq install -y --no-install-recommends $* >/dev/null"
}
as_root() {
  local root=$1
  shift
  chroot "$root" env -i HOME=/root PATH="$path" "$@"
}
# Runs COMMANDS as USER, logged in through PAM as a login shell, in a
# session of its own: with no terminal, as CI and scripts run.
as() { chroot "$1" setsid -w su -l "$2" -c "$3"; }
fail() { echo "$1"; [ -z "${2:-}" ] || tail -n 40 "$2"; exit 1; }
# The README's sh blocks that match PATTERN.
readme_block() { awk -v pattern="$1" -f "$top/tests/readme_blocks.awk" "$top/README.md"; }
# Runs COMMANDS in ROOT as USER (root: without sudo, as the README says for
# root) in the folder DIR of their home; each must exit 0. The log is LOG.
run() {
  local root=$1 user=$2 dir=$3 commands=$4
  printf '%s$ %s\n' "$user" "$commands"
  if [ "$user" = root ]; then
    as_root "$root" bash -ec "cd ~/$dir && ${commands//sudo /}"
  else
    as "$root" "$user" "set -e; cd ~/$dir && $commands"
  fi >"$log" 2>&1 </dev/null || fail "exit status $?" "$log"
}
# Runs the README's sh block that matches PATTERN, as written.
step() {
  local block
  block=$(readme_block "$4")
  [ -n "$block" ] || fail "no README block holds $4"
  run "$1" "$2" "$3" "$block"
}
# The suite's count and its list of the tests that did not run.
summary() { sed -n '/^[0-9]* tests: /,$p' "$log"; }
installed() { as_root "$1" sh -c "$2 >/dev/null; [ \$? -eq 1 ]" || fail "no working $2" "$log"; }
gone() { [ ! -e "$1$2" ] || fail "$2 is still there" "$log"; }
# Each shell completes the installed fifocap for USER, as they set it up.
completes() {
  local root=$1 user=$2 shell
  for shell in "$top"/completion/*; do
    as "$root" "$user" "/srv/tests/completion_test.sh $(basename "$shell") ~/fifocap login" >"$log" 2>&1 ||
      fail "$(basename "$shell") does not complete fifocap for $user" "$log"
  done
}

# Debian 13, its users logged in through PAM.
trixie() {
  local root=$work/trixie log=$work/trixie.log.step
  SECONDS=0
  echo "== a minimal Debian 13 root"
  make_root trixie "$root"
  cp -r "$top/tests" "$root/srv/tests"
  for user in user nosudoers asker nosudo; do as_root "$root" useradd --create-home --shell /bin/bash "$user"; done
  umask=$(as "$root" user umask)
  [ "$umask" = 0002 ] || fail "a user logged in with umask $umask, not 0002"

  echo "== users whom nothing lets install: the test command"
  local needs package line
  needs=$("$top/scripts/install_needs.sh" --list test)
  for user in nosudo nosudoers asker; do
    if [ "$user" = nosudoers ]; then
      apt_install "$root" sudo
      echo 'user ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/user"
      echo 'asker ALL=(ALL) ALL' >"$root/etc/sudoers.d/asker" # a password, and no terminal to ask on
    fi
    run "$root" "$user" "" "git clone -q $repository fifocap"
    if as "$root" "$user" 'cd fifocap && scripts/test.sh' >"$log" 2>&1; then
      fail "the test command passed for $user with nothing installed" "$log"
    fi
    sed "s/^/$user: /" "$log"
    line=$(grep -E '^  apt-get update && apt-get install ' "$log") || fail "no command to install what is missing" "$log"
    for package in $needs; do
      [[ " $line " == *" $package "* ]] || fail "$package is missing from: $line" "$log"
    done
    gone "$root" "/home/$user/fifocap/build"
  done

  echo "== a user with sudo, from nothing installed, umask $umask"
  run "$root" user "" "git clone -q $repository fifocap"
  run "$root" user fifocap scripts/demo.sh
  grep -qx 'a writer now fits 1048576 bytes' "$log" || fail "the demo did not run" "$log"
  grep -q ' through sudo; apt-get may take a minute$' "$log" || fail "no word before apt-get" "$log"
  step "$root" user fifocap 'sudo cmake --install'
  installed "$root" /usr/local/bin/fifocap
  step "$root" user fifocap 'sudo cmake --install'
  local manifest=$root/home/user/fifocap/build/install_manifest.txt
  as_root "$root" find /usr/local -type f -cnewer /home/user/fifocap/build/fifocap | sort >"$work/written"
  sort "$manifest" | diff - "$work/written" || fail "the manifest does not list just what the install wrote"
  cp "$manifest" "$work/manifest"
  run "$root" user fifocap scripts/test.sh
  summary
  # What the README asks of a zsh or fish user; the shells came with the
  # tests. (The tilde is the README's text.)
  # shellcheck disable=SC2088
  run "$root" user "" "$(readme_block '~/[.](zshrc|profile)')"
  completes "$root" user
  cmp "$manifest" "$work/manifest" || fail "the tests changed the manifest"
  local unwritable
  unwritable=$(find "$root/home/user/fifocap/build" ! -uid "$(as_root "$root" id -u user)")
  [ -z "$unwritable" ] || fail "the user cannot write: $unwritable"
  step "$root" user fifocap 'xargs rm --'
  while read -r file; do gone "$root" "$file"; done <"$work/manifest"
  echo "Debian 13 passed in $SECONDS s"
}

# Debian 12, as root.
bookworm() {
  local root=$work/bookworm log=$work/bookworm.log.step setup
  SECONDS=0
  echo "== a minimal Debian 12 root"
  make_root bookworm "$root"
  echo "== root: the README's set-up block, as written, then the install and its removal"
  setup=$(readme_block 'git clone')
  printf '%s\n' "$setup"
  as_root "$root" bash -ec "cd && ${setup//URL/$repository}" >"$log" 2>&1 </dev/null ||
    fail "the README's set-up block failed, exit status $?" "$log"
  grep -E '^(a writer|\$ fifocap|.* fifo size: )' "$log"
  summary
  step "$root" root fifocap 'sudo cmake --install'
  installed "$root" /usr/local/bin/fifocap
  step "$root" root fifocap 'xargs rm --'
  gone "$root" /usr/local/bin/fifocap
  echo "Debian 12 passed in $SECONDS s"
}

# Side by side; each machine's log is shown whole when both have ended.
status=0
trixie >"$work/trixie.log" 2>&1 &
bookworm >"$work/bookworm.log" 2>&1 &
wait -n || status=1
wait -n || status=1
cat "$work/trixie.log" "$work/bookworm.log"
exit $status
