#!/bin/bash
# How many machines one `bootdisk serve` boots at once: 1, 4 and 8 qemu machines start together on
# the bridge of a network of namespaces (tests/support/netboot-lab.sh, with the network's own DHCP
# server beside serve), and each is timed from qemu's start to the end of its boot check, which it
# must reach. Goal: 8 machines in under 1.5 times the time of one (the slowest of the 8 against
# the one). Beside it, serve's own share: from a machine being told its boot file to the floppy
# image sent, timed as serve's lines come; and serve alone, without emulated machines: 1, 8 and 32
# fetches of boot.img at once by curl, on the loopback interface of a namespace of its own. Needs root, iproute2, /dev/net/tun, dnsmasq, qemu-system-i386 and the loaders' packages.
# Usage: bench/netboot.sh [BUILD_DIR] [COUNTS...]    (defaults: build, 1 4 8)
set -u
build=${1:-build}
shift || true
counts=("$@")
[ ${#counts[@]} -gt 0 ] || counts=(1 4 8)
bin=$(cd "$build/bin" && pwd)
lab=$(cd "$(dirname "$0")/../tests/support" && pwd)/netboot-lab.sh
PATH=$PATH:/usr/sbin:/sbin
[ "$(id -u)" = 0 ] || { echo "network namespaces need root" >&2; exit 1; }
work=$(mktemp -d)
name=bd30-bench-$$
trap '"$lab" down "$name" "$work/lab" >/dev/null; rm -rf "$work"' EXIT

"$bin/bootdisk" netboot "$work/tftp" >/dev/null || exit 1
printf '%-9s %-9s %-9s %-9s %-13s %-7s %s\n' machines fastest mean slowest "served in" booted "seen by serve"
one=""
for count in "${counts[@]}"; do
    rm -rf "$work/lab"
    "$lab" up "$name" "$work/lab" && "$lab" serve "$name" "$work/lab" "$bin/bootdisk" "$work/tftp" || exit 1
    tail -n +1 -F "$work/lab/serve.log" 2>/dev/null | while IFS= read -r line; do
        printf '%s %s\n' "$(date +%s.%N)" "$line"
    done >"$work/stamped" &
    stamper=$!
    "$lab" boot "$name" "$work/lab" "$count" >"$work/times"
    "$lab" down "$name" "$work/lab" >/dev/null
    sleep 0.5
    kill "$stamper" 2>/dev/null
    pkill -P "$stamper" tail 2>/dev/null
    # Per machine: the moment it is told its boot file, and the moment boot.img has gone to it.
    served=$(awk '/"boot-file"/ { match($0, /"mac": "[^"]*"/); told[substr($0, RSTART, RLENGTH)] = $1 }
        /"fetched"/ && /boot.img/ { match($0, /"mac": "[^"]*"/); m = substr($0, RSTART, RLENGTH)
            if (m in told) { d = $1 - told[m]; s += d; n++; if (d > max) max = d } }
        END { if (n) printf "%.2fs/%.2fs", s / n, max; else print "-" }' "$work/stamped")
    booted=0
    for i in $(seq "$count"); do
        grep -q 'BOOT CHECK DONE' "$work/lab/serial-$i.log" 2>/dev/null && booted=$((booted + 1))
    done
    seen=$(grep '"event": "machine"' "$work/lab/serve.log" | grep -o '"mac": "[^"]*"' | sort -u | wc -l)
    read -r fastest mean slowest < <(awk '{ s += $2; if (min == "" || $2 < min) min = $2; if ($2 > max) max = $2 }
        END { printf "%.1f %.1f %.1f\n", min, s / NR, max }' "$work/times")
    printf '%-9s %-9s %-9s %-9s %-13s %-7s %s\n' "$count" "${fastest}s" "${mean}s" "${slowest}s" "$served" \
        "$booted/$count" "$seen"
    [ "$booted" = "$count" ] || { echo "not every machine reached the boot check" >&2; exit 1; }
    [ -n "$one" ] || one=$slowest
    last=$slowest
done
awk -v one="$one" -v last="$last" -v n="${counts[-1]}" -v cores="$(nproc)" 'BEGIN {
    printf "%s machines take %.2fx the time of one (goal: under 1.5x); the machines share %s cores\n", n, last / one, cores
    print "(served in: mean/slowest time from the boot file told to boot.img sent)" }'

# serve alone: TFTP fetches by curl, on a loopback interface of its own.
curl --version 2>/dev/null | grep -qw tftp || { echo "curl without TFTP: serve alone is not timed"; exit 0; }
cat >"$work/alone.sh" <<'EOF'
ip link set lo up
"$1" serve "$2" --interface lo >"$3" 2>&1 &
server=$!
for _ in $(seq 50); do grep -q '^serving' "$3" && break; sleep 0.1; done
for n in 1 8 32; do
    start=$(date +%s.%N)
    pids=()
    for _ in $(seq "$n"); do curl -s -o /dev/null tftp://127.0.0.1/boot.img & pids+=($!); done
    wait "${pids[@]}"
    printf 'serve alone: %2d fetches of boot.img at once in %.2fs\n' "$n" "$(echo "$(date +%s.%N) - $start" | bc)"
done
kill -TERM "$server"
wait "$server"
EOF
unshare -n bash "$work/alone.sh" "$bin/bootdisk" "$work/tftp" "$work/alone.log"
