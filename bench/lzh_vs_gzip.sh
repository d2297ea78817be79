#!/bin/sh
# Times `lzhuf d` against `gzip -d` on the payload-like mix of bench_lzh_decode: both whole
# processes that read the compressed file and write the plain one to the disk (gzip with
# --synchronous, as lzhuf syncs its output before it takes its name). The in-process comparison
# with the classic tree-walking decoder is `bench_lzh_decode`.
# Usage: bench/lzh_vs_gzip.sh [BUILD_DIR] [RUNS]    (defaults: build, 30)
set -eu
build=${1:-build}
runs=${2:-30}
bin=$(cd "$build/bin" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/bench_lzh_decode" --write-mix "$work/mix"
mkdir "$work/g"
gzip -c "$work/mix" >"$work/g/mix.gz"
"$bin/lzhuf" e "$work/mix" "$work/mix.lzh"
"$bin/lzhuf" d "$work/mix.lzh" "$work/check"
cmp -s "$work/mix" "$work/check" || { echo "lzhuf round trip failed" >&2; exit 1; }
echo "mix $(wc -c <"$work/mix") bytes; gzip $(wc -c <"$work/g/mix.gz"), lzh $(wc -c <"$work/mix.lzh")"

# gzip -d writes g/mix beside g/mix.gz; -k keeps the input, -f replaces the output of the last run.
gzip_cmd="gzip -dkf --synchronous $work/g/mix.gz"
lzh_cmd="$bin/lzhuf d $work/mix.lzh $work/out"

if command -v hyperfine >/dev/null 2>&1; then
    hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/h.json" "$gzip_cmd" "$lzh_cmd"
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; g,l=r[0]["median"],r[1]["median"]
cpu=lambda x: (x["user"]+x["system"])*1e3
print("gzip -d %.2f ms, lzhuf d %.2f ms (medians), lzhuf speed = %.2fx gzip; CPU %.2f against %.2f ms" % (g*1e3, l*1e3, g/l, cpu(r[0]), cpu(r[1])))' "$work/h.json"
    exit 0
fi

# Median of RUNS wall-clock times in microseconds.
. "$(dirname "$0")/timing.sh"
median_us() { run_times_us "$runs" "$1" | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

sh -c "$gzip_cmd"; sh -c "$lzh_cmd"
gzip_us=$(median_us "$gzip_cmd")
lzh_us=$(median_us "$lzh_cmd")
awk -v g="$gzip_us" -v l="$lzh_us" \
    'BEGIN { printf "gzip -d %.2f ms, lzhuf d %.2f ms, lzhuf speed = %.2fx gzip\n", g / 1000, l / 1000, g / l }'
