#!/bin/sh
# Times `lzhuf d` against `gzip -d` on the payload-like mix of bench_lzh_decode.
# Usage: bench/lzh_vs_gzip.sh [BUILD_DIR] [RUNS]    (defaults: build, 30)
set -eu
build=${1:-build}
runs=${2:-30}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bin/bench_lzh_decode" --write-mix "$work/mix"
gzip -c "$work/mix" >"$work/mix.gz"
"$bin/lzhuf" e "$work/mix" "$work/mix.lzh"
"$bin/lzhuf" d "$work/mix.lzh" "$work/check"
cmp -s "$work/mix" "$work/check" || { echo "lzhuf round trip failed" >&2; exit 1; }
echo "mix $(wc -c <"$work/mix") bytes; gzip $(wc -c <"$work/mix.gz"), lzh $(wc -c <"$work/mix.lzh")"

gzip_cmd="gzip -dc $work/mix.gz > $work/out.gz"
lzh_cmd="$bin/lzhuf d $work/mix.lzh $work/out.lzh"

if command -v hyperfine >/dev/null 2>&1; then
    hyperfine -N --warmup 3 --runs "$runs" --export-json "$work/h.json" "$gzip_cmd" "$lzh_cmd"
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"]; g,l=r[0]["median"],r[1]["median"]
print("gzip -d %.2f ms, lzhuf d %.2f ms, lzhuf speed = %.2fx gzip" % (g*1e3, l*1e3, g/l))' "$work/h.json"
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
