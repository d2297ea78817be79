#!/bin/sh
# Times `bootdisk usb` (build the 1.44 MB image, write it raw, flush, read it back and compare)
# against what a user would type instead: dd of the same image with conv=fsync, then a read of the
# same bytes from the device (its cache dropped first, as bootdisk drops it) compared with cmp.
# The drive is a loop device on a file, made to read as removable in a private mount namespace; both
# commands run in such a namespace. Needs root, losetup and unshare.
# Usage: bench/usb_vs_dd.sh [BUILD_DIR] [RUNS]    (defaults: build, 20)
set -eu
build=${1:-build}
runs=${2:-20}
bin=$(cd "$build/bin" && pwd)
PATH=$PATH:/usr/sbin:/sbin
# The same moment in every image, so that the two commands write the same bytes.
export SOURCE_DATE_EPOCH=1136073600
[ "$(id -u)" = 0 ] || { echo "loop devices need root" >&2; exit 1; }
command -v hyperfine >/dev/null 2>&1 || { echo "hyperfine is not installed" >&2; exit 1; }
work=$(mktemp -d)
loop=""
trap '[ -z "$loop" ] || losetup -d "$loop"; rm -rf "$work"' EXIT

truncate -s 4M "$work/stick"
loop=$(losetup -f --show "$work/stick")
echo 1 >"$work/removable"
removable="mount --bind $work/removable /sys/block/${loop#/dev/}/removable"
"$bin/bootdisk" image "$work/usb.img" --usb >/dev/null

bootdisk_cmd="unshare --mount sh -c '$removable && $bin/bootdisk usb $loop --yes </dev/null >/dev/null'"
dd_cmd="unshare --mount sh -c '$removable && dd if=$work/usb.img of=$loop bs=1M conv=fsync status=none && blockdev --flushbufs $loop && cmp -n 1474560 $work/usb.img $loop'"
sh -c "$bootdisk_cmd"
cmp -n 1474560 "$work/usb.img" "$work/stick" || { echo "bootdisk usb wrote other bytes than bootdisk image --usb" >&2; exit 1; }

hyperfine --warmup 3 --runs "$runs" --export-json "$work/h.json" "$dd_cmd" "$bootdisk_cmd"
python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; d,b=r[0]["median"],r[1]["median"]
print("dd + read %.2f ms, bootdisk usb %.2f ms (medians): bootdisk takes %.2fx dd" % (d*1e3, b*1e3, b/d))' "$work/h.json"
