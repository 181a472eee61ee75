#!/bin/bash
# SPDX-License-Identifier: MIT
# Follows the README on a fresh minimal Debian 12 root, made by mmdebstrap
# from this machine's own package sources, with the last commit cloned in,
# in the orders that users take:
#   1. ordinary users whom nothing lets install (no sudo; sudo that refuses
#      them, not in sudoers or without a password and with no terminal)
#      run the test command: each must be shown the one apt-get command
#      that installs what is missing, and nothing may be built;
#   2. an ordinary user with sudo (NOPASSWD), from nothing installed: the
#      demo, the CMake install, the test command, the package build, the
#      removal by the manifest, the package install and its removal; then,
#      in a fresh clone, the test command before any install, packing
#      before installing, installing twice, and the removal again;
#   3. root runs the README's set-up block as written, then both ways to
#      install and their removals, without sudo.
# Every step must exit 0; the suite must pass with no test turned off for
# want of a tool; the manifest must list just what the install wrote, and
# nothing that runs through sudo may leave a file in build/ that the user
# cannot write. All of it runs in private mount and PID namespaces, so
# that every mount and every process goes when the check ends, however it
# ends.
# Usage: scripts/check_fresh_machine.sh   (as root)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" != --inside ]; then
  [ "$(id -u)" -eq 0 ] || { echo "the fresh-machine check makes a root file system: run it as root"; exit 1; }
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

work=$2 root=$2/root
mounts=()
unmount_all() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[i]}"; done
}
trap unmount_all EXIT

# The same sources and the same freshness rules as this machine's apt.
sources=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
options=()
for key in Acquire::Check-Valid-Until Acquire::Check-Date; do
  option=$(apt-config dump "$key")
  [ -z "$option" ] || options+=(--aptopt="$option")
done
echo "== a minimal Debian 12 root"
existing=()
for file in "${sources[@]}"; do [ -f "$file" ] && existing+=("$file"); done
mmdebstrap --quiet --variant=minbase "${options[@]}" bookworm "$root" "${existing[@]}"
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount -t sysfs sysfs "$root/sys" && mounts+=("$root/sys")
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts" && mounts+=("$root/dev/pts")
mount -t tmpfs tmpfs "$root/dev/shm" && mounts+=("$root/dev/shm")

path=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
as_root() { chroot "$root" env -i HOME=/root PATH="$path" "$@"; }
# Runs COMMANDS as USER in their home, in a session of its own: with no
# terminal, as CI and scripts run.
as() {
  local uid
  uid=$(chroot "$root" id -u "$1")
  chroot "$root" setsid -w setpriv --reuid="$uid" --regid="$uid" --init-groups \
    env -i HOME="/home/$1" USER="$1" PATH="$path" bash -c "cd && $2"
}
repository=/srv/fifocap.git # the README's URL
git clone -q --bare "$top" "$root$repository"
for user in user nosudoers asker nosudo; do
  as_root useradd --create-home --shell /bin/bash "$user"
  git clone -q --no-hardlinks "$top" "$root/home/$user/fifocap"
  chroot "$root" chown -R "$user:$user" "/home/$user/fifocap"
done
# sudo looks the host up, and says so on every call when it cannot.
echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"

# The suite's own summary, and its list of the tests that did not run.
summary() {
  sed -n '/tests passed/p; /^[0-9]* tests\{0,1\} did not run:$/,$p; /^every test ran$/p' "$1"
  if sed -n '/did not run:$/,$p' "$1" | grep -q 'on this machine$'; then
    echo "a test was turned off for want of a tool"
    exit 1
  fi
}
fail() { echo "$1"; tail -n 40 "$2"; exit 1; }
# The README's sh block that holds TEXT.
readme_block() {
  awk -v text="$1" '/^```sh$/ { block = ""; keep = 1; next }
    /^```$/ { if (keep && index(block, text)) { printf "%s", block; exit } keep = 0 }
    keep { block = block $0 "\n" }' "$top/README.md"
}
# Runs COMMANDS as USER in the clone DIR (default fifocap), with standard
# input from the caller; each must exit 0.
run() {
  local user=$1 commands=$2 dir=${3:-fifocap}
  printf '%s$ %s\n' "$user" "$commands"
  if [ "$user" = root ]; then
    as_root bash -ec "cd ~/$dir && $commands" >"$work/step.log" 2>&1
  else
    as "$user" "set -e; cd $dir && $commands" >"$work/step.log" 2>&1
  fi || fail "exit status $?" "$work/step.log"
}
# Our installs say nothing of debconf.
quiet() { ! grep -E 'debconf|apt-utils' "$work/step.log" || fail "apt-get was not quiet" "$work/step.log"; }
# Runs the README's sh block that holds TEXT, as written; root leaves out
# sudo, as the README says.
step() {
  local block
  block=$(readme_block "$2")
  [ -n "$block" ] || fail "no README block holds $2" /dev/null
  [ "$1" != root ] || block=${block//sudo /}
  run "$1" "$block" "${3:-}"
}
installed() { as_root sh -c "$1 >/dev/null; [ \$? -eq 1 ]"; } # the usage, status 1
gone() { [ ! -e "$root$1" ] || fail "$1 is still there" "$work/step.log"; }
# Whether fish and zsh complete the installed fifocap, as USER after COMMANDS.
completes() {
  mkdir -p "$root/tmp/tests"
  cp "$top/tests/installed_completion_test.sh" "$top/tests/zsh_completions.zsh" "$root/tmp/tests/"
  as "$1" "${2:+$2; }/tmp/tests/installed_completion_test.sh" || fail "exit status $?" /dev/null
}

echo "== users whom nothing lets install: the test command"
# Refused for each missing package by name, and nothing built.
refused() {
  local user=$1 status=0 line package
  as "$user" 'cd fifocap && scripts/test.sh' >"$work/refused.log" 2>&1 || status=$?
  sed "s/^/$user: /" "$work/refused.log"
  [ "$status" -ne 0 ] || fail "the test command passed with nothing installed" "$work/refused.log"
  line=$(grep -E '^  apt-get update && apt-get install ' "$work/refused.log") ||
    fail "no command to install the missing packages" "$work/refused.log"
  for package in cmake g++ make libgtest-dev valgrind groff-base bash-completion zsh fish mbuffer strace; do
    [[ " $line " == *" $package "* ]] || fail "$package is missing from: $line" "$work/refused.log"
  done
  [ ! -e "$root/home/$user/fifocap/build" ] || fail "it built something before it stopped" "$work/refused.log"
}
refused nosudo
as_root env DEBCONF_NOWARNINGS=yes sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends sudo git >/dev/null'
echo 'user ALL=(ALL) NOPASSWD: ALL' >"$root/etc/sudoers.d/user"
echo 'asker ALL=(ALL) ALL' >"$root/etc/sudoers.d/asker" # a password, and no terminal to ask on
refused nosudoers
refused asker

echo "== an ordinary user with sudo, from nothing installed"
run user scripts/demo.sh </dev/null
quiet
grep -qx 'a writer now fits 1048576 bytes' "$work/step.log" || fail "the demo did not run" "$work/step.log"
grep -q ' through sudo; apt-get may take a minute$' "$work/step.log" || fail "no word before apt-get" "$work/step.log"
step user 'apt-get install man-db' < <(yes) # answered as a user would
grep -q '^ *fifocap - set the buffer capacity' "$work/step.log" || fail "man -l showed no page" "$work/step.log"
step user 'sudo cmake --install' </dev/null
installed /usr/local/bin/fifocap || fail "no working /usr/local/bin/fifocap" "$work/step.log"
manifest=/home/user/fifocap/build/install_manifest.txt
cp "$root$manifest" "$work/manifest"
run user scripts/test.sh </dev/null
quiet
summary "$work/step.log"
completes user "$(readme_block XDG_DATA_DIRS)" # the shells came with the tests
step user 'cpack -G DEB' </dev/null
cmp "$root$manifest" "$work/manifest" || fail "the tests or the package changed the manifest" /dev/null
unwritable=$(find "$root/home/user/fifocap/build" ! -uid "$(chroot "$root" id -u user)")
[ -z "$unwritable" ] || fail "the user cannot write: $unwritable" /dev/null
step user 'xargs rm --' </dev/null
while read -r file; do gone "$file"; done <"$work/manifest"
gone /usr/local/bin/fifocap
step user 'sudo dpkg -i' </dev/null
installed /usr/bin/fifocap || fail "no working /usr/bin/fifocap" "$work/step.log"
completes user ''
step user 'dpkg -r' </dev/null
gone /usr/bin/fifocap

echo "== the same user, in a fresh clone: tests first, packing before installing, installing twice"
git clone -q --no-hardlinks "$top" "$root/home/user/again"
chroot "$root" chown -R user:user /home/user/again
run user scripts/test.sh again </dev/null
summary "$work/step.log"
[ ! -s "$root/home/user/again/build/install_manifest.txt" ] || fail "the tests wrote the manifest" /dev/null
step user 'cpack -G DEB' again </dev/null
step user 'sudo cmake --install' again </dev/null
step user 'sudo cmake --install' again </dev/null
# Just what the install wrote, each once.
as_root find /usr/local -type f -cnewer /home/user/again/build/fifocap | sort >"$work/written"
sort "$root/home/user/again/build/install_manifest.txt" | diff - "$work/written" ||
  fail "the manifest does not list just what the install wrote" /dev/null
step user 'xargs rm --' again </dev/null
gone /usr/local/bin/fifocap

echo "== root: the README's set-up block, as written, then both ways to install"
setup=$(readme_block 'git clone')
printf '%s\n' "$setup"
as_root bash -ec "cd && ${setup//URL/$repository}" >"$work/root.log" 2>&1 </dev/null ||
  fail "the README's set-up block failed, exit status $?" "$work/root.log"
grep -E '^(a writer|\$ fifocap|.* fifo size: )' "$work/root.log"
summary "$work/root.log"
step root 'sudo cmake --install' </dev/null
installed /usr/local/bin/fifocap || fail "no working /usr/local/bin/fifocap" "$work/step.log"
step root 'xargs rm --' </dev/null
gone /usr/local/bin/fifocap
step root 'cpack -G DEB' </dev/null
step root 'sudo dpkg -i' </dev/null
installed /usr/bin/fifocap || fail "no working /usr/bin/fifocap" "$work/step.log"
step root 'dpkg -r' </dev/null
gone /usr/bin/fifocap
