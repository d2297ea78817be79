#!/bin/sh
# Times `bootdisk iso` against the pipeline a user would script instead: mkfs.fat for the boot
# floppy, mcopy of the same system and sanitizer files, then genisoimage (or xorriso) for the
# El Torito image. Every run starts a fresh process and ends with the file written.
# Usage: bench/iso_vs_pipeline.sh [BUILD_DIR] [RUNS]    (defaults: build, 20)
set -eu
build=${1:-build}
runs=${2:-20}
bin=$(cd "$build/bin" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
payload=$root/payload/files
PATH=$PATH:/usr/sbin:/sbin
export MTOOLS_SKIP_CHECK=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for tool in mkfs.fat mcopy mmd; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed (dosfstools, mtools)" >&2; exit 1; }
done

# Stand-ins for the MS-DOS system files, of realistic size.
mkdir "$work/dos" "$work/cd"
head -c 116736 /dev/urandom >"$work/dos/IO.SYS"
head -c 93880 /dev/urandom >"$work/dos/COMMAND.COM"
printf '[Options]\r\nBootGui=0\r\n' >"$work/MSDOS.SYS"
printf '@echo off\r\nprompt $p$g\r\ncd \\Korvane\r\ndata\\ctmouse\r\n@echo Running Halvex Quellmark 2005 ...\r\nKorvane \r\n' \
    >"$work/AUTOEXEC.BAT"
printf 'O1=1\r\nO2=0\r\nO3=0\r\nO4=1\r\nO5=1\r\nO6=1\r\nO7=0\r\nO8=0\r\nO9=1\r\nO10=0\r\nO11=1\r\nL=0\r\n' \
    >"$work/KORVANE.INI"

if command -v genisoimage >/dev/null 2>&1; then
    mkiso="genisoimage -quiet"
elif command -v xorriso >/dev/null 2>&1; then
    mkiso="xorriso -as mkisofs -quiet"
else
    mkiso=""
    echo "note: neither genisoimage nor xorriso is installed; the pipeline is timed without its CD image step"
fi

cat >"$work/pipeline.sh" <<EOF
set -e
img=$work/cd/floppy.img
rm -f "\$img"
mkfs.fat -C -n DSKSANIT "\$img" 1440 >/dev/null
mcopy -i "\$img" $work/dos/IO.SYS $work/dos/COMMAND.COM $work/MSDOS.SYS $work/AUTOEXEC.BAT ::/
mmd -i "\$img" ::/KORVANE ::/KORVANE/DATA
mcopy -i "\$img" $payload/Korvane/Korvane.exe $payload/Korvane/README.TXT ::/KORVANE/
mcopy -i "\$img" $payload/Korvane/DATA/CTMOUSE.EXE $payload/Korvane/DATA/METHODS.TXT $work/KORVANE.INI ::/KORVANE/DATA/
if [ -n "$mkiso" ]; then $mkiso -b floppy.img -c boot.cat -o $work/pipeline.iso $work/cd; fi
EOF
pipeline_cmd="sh $work/pipeline.sh"
bootdisk_cmd="$bin/bootdisk iso $work/bootdisk.iso --os msdos --msdos-folder $work/dos </dev/null >/dev/null"

sh -c "$bootdisk_cmd"
sh -c "$pipeline_cmd"
echo "bootdisk iso: $(wc -c <"$work/bootdisk.iso") bytes; pipeline floppy: $(wc -c <"$work/cd/floppy.img") bytes"

if command -v hyperfine >/dev/null 2>&1; then
    hyperfine --warmup 3 --runs "$runs" --export-json "$work/h.json" "$bootdisk_cmd" "$pipeline_cmd"
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; b,p=r[0]["median"],r[1]["median"]
cpu=lambda x: (x["user"]+x["system"])*1e3
print("bootdisk iso %.2f ms, pipeline %.2f ms (medians), pipeline / bootdisk = %.1fx; CPU %.2f against %.2f ms" % (b*1e3, p*1e3, p/b, cpu(r[0]), cpu(r[1])))' "$work/h.json"
    exit 0
fi

# Mean of RUNS wall-clock times in microseconds.
. "$(dirname "$0")/timing.sh"
mean_us() { run_times_us "$runs" "$1" | awk '{ s += $1 } END { print s / NR }'; }

bootdisk_us=$(mean_us "$bootdisk_cmd")
pipeline_us=$(mean_us "$pipeline_cmd")
awk -v b="$bootdisk_us" -v p="$pipeline_us" -v n="$runs" 'BEGIN {
    printf "bootdisk iso %.2f ms, pipeline %.2f ms (means of %d runs), pipeline / bootdisk = %.1fx\n",
        b / 1000, p / 1000, n, p / b }'
