#!/usr/bin/env bash
# Builds the test lab network from Linux network namespaces, runs a command in its client namespace
# and tears everything down again. The addresses and names come from lab_topology.h.
set -euo pipefail

usage() {
    cat >&2 <<'EOF'
usage: lab.sh run [OPTIONS] [--] CMD ARGS...   build a lab, run CMD in its client namespace, tear down
       lab.sh up [OPTIONS]                     build a lab and leave it standing; prints its prefix
       lab.sh down PREFIX                      tear down the lab with that prefix
       lab.sh cleanup [--stale]                tear down every lab left by earlier runs and by "up"
                                               (--stale: only those of runs that died)
       lab.sh lose PREFIX                      the slow link of a lab built with --loss-later
                                               starts to lose packets now
       lab.sh route PREFIX main|alt            the switched destination's route through r2 or r2b
       lab.sh quiet PREFIX SECONDS             the quiet destination drops echoes for SECONDS
       lab.sh mute PREFIX SECONDS              r2b drops its own echo replies for SECONDS
options of the slow link (r5 to r6), each direction:
       --delay MS (default 20)  --jitter MS (default 0)  --loss PERCENT (default 0)
       --loss-later (the loss begins only with "lab.sh lose")
EOF
    exit 2
}

LAB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
STATE_ROOT=/run/routelark-lab
PYTHON=/usr/bin/python3
[ -x "$PYTHON" ] || PYTHON=python3
# Every name of a lab starts with "rl" and six hex digits, so leftovers are easy to recognise.
PREFIX_RE='^rl[0-9a-f]{6}$'

topo() { # value of a #define in lab_topology.h
    awk -v n="$1" '$1 == "#define" && $2 == n { v = $3; gsub(/"/, "", v); print v; exit }' \
        "$LAB_DIR/lab_topology.h"
}

die() { echo "lab.sh: $*" >&2; exit 1; }

DELAY=$(topo LAB_DELAY_MS)
JITTER=0
LOSS=0
LOSS_LATER=()
ROUTERS=$(topo LAB_ROUTERS)
DEST_HOP=$(topo LAB_DEST_HOP)
SILENT_HOP=$(topo LAB_SILENT_HOP)
UNROUTED_HOP=$(topo LAB_UNROUTED_HOP)
SLOW_HOP=$(topo LAB_SLOW_HOP)
NET=198.18           # link k is $NET.k.0/24 (see lab_topology.h)
EVENT_NET=$NET.40.0/24 # the event tests' own addresses of the destination
ALT_UP=44 ALT_DOWN=45  # r2b's links: to r1, to r3
UNROUTED_NET=198.19.0.0/16
WHOIS_LINK=10

P=""                 # prefix of the lab this invocation builds or removes

ns() { echo "$P-$1"; }
in_ns() { local n=$1; shift; ip netns exec "$P-$n" "$@"; }
hop_ns() { if [ "$1" -eq "$DEST_HOP" ]; then echo dest; elif [ "$1" -eq 0 ]; then echo client; else echo "r$1"; fi; }

add_namespace() {
    ip netns add "$(ns "$1")"
    in_ns "$1" sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1
    ip -n "$(ns "$1")" link set lo up
}

make_router() {
    # Forward, and answer every probe: no ICMP rate limit, errors from the inbound interface.
    in_ns "$1" sysctl -qw net.ipv4.ip_forward=1 net.ipv4.icmp_ratelimit=0 \
        net.ipv4.icmp_msgs_per_sec=100000 net.ipv4.icmp_msgs_burst=100000 \
        net.ipv4.icmp_errors_use_inbound_ifaddr=1
}

# veth pair on link $3: $1 (towards the client) gets .2, $2 gets .1.
add_link() {
    local up=$1 down=$2 link=$3
    ip -n "$(ns "$up")" link add "to-$down" type veth peer name "to-$up" netns "$(ns "$down")"
    ip -n "$(ns "$up")" addr add "$NET.$link.2/24" dev "to-$down"
    ip -n "$(ns "$down")" addr add "$NET.$link.1/24" dev "to-$up"
    ip -n "$(ns "$up")" link set "to-$down" up
    ip -n "$(ns "$down")" link set "to-$up" up
}

wait_for() { # wait_for SECONDS WHAT CMD...: poll until CMD succeeds
    local tries=$(($1 * 20)) what=$2
    shift 2
    until "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || die "timed out waiting for $what"
        sleep 0.05
    done
}

# Starts a long-lived helper in a namespace, detached so that it outlives "lab.sh up".
start_helper() {
    local name=$1 where=$2
    shift 2
    setsid ip netns exec "$(ns "$where")" "$@" </dev/null >"$STATE/$name.log" 2>&1 &
    echo $! >"$STATE/$name.pid"
}

slow_link() { # link $SLOW_HOP between hop SLOW_HOP-1 and SLOW_HOP through the TUN relay
    local up down link=$SLOW_HOP
    up=$(hop_ns $((link - 1)))
    down=$(hop_ns "$link")
    start_helper relay "$up" "$PYTHON" "$LAB_DIR/tun_relay.py" --delay "$DELAY" --jitter "$JITTER" \
        --loss "$LOSS" "${LOSS_LATER[@]}" "to-$down" "to-$up"
    wait_for 10 "the relay's TUN devices" grep -qx ready "$STATE/relay.log"
    # Both devices open in the upper router's namespace; one moves over, its file stays with the relay.
    ip -n "$(ns "$up")" link set "to-$up" netns "$(ns "$down")"
    ip -n "$(ns "$up")" addr add "$NET.$link.2/24" dev "to-$down"
    ip -n "$(ns "$down")" addr add "$NET.$link.1/24" dev "to-$up"
    ip -n "$(ns "$up")" link set "to-$down" up
    ip -n "$(ns "$down")" link set "to-$up" up
}

route_router() {
    local k=$1 j n
    n=$(ns "r$k")
    for ((j = 1; j < k; j++)); do ip -n "$n" route add "$NET.$j.0/24" via "$NET.$k.2"; done
    [ "$k" -eq 1 ] || ip -n "$n" route add "$NET.$WHOIS_LINK.0/24" via "$NET.$k.2"
    if [ "$k" -lt "$UNROUTED_HOP" ]; then
        ip -n "$n" route add "$NET.0.0/15" via "$NET.$((k + 1)).1"
    else
        for ((j = k + 2; j <= DEST_HOP; j++)); do ip -n "$n" route add "$NET.$j.0/24" via "$NET.$((k + 1)).1"; done
    fi
}

# long_name LETTER LENGTH: a name of LENGTH bytes, labels of LETTER (63 at most) ending in the domain.
long_name() {
    local suffix=.$(topo LAB_DOMAIN) body="" i
    for ((i = 1; i <= $2 - ${#suffix}; i++)); do
        if ((i % 64 == 0)); then body+=.; else body+=$1; fi
    done
    echo "$body$suffix"
}

# r2b beside r2, the destination's addresses for the event tests and their routes (see
# lab_topology.h), and the tables that "quiet" and "mute" fill with the client's address.
event_paths() {
    local k a switch quiet shy
    switch=$(topo LAB_SWITCH_DEST_ADDR) quiet=$(topo LAB_QUIET_DEST_ADDR) shy=$(topo LAB_SHY_DEST_ADDR)
    add_namespace r2b
    make_router r2b
    add_link r1 r2b "$ALT_UP"
    add_link r2b r3 "$ALT_DOWN"
    for a in "$switch" "$quiet" "$shy"; do ip -n "$(ns dest)" addr add "$a/32" dev lo; done
    ip -n "$(ns r1)" route add "$switch/32" via "$NET.2.1"
    ip -n "$(ns r1)" route add "$shy/32" via "$NET.$ALT_UP.1"
    ip -n "$(ns r2b)" route add "$NET.0.0/15" via "$NET.$ALT_UP.2"
    ip -n "$(ns r2b)" route add "$EVENT_NET" via "$NET.$ALT_DOWN.1"
    for ((k = UNROUTED_HOP; k <= ROUTERS; k++)); do
        ip -n "$(ns "r$k")" route add "$EVENT_NET" via "$NET.$((k + 1)).1"
    done
    # r3's errors leave from its address towards the client, whichever link the probe came in on.
    in_ns r3 sysctl -qw net.ipv4.icmp_errors_use_inbound_ifaddr=0
    in_ns dest nft -f - <<NFT
table ip events {
    set quiet { type ipv4_addr; flags timeout; }
    chain input {
        type filter hook input priority 0; policy accept;
        ip daddr $quiet icmp type echo-request ip saddr @quiet drop
    }
}
NFT
    # The output hook sees only what r2b sends itself, never what it forwards.
    in_ns r2b nft -f - <<NFT
table ip events {
    set muted { type ipv4_addr; flags timeout; }
    chain output {
        type filter hook output priority 0; policy accept;
        icmp type echo-reply ip daddr @muted drop
    }
}
NFT
}

write_names() {
    local dir=/etc/netns/$(ns client) k
    mkdir -p "$dir"
    : >"$dir/resolv.conf" # no name server: the resolver asks 127.0.0.1, the client's own
    {
        echo "127.0.0.1 localhost"
        echo "$(topo LAB_CLIENT_ADDR) $(topo LAB_CLIENT_NAME)"
        for ((k = 1; k <= ROUTERS; k++)); do
            echo "$(topo LAB_R${k}_ADDR) $(topo LAB_R${k}_NAME) $(topo LAB_R${k}_ALIAS)"
        done
        echo "$(topo LAB_DEST_ADDR) $(topo LAB_DEST_NAME)"
        echo "$(topo LAB_ALT_ADDR) $(topo LAB_ALT_NAME)"
        echo "$(topo LAB_DEST_ADDR) $(long_name h "$(topo LAB_LONG_HOST_LENGTH)")"
        echo "$(topo LAB_LONG_REVERSE_ADDR) $(long_name n "$(topo LAB_LONG_REVERSE_LENGTH)")"
        echo "$(topo LAB_HTML_NAME_ADDR) $(topo LAB_HTML_NAME)"
        printf '%s %b\n' "$(topo LAB_HIGH_BYTES_ADDR)" "$(topo LAB_HIGH_BYTES_NAME)"
        echo "$(topo LAB_WHOIS_ADDR) $(topo LAB_WHOIS_NAME)"
        echo "$(topo LAB_UNROUTED_ADDR) $(topo LAB_UNROUTED_NAME)"
        echo "$(topo LAB_NOHOST_ADDR) $(topo LAB_NOHOST_NAME)"
        for ((k = 1; k <= $(topo LAB_LOOPBACK_WHOIS_COUNT); k++)); do
            echo "$(topo LAB_LOOPBACK_WHOIS_NET).$k whois-$k.loopback.$(topo LAB_DOMAIN)"
        done
    } >"$dir/hosts"
}

lab_up() {
    [ "$(id -u)" -eq 0 ] || die "needs root (network namespaces; Wine's ICMP needs raw sockets)"
    [ -c /dev/net/tun ] || die "no /dev/net/tun"
    P=rl$(od -An -N3 -tx1 /dev/urandom | tr -d ' \n')
    STATE=$STATE_ROOT/$P
    mkdir -p "$STATE"
    echo "$OWNER" >"$STATE/owner"
    local k
    for n in client $(for ((k = 1; k <= ROUTERS; k++)); do echo "r$k"; done) dest whois; do add_namespace "$n"; done
    for ((k = 1; k <= ROUTERS; k++)); do make_router "r$k"; done
    for ((k = 1; k <= DEST_HOP; k++)); do
        [ "$k" -eq "$SLOW_HOP" ] || add_link "$(hop_ns $((k - 1)))" "$(hop_ns "$k")" "$k"
    done
    slow_link
    add_link r1 whois "$WHOIS_LINK"
    ip -n "$(ns client)" route add "$NET.0.0/15" via "$NET.1.1"
    ip -n "$(ns dest)" route add "$NET.0.0/15" via "$NET.$DEST_HOP.2"
    ip -n "$(ns whois)" route add "$NET.0.0/15" via "$NET.$WHOIS_LINK.2"
    for ((k = 1; k <= ROUTERS; k++)); do route_router "$k"; done
    event_paths
    # The kernel's own "no route" answer is rate-limited by a host-wide setting (route.error_cost,
    # one a second); the same answer from netfilter obeys the router's ICMP limits, which are off.
    in_ns "r$UNROUTED_HOP" nft -f - <<NFT
table ip lab {
    chain unrouted {
        type filter hook prerouting priority 0; policy accept;
        ip daddr $UNROUTED_NET reject with icmp type net-unreachable
    }
}
NFT
    # The silent router still forwards, but its own ICMP (errors and echo replies) goes nowhere.
    ip -n "$(ns "r$SILENT_HOP")" rule add iif lo ipproto icmp blackhole
    start_helper whois whois "$PYTHON" "$LAB_DIR/whois_server.py" --port "$(topo LAB_WHOIS_PORT)" \
        --dir "$LAB_DIR/whois"
    wait_for 10 "the WhoIs server" grep -qx listening "$STATE/whois.log"
    start_helper dns client "$PYTHON" "$LAB_DIR/slow_dns.py" --zone "$(topo LAB_SLOW_ZONE)" \
        --answer "$(topo LAB_DEST_ADDR)" --delay-ms "$(topo LAB_SLOW_LOOKUP_MS)" \
        --slow-reverse "$(topo LAB_SLOW_REVERSE_NET)" --txt "$LAB_DIR/asn_records.tsv"
    wait_for 10 "the client's name server" grep -qx listening "$STATE/dns.log"
    write_names
}

# Removes everything of lab $1; quiet, and carries on past whatever is already gone.
lab_down() {
    local p=$1 n f pids spaces tries=40
    local state=$STATE_ROOT/$p
    set +e
    for f in "$state"/*.pid; do [ -f "$f" ] && kill -TERM "$(cat "$f")" 2>/dev/null; done
    spaces=$(ip netns list 2>/dev/null | awk '{print $1}' | grep "^$p-" || true)
    lab_pids() { for n in $spaces; do ip netns pids "$n" 2>/dev/null; done; }
    pids=$(lab_pids)
    [ -z "$pids" ] || kill -TERM $pids 2>/dev/null
    while [ -n "$pids" ] && [ "$tries" -gt 0 ]; do
        sleep 0.05
        tries=$((tries - 1))
        pids=$(lab_pids)
    done
    if [ -n "$pids" ]; then
        kill -KILL $pids 2>/dev/null
        sleep 0.1
    fi
    for n in $spaces; do ip netns del "$n" 2>/dev/null; done
    rm -rf /etc/netns/"$p"-* "$state"
    return 0
}

number() { [[ $1 =~ ^[0-9]+([.][0-9]+)?$ ]] || usage; }

# Options of the slow link; sets NOPT to the number of words they took.
parse_link_options() {
    NOPT=0
    while [ $# -gt 0 ]; do
        case $1 in
        --delay) number "${2:-}"; DELAY=$2; shift 2 ;;
        --jitter) number "${2:-}"; JITTER=$2; shift 2 ;;
        --loss) number "${2:-}"; LOSS=$2; shift 2 ;;
        --loss-later) LOSS_LATER=(--loss-on-signal); NOPT=$((NOPT + 1)); shift; continue ;;
        --) NOPT=$((NOPT + 1)); return ;;
        -*) usage ;;
        *) return ;;
        esac
        NOPT=$((NOPT + 2))
    done
}

cmd_run() {
    parse_link_options "$@"
    shift "$NOPT"
    [ $# -gt 0 ] || usage
    OWNER=$$
    trap '[ -z "$P" ] || lab_down "$P"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    trap 'exit 129' HUP
    lab_up
    export ROUTELARK_LAB_PREFIX=$P ROUTELARK_LAB_DELAY_MS=$DELAY
    # In the background so that a signal to this script tears down at once; stdin stays the caller's.
    ip netns exec "$(ns client)" "$@" 0<&0 &
    local child=$! rc=0
    wait "$child" || rc=$?
    exit "$rc"
}

cmd_up() {
    parse_link_options "$@"
    [ "$NOPT" -eq $# ] || usage
    OWNER=up
    trap '[ $? -eq 0 ] || [ -z "$P" ] || lab_down "$P"' EXIT
    lab_up
    cat >&2 <<EOF
lab $P is up. Run commands in its client namespace with:
    ROUTELARK_LAB_PREFIX=$P ROUTELARK_LAB_DELAY_MS=$DELAY ip netns exec $P-client CMD
and remove it with: $0 down $P
EOF
    echo "$P"
}

cmd_down() {
    [ $# -eq 1 ] && [[ $1 =~ $PREFIX_RE ]] || usage
    lab_down "$1"
}

# Removes every lab whose "lab.sh run" has gone without tearing down, and (unless --stale)
# every lab that "lab.sh up" left standing. Labs of running "lab.sh run"s stay.
cmd_cleanup() {
    local p owner stale_only=0
    [ "${1:-}" != --stale ] || stale_only=1
    for p in $( {
        ip netns list 2>/dev/null | awk '{print $1}' | sed -n 's/^\(rl[0-9a-f]\{6\}\)-.*/\1/p'
        ls /etc/netns 2>/dev/null | sed -n 's/^\(rl[0-9a-f]\{6\}\)-.*/\1/p'
        ls "$STATE_ROOT" 2>/dev/null
    } | sort -u); do
        [[ $p =~ $PREFIX_RE ]] || continue
        owner=$(cat "$STATE_ROOT/$p/owner" 2>/dev/null || true)
        if [ "$owner" = up ]; then
            [ "$stale_only" = 0 ] || continue
        elif [ -n "$owner" ] && tr '\0' ' ' 2>/dev/null <"/proc/$owner/cmdline" | grep -q 'lab\.sh run'; then
            continue
        fi
        lab_down "$p"
    done
}

cmd_lose() {
    [ $# -eq 1 ] && [[ $1 =~ $PREFIX_RE ]] || usage
    kill -USR1 "$(cat "$STATE_ROOT/$1/relay.pid")"
}

cmd_route() {
    [ $# -eq 2 ] && [[ $1 =~ $PREFIX_RE ]] || usage
    P=$1
    case $2 in
    main) ip -n "$(ns r1)" route replace "$(topo LAB_SWITCH_DEST_ADDR)/32" via "$NET.2.1" ;;
    alt) ip -n "$(ns r1)" route replace "$(topo LAB_SWITCH_DEST_ADDR)/32" via "$NET.$ALT_UP.1" ;;
    *) usage ;;
    esac
}

# drop_for NAMESPACE SET SECONDS: the client's address in the set, which forgets it after SECONDS.
drop_for() {
    in_ns "$1" nft add element ip events "$2" "{ $(topo LAB_CLIENT_ADDR) timeout ${3}s }"
}

cmd_quiet() {
    [ $# -eq 2 ] && [[ $1 =~ $PREFIX_RE ]] && [[ $2 =~ ^[1-9][0-9]*$ ]] || usage
    P=$1
    drop_for dest quiet "$2"
}

cmd_mute() {
    [ $# -eq 2 ] && [[ $1 =~ $PREFIX_RE ]] && [[ $2 =~ ^[1-9][0-9]*$ ]] || usage
    P=$1
    drop_for r2b muted "$2"
}

case ${1:-} in
run) shift; cmd_run "$@" ;;
lose) shift; cmd_lose "$@" ;;
route) shift; cmd_route "$@" ;;
quiet) shift; cmd_quiet "$@" ;;
mute) shift; cmd_mute "$@" ;;
up) shift; cmd_up "$@" ;;
down) shift; cmd_down "$@" ;;
cleanup) shift; [ $# -eq 0 ] || [ "$*" = --stale ] || usage; cmd_cleanup "$@" ;;
*) usage ;;
esac
