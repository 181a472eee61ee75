#!/bin/bash
# SPDX-License-Identifier: MIT
# Follows the README on a fresh minimal Debian 12 root, made by mmdebstrap
# from this machine's own package sources, with the last commit copied in:
#   1. an ordinary user runs the test command: with nothing to install it
#      with, it must name every missing package in one command and build
#      nothing;
#   2. root runs the README's set-up block as written (git first, as the
#      README says): the demo prints its lines, and the suite passes with
#      no test turned off for want of a tool;
#   3. root runs the README's two ways to install, and their removals;
#   4. the ordinary user runs the test command again, and it passes.
# All of it runs in private mount and PID namespaces, so that every mount
# and every process goes when the check ends, however it ends.
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
as_user() {
  chroot "$root" setpriv --reuid=1000 --regid=1000 --clear-groups \
    env -i HOME=/home/user USER=user PATH="$path" bash -c "cd && $1"
}
repository=/srv/fifocap.git # the README's URL
as_root useradd --create-home --uid 1000 --shell /bin/bash user
git clone -q --bare "$top" "$root$repository"
git clone -q --no-hardlinks "$top" "$root/home/user/fifocap"
chown -R 1000:1000 "$root/home/user/fifocap"

# The suite's own summary, and its list of the tests that did not run.
summary() {
  sed -n '/tests passed/p; /did not run:$/,$p; /^every test ran$/p' "$1"
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

echo "== an ordinary user, with nothing installed: the test command"
status=0
as_user 'cd fifocap && scripts/test.sh' >"$work/bare.log" 2>&1 || status=$?
cat "$work/bare.log"
[ "$status" -ne 0 ] || fail "the test command passed with nothing installed" "$work/bare.log"
install_line=$(grep -E '^  apt-get update && apt-get install ' "$work/bare.log") ||
  fail "no command to install the missing packages" "$work/bare.log"
for package in cmake g++ make libgtest-dev valgrind groff-base bash-completion mbuffer; do
  [[ " $install_line " == *" $package "* ]] || fail "$package is missing from: $install_line" "$work/bare.log"
done
[ ! -e "$root/home/user/fifocap/build" ] || fail "it built something before it stopped" "$work/bare.log"

echo "== root: the README's set-up block, as written"
setup=$(readme_block 'git clone')
printf '%s\n' "$setup"
as_root sh -c 'apt-get update -qq && apt-get install -y -qq --no-install-recommends git >/dev/null'
as_root bash -ec "cd && ${setup//URL/$repository}" >"$work/root.log" 2>&1 ||
  fail "the README's set-up block failed, exit status $?" "$work/root.log"
grep -E '^(a writer|\$ fifocap|.* fifo size: )' "$work/root.log"
grep -qx 'a writer now fits 1048576 bytes' "$work/root.log" || fail "the demo did not run" "$work/root.log"
summary "$work/root.log"

# Runs the README's sh block that holds TEXT as root in the clone.
run_readme_block() {
  local block
  block=$(readme_block "$1")
  [ -n "$block" ] || fail "no README block holds $1" /dev/null
  printf '$ %s\n' "$block"
  as_root bash -ec "cd ~/fifocap && $block" >"$work/step.log" 2>&1 || fail "exit status $?" "$work/step.log"
}
installed() { as_root sh -c "$1 >/dev/null; [ \$? -eq 1 ]"; } # the usage, status 1
echo "== root: the README's two ways to install, and to remove"
run_readme_block 'cmake --install'
installed /usr/local/bin/fifocap || fail "no working /usr/local/bin/fifocap" "$work/step.log"
run_readme_block install_manifest.txt
[ ! -e "$root/usr/local/bin/fifocap" ] || fail "the removal left /usr/local/bin/fifocap" "$work/step.log"
run_readme_block 'cpack -G DEB'
installed /usr/bin/fifocap || fail "no working /usr/bin/fifocap" "$work/step.log"
run_readme_block 'dpkg -r'
[ ! -e "$root/usr/bin/fifocap" ] || fail "dpkg -r left /usr/bin/fifocap" "$work/step.log"

echo "== the ordinary user: the test command again"
as_user 'cd fifocap && scripts/test.sh' >"$work/user.log" 2>&1 ||
  fail "the test command failed as an ordinary user, exit status $?" "$work/user.log"
summary "$work/user.log"
