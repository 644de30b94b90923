#!/usr/bin/env bash
# Checks a built package (scripts/package.sh): systemd-analyze verify accepts both units (where
# systemd is installed), and, as root, the package installs with apt-get on a fresh minimal
# Debian 12 chroot, makes the services' account and folders, and `vaultlinectl --help` runs
# from /usr/bin. Usage, from the project's root:
#
#   tests/packaging/package-check.sh build-package/vaultline_*_amd64.deb
set -euo pipefail
package=$(readlink -f "$1")
[ -f "$package" ] || { echo "no package $1" >&2; exit 1; }
work=$(mktemp -d /var/tmp/vaultline-package-check-XXXXXX)
chroot_dir="$work/root"
cleanup() {
  for mount in dev/pts dev proc; do umount -l "$chroot_dir/$mount" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

if command -v systemd-analyze >/dev/null; then
  # The package's tree, with the targets the units name and the account they run as.
  tree="$work/tree"
  dpkg-deb -x "$package" "$tree"
  cp -n /usr/lib/systemd/system/*.target "$tree/usr/lib/systemd/system/"
  mkdir -p "$tree/etc"
  cp /etc/passwd /etc/group "$tree/etc/"
  echo 'vaultline:x:990:990::/var/lib/vaultline:/usr/sbin/nologin' >>"$tree/etc/passwd"
  echo 'vaultline:x:990:' >>"$tree/etc/group"
  ln -s usr/lib "$tree/lib"
  ln -s usr/bin "$tree/bin"
  systemd-analyze verify --root="$tree" /usr/lib/systemd/system/vaultline-monitor.service \
    /usr/lib/systemd/system/vaultline-agent.service
  echo "systemd-analyze verify: both units accepted"
else
  echo "SKIPPED: systemd-analyze is not installed; the units are not verified"
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: the fresh chroot needs root"
  exit 0
fi
base=/var/tmp/vaultline-package-base
if [ ! -f "$base/.complete" ]; then
  command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -q debootstrap >/dev/null
  rm -rf "$base"
  mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=$(awk '/^deb /{print $2; exit}' /etc/apt/sources.list)
  debootstrap --variant=minbase bookworm "$base" "$mirror" >"$work/debootstrap.log" 2>&1 \
    || { echo "debootstrap failed:" >&2; tail "$work/debootstrap.log" >&2; exit 1; }
  touch "$base/.complete"
fi
cp -a "$base/." "$chroot_dir/"
mount -t proc proc "$chroot_dir/proc"
mount --bind /dev "$chroot_dir/dev"
mount --bind /dev/pts "$chroot_dir/dev/pts"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf" 2>/dev/null || true
# No service starts inside the chroot.
printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
chmod +x "$chroot_dir/usr/sbin/policy-rc.d"
cp "$package" "$chroot_dir/tmp/"
chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive bash -ec '
  apt-get update -qq
  apt-get install -y -qq /tmp/'"$(basename "$package")"' >/tmp/install.log 2>&1 || { tail -30 /tmp/install.log; exit 1; }
  /usr/bin/vaultlinectl --help >/tmp/help.txt
  grep -q -- "--metrics-listen" /tmp/help.txt
  getent passwd vaultline >/dev/null
  test -d /var/lib/vaultline/agent && test -d /etc/vaultline
  test "$(stat -c %U /var/lib/vaultline)" = vaultline
  test -f /usr/lib/systemd/system/vaultline-monitor.service
  ! test -e /etc/systemd/system/multi-user.target.wants/vaultline-monitor.service
  echo "fresh Debian 12: the package installed, vaultlinectl --help ran, the account and folders are there"
'
