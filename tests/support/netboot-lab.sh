#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A network of its own for booting machines from `bootdisk serve`, made of network namespaces:
#   LAB       the serving computer: bridge br30 (10.30.0.1/24), `bootdisk serve` on it, and one tap
#             per qemu machine on the bridge;
#   LAB-dhcp  the network's own DHCP server (a plain dnsmasq handing out 10.30.0.100-199), joined to
#             the bridge by a veth pair.
# Nothing of it touches the host's own network. Needs root, ip (iproute2), /dev/net/tun, dnsmasq
# and qemu-system-i386.
#
#   netboot-lab.sh up LAB WORK                  make the network; WORK holds logs and process ids
#   netboot-lab.sh serve LAB WORK BOOTDISK DIR  start `bootdisk serve DIR --json` on the bridge
#   netboot-lab.sh boot LAB WORK N              boot N machines at once; prints "machine seconds status"
#   netboot-lab.sh down LAB WORK                stop everything and remove the network; fails
#                                               naming what did not stop with serve
set -u

readonly bridge=br30 serverAddress=10.30.0.1
# The boot check ends qemu through isa-debug-exit, as status 1.
readonly bootCheckStatus=1

lab_up() {
    local lab=$1 work=$2
    mkdir -p "$work"
    ip netns add "$lab" && ip netns add "$lab-dhcp" || return 1
    ip -n "$lab" link set lo up
    ip -n "$lab" link add "$bridge" type bridge forward_delay 0
    ip -n "$lab" addr add "$serverAddress/24" dev "$bridge"
    ip -n "$lab" link set "$bridge" up
    ip -n "$lab" link add veth30a type veth peer name veth30b netns "$lab-dhcp"
    ip -n "$lab" link set veth30a master "$bridge" up
    ip -n "$lab-dhcp" addr add 10.30.0.2/24 dev veth30b
    ip -n "$lab-dhcp" link set veth30b up
    ip netns exec "$lab-dhcp" dnsmasq --keep-in-foreground --log-facility=- --conf-file=/dev/null --port=0 \
        --interface=veth30b --bind-interfaces --dhcp-range=10.30.0.100,10.30.0.199,1h \
        --dhcp-leasefile="$work/leases" --no-ping --pid-file= >"$work/dhcp.log" 2>&1 &
    echo $! >"$work/dhcp.pid"
}

lab_serve() {
    local lab=$1 work=$2 bootdisk=$3 folder=$4
    ip netns exec "$lab" "$bootdisk" serve "$folder" --interface "$bridge" --json >"$work/serve.log" 2>&1 &
    echo $! >"$work/serve.pid"
    for _ in $(seq 100); do
        grep -q '"event": "ready"' "$work/serve.log" && return 0
        kill -0 "$(cat "$work/serve.pid")" 2>/dev/null || break
        sleep 0.1
    done
    cat "$work/serve.log" >&2
    return 1
}

lab_boot() {
    local lab=$1 work=$2 count=$3 i
    for i in $(seq "$count"); do
        ip -n "$lab" tuntap add "tap30-$i" mode tap
        ip -n "$lab" link set "tap30-$i" master "$bridge" up
    done
    for i in $(seq "$count"); do
        (
            start=$(date +%s.%N)
            ip netns exec "$lab" timeout 120 qemu-system-i386 -display none -no-reboot -m 16 \
                -serial "file:$work/serial-$i.log" -device isa-debug-exit,iobase=0xf4,iosize=0x04 \
                -netdev "tap,id=lan,ifname=tap30-$i,script=no,downscript=no" \
                -device "e1000,netdev=lan,mac=52:54:00:30:00:$(printf %02x "$i")" -boot n >"$work/qemu-$i.log" 2>&1
            status=$?
            echo "$i $(echo "$(date +%s.%N) - $start" | bc) $status" >"$work/time-$i"
        ) &
    done
    wait
    for i in $(seq "$count"); do
        cat "$work/time-$i"
        ip -n "$lab" link del "tap30-$i"
    done
}

lab_down() {
    local lab=$1 work=$2 name ns left status=0
    # SIGTERM, as a background job ignores SIGINT: serve stops dnsmasq and says so.
    for name in serve dhcp; do
        [ -f "$work/$name.pid" ] || continue
        kill -TERM "$(cat "$work/$name.pid")" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$(cat "$work/$name.pid")" 2>/dev/null || break; sleep 0.1; done
        rm -f "$work/$name.pid"
    done
    # Whatever still runs in the namespaces was started here, and would outlive them.
    for ns in "$lab" "$lab-dhcp"; do
        left=$(ip netns pids "$ns" 2>/dev/null)
        if [ -n "$left" ]; then
            echo "left running in $ns: $(ps -o comm= -p "$(echo $left | tr ' ' ,)" | tr '\n' ' ')"
            echo "$left" | xargs kill -KILL
            status=1
        fi
        ip netns del "$ns" 2>/dev/null
    done
    return $status
}

case "${1:-}" in
    up) lab_up "$2" "$3" ;;
    serve) lab_serve "$2" "$3" "$4" "$5" ;;
    boot) lab_boot "$2" "$3" "$4" ;;
    down) lab_down "$2" "$3" ;;
    *) echo "usage: $0 up|serve|boot|down LAB WORK ..." >&2; exit 2 ;;
esac
