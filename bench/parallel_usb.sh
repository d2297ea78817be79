#!/bin/sh
# Times `bootdisk usb` writing the boot disk to 1, 2 and 4 sticks at once, against dd of the same
# image with conv=fsync and a read of it back (cache dropped first) on one stick. The sticks are
# loop devices made to read as removable in a private mount namespace, each held to about 1 MB/s
# for writes and reads by the block I/O controller, so that the device, not the program, sets the
# pace, as on a slow stick. Goals: four sticks take at most 1.3x one stick, and one stick at most
# 1.1x dd plus the read-back. Needs root, losetup, unshare, hyperfine and the cgroup v1 blkio or the
# cgroup v2 io controller. Usage: bench/parallel_usb.sh [BUILD_DIR] [RUNS]    (defaults: build, 5)
set -eu
build=${1:-build}
runs=${2:-5}
bin=$(cd "$build/bin" && pwd)
PATH=$PATH:/usr/sbin:/sbin
export SOURCE_DATE_EPOCH=1136073600
rate=1048576
[ "$(id -u)" = 0 ] || { echo "loop devices need root" >&2; exit 1; }
command -v hyperfine >/dev/null 2>&1 || { echo "hyperfine is not installed" >&2; exit 1; }
work=$(mktemp -d)
loops=""
group=""
cleanup() {
    for loop in $loops; do losetup -d "$loop" 2>/dev/null || true; done
    [ -z "$group" ] || rmdir "$group" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The throttle: a group of the block I/O controller holding every command timed.
if [ -d /sys/fs/cgroup/blkio ]; then
    group=/sys/fs/cgroup/blkio/bootdisk-bench-$$
    mkdir "$group"
    limit() { echo "$1 $rate" >"$group/blkio.throttle.write_bps_device"; echo "$1 $rate" >"$group/blkio.throttle.read_bps_device"; }
elif grep -qw io /sys/fs/cgroup/cgroup.controllers 2>/dev/null; then
    echo +io >/sys/fs/cgroup/cgroup.subtree_control 2>/dev/null || true
    group=/sys/fs/cgroup/bootdisk-bench-$$
    mkdir "$group"
    limit() { echo "$1 rbps=$rate wbps=$rate" >"$group/io.max"; }
else
    echo "no block I/O controller (cgroup v1 blkio or v2 io) to hold the sticks to a stick's pace" >&2
    exit 1
fi

binds=""
for i in 1 2 3 4; do
    truncate -s 4M "$work/stick$i"
    loop=$(losetup -f --show "$work/stick$i")
    loops="$loops $loop"
    limit "$(lsblk -dno MAJ:MIN "$loop" | tr -d ' ')"
    binds="$binds mount --bind $work/removable /sys/block/${loop#/dev/}/removable &&"
done
echo 1 >"$work/removable"
set -- $loops
"$bin/bootdisk" image "$work/usb.img" --usb --no-record >/dev/null

# Each command runs in the throttled group and in a namespace where the sticks read as removable.
in_group() { echo "unshare --mount sh -c 'echo \$\$ >$group/cgroup.procs && $binds $1'"; }
usb() { in_group "$bin/bootdisk usb $* --yes --no-record </dev/null >/dev/null"; }
dd_cmd=$(in_group "dd if=$work/usb.img of=$1 bs=1M conv=fsync status=none && blockdev --flushbufs $1 && cmp -n 1474560 $work/usb.img $1")

sh -c "$(usb "$@")"
for stick in 1 2 3 4; do
    cmp -n 1474560 "$work/usb.img" "$work/stick$stick" || { echo "stick $stick does not hold the image" >&2; exit 1; }
done

hyperfine --runs "$runs" --export-json "$work/h.json" -n "dd + read-back, 1 stick" "$dd_cmd" \
    -n "bootdisk usb, 1 stick" "$(usb "$1")" -n "bootdisk usb, 2 sticks" "$(usb "$1" "$2")" \
    -n "bootdisk usb, 4 sticks" "$(usb "$@")"
python3 -c 'import json,sys
r={x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
d,one,two,four=(r[k] for k in ("dd + read-back, 1 stick","bootdisk usb, 1 stick","bootdisk usb, 2 sticks","bootdisk usb, 4 sticks"))
print("| run (medians) | seconds | ratio |\n|---|---|---|")
print("| dd + read-back, 1 stick | %.2f | |" % d)
print("| bootdisk usb, 1 stick | %.2f | %.2fx dd (goal at most 1.1x) |" % (one, one/d))
print("| bootdisk usb, 2 sticks | %.2f | %.2fx one stick |" % (two, two/one))
print("| bootdisk usb, 4 sticks | %.2f | %.2fx one stick (goal at most 1.3x) |" % (four, four/one))' "$work/h.json"
