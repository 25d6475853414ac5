#!/bin/sh
# Mounts a small ext2 image labelled QVRDRIVE that holds an export file, makes
# the by-label link that udev would make, and runs the discovery test against
# the real mounted volumes. Cleans up everything, also on failure. Exits 77
# (skipped) where this machine cannot mount.
set -u
test_program=$1
sample=$2

skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "mounting a loop device needs root"
command -v mke2fs >/dev/null 2>&1 || skip "mke2fs is missing"
command -v losetup >/dev/null 2>&1 || skip "losetup is missing"

work=$(mktemp -d)
loop=""
mounted=""
made_dirs=""
link=/dev/disk/by-label/QVRDRIVE
made_link=""
cleanup() {
    [ -n "$made_link" ] && rm -f "$link"
    for dir in $made_dirs; do rmdir "$dir" 2>/dev/null; done
    [ -n "$mounted" ] && umount "$work/mnt"
    [ -n "$loop" ] && losetup -d "$loop"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

mkdir -p "$work/root" "$work/mnt"
cp "$sample" "$work/root/results.xml"
mke2fs -q -t ext2 -L QVRDRIVE -d "$work/root" "$work/image" 1M || skip "cannot make an ext2 image"
loop=$(losetup --find --show "$work/image" 2>/dev/null) || { loop=""; skip "no loop device"; }
mount -t ext2 "$loop" "$work/mnt" 2>/dev/null || skip "cannot mount a loop device here"
mounted=1
[ -e "$link" ] && skip "this machine already has a volume labelled QVRDRIVE"
for dir in /dev/disk /dev/disk/by-label; do
    if [ ! -d "$dir" ]; then
        mkdir "$dir" || skip "cannot create $dir"
        made_dirs="$dir $made_dirs"
    fi
done
ln -s "$loop" "$link" && made_link=1

DATARIUM_VOLUME_ROOT="$work/mnt" "$test_program"
