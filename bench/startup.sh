#!/bin/sh
# Times the start of `bootdisk`: `--version` (loading the program and its libraries) and `payload`
# (also the language file and both payloads), beside `true` and `bootdisk --help`, the floor of any
# process start on this machine and of this program's.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]    (defaults: build, 50)
set -eu
build=${1:-build}
runs=${2:-50}
bin=$(cd "$build/bin" && pwd)
command -v hyperfine >/dev/null 2>&1 || { echo "hyperfine is not installed" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "libraries loaded at start: $(ldd "$bin/bootdisk" | grep -c '=>')"
hyperfine -N --warmup 5 --runs "$runs" --export-json "$work/h.json" \
    true "$bin/bootdisk --help" "$bin/bootdisk --version" "$bin/bootdisk payload"
python3 -c 'import json,sys
for r in json.load(open(sys.argv[1]))["results"]:
    print("%-40s median %6.2f ms, CPU %6.2f ms" % (r["command"].split("/")[-1], r["median"]*1e3, (r["user"]+r["system"])*1e3))' "$work/h.json"

# What the machine's load does not disturb: instructions (valgrind) and page faults (perf), each of
# which costs far more on a virtual machine than on bare hardware.
for args in --version payload; do
    line="bootdisk $args:"
    if command -v valgrind >/dev/null 2>&1; then
        line="$line $(valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bin/bootdisk" $args 2>&1 >/dev/null |
            awk '/refs:/ { gsub(",", "", $NF); print $NF }') instructions"
    fi
    if command -v perf >/dev/null 2>&1; then
        line="$line, $(perf stat -x, -e page-faults "$bin/bootdisk" $args 2>&1 >/dev/null | awk -F, '/page-faults/ { print $1 }') page faults"
    fi
    echo "$line"
done
