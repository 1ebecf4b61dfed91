#!/usr/bin/env bash
# Runs `make test` on the other supported Debian release: Debian 13 (trixie)
# on a Debian 12 (bookworm) machine, and Debian 12 on a Debian 13 one, so
# that both releases are tried from one machine.
#
# A minimal root of that release is made once with debootstrap, from the
# mirror this machine's apt already uses, and kept as a tarball under
# /var/tmp/zorbanu-roots. Every run unpacks a fresh copy of it, clones the
# checkout into the copy (with any uncommitted changes to tracked files) and
# runs `make test` there as root, so each run installs what it needs from
# nothing and a missing install step shows. The copy is removed afterwards.
#
# Usage: sudo tools/other-release.sh [COMMAND]
#   COMMAND  what to run in the clone instead of `make test`
# Needs root (debootstrap, chroot and bind mounts).
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$PWD
command=${1:-make test}

[ "$(id -u)" -eq 0 ] || exec sudo "$0" "$@"

# shellcheck source=/dev/null
. /etc/os-release
case $VERSION_CODENAME in
bookworm) suite=trixie ;;
trixie) suite=bookworm ;;
*) echo "other-release.sh: runs on Debian 12 or 13, not on $PRETTY_NAME" >&2; exit 2 ;;
esac

# The machine's own Debian mirror: from the deb822 sources file, or the
# classic one-line format.
mirror() {
  local uri
  uri=$(grep -hsE '^URIs:' /etc/apt/sources.list.d/debian.sources | awk '{print $2}' |
    grep -v -- '-security' | head -n 1 || true)
  [ -n "$uri" ] || uri=$(grep -hsE '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
    awk '{print $2}' | grep -v -- '-security' | head -n 1 || true)
  echo "${uri:-http://deb.debian.org/debian}"
}

store=/var/tmp/zorbanu-roots
base=$store/$suite.tar
root=$store/$suite-run.$$
mkdir -p "$store"

started=$SECONDS
if [ ! -s "$base" ]; then
  command -v debootstrap >/dev/null || {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
  } >/dev/null
  making=$store/$suite-making
  rm -rf "$making"
  echo "other-release.sh: making a Debian $suite root from $(mirror)"
  debootstrap --variant=minbase "$suite" "$making" "$(mirror)" >"$store/$suite-debootstrap.log" 2>&1 || {
    tail -n 20 "$store/$suite-debootstrap.log" >&2; exit 1
  }
  # What a new user has before the README's commands: make, git, sudo and
  # python3 (the rest is for make test's install script to bring).
  chroot "$making" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends make git ca-certificates sudo python3 >/dev/null
  chroot "$making" apt-get clean
  tar -C "$making" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$making"
fi

cleanup() {
  for m in sys dev proc; do
    umount -R "$root/$m" 2>/dev/null || umount -lR "$root/$m" 2>/dev/null || true
  done
  # Only remove the copy once nothing of the host is mounted inside it.
  if ! grep -qs " $root/" /proc/mounts; then rm -rf "$root"; fi
}
trap cleanup EXIT
mkdir -p "$root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys"

# The checkout as it stands: its commit, or a commit of its uncommitted
# changes to tracked files, which a local clone takes with every object.
revision=$(git -C "$checkout" stash create 2>/dev/null || true)
revision=${revision:-$(git -C "$checkout" rev-parse HEAD)}
git clone -q "$checkout" "$root/root/zorbanu"
git -C "$root/root/zorbanu" checkout -q --detach "$revision"
echo "other-release.sh: root ready after $((SECONDS - started)) s; running '$command' on Debian $suite"

ran=$SECONDS
set +e
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c "cd /root/zorbanu && $command"
status=$?
set -e
echo "other-release.sh: '$command' on Debian $suite ended with status $status after $((SECONDS - ran)) s"
exit "$status"
