#!/usr/bin/env bash
# kdhost --serve as Prometheus sees it, driven from Linux: kdmonitor and kdhost
# run under Wine, and the Linux side checks /metrics with curl and promtool
# (mode "promtool") or starts a real Prometheus that scrapes it every second and
# asks its query API for the published values (mode "prometheus"). All on
# loopback, every wait bounded, every process stopped on the way out.
#   serve_prometheus.sh promtool|prometheus BIN_DIR WINE_EXEC
set -uo pipefail
mode=$1 bin=$2 wine_exec=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/kd-serve.XXXXXX")
pids=()

stop_all() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
    done
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- $(basename "$log"):"; tail -n 30 "$log"; } >&2
    done
    exit 1
}

# Runs the command every 0.2 s until it succeeds or $1 seconds have passed.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.2
    done
}

for tool in curl "$mode"; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (Debian package: ${tool/promtool/prometheus})"
done

# The monitor first, then the server on a port the system picks.
"$wine_exec" "$bin/kdmonitor.exe" --temps 45.5,52 --fans 900,1200,0 --duration 60 \
    </dev/null >"$work/kdmonitor.log" 2>&1 &
pids+=($!)
wait_for 20 grep -q publishing "$work/kdmonitor.log" || fail "kdmonitor did not start publishing"
"$wine_exec" "$bin/kdhost.exe" --serve 0 --duration 60 </dev/null >"$work/kdhost.log" 2>&1 &
kdhost=$!
pids+=($kdhost)
wait_for 20 grep -q 'serving http://127\.0\.0\.1:' "$work/kdhost.log" ||
    fail "kdhost --serve did not say where it listens"
port=$(sed -n 's|.*serving http://127\.0\.0\.1:\([0-9]*\)/.*|\1|p' "$work/kdhost.log")
echo "kdhost serves on 127.0.0.1:$port"

readings=(
    'kelvodyn_temperature_celsius{index="0",name="KD temperature 1"} 45.5'
    'kelvodyn_temperature_celsius{index="1",name="KD temperature 2"} 52'
    'kelvodyn_fan_rpm{index="2",name="KD fan speed 1"} 900'
    'kelvodyn_fan_rpm{index="3",name="KD fan speed 2"} 1200'
    'kelvodyn_fan_rpm{index="4",name="KD fan speed 3"} 0'
)

check_with_promtool() {
    curl -sS --max-time 10 -D "$work/headers.txt" -o "$work/metrics.txt" \
        "http://127.0.0.1:$port/metrics" || fail "curl could not get /metrics"
    grep -qi '^content-type: text/plain; version=0.0.4' "$work/headers.txt" ||
        fail "/metrics is not of the text format's type: $(cat "$work/headers.txt")"
    promtool check metrics <"$work/metrics.txt" >"$work/promtool.log" 2>&1 ||
        fail "promtool check metrics refuses /metrics: $(cat "$work/promtool.log")"
    local line
    for line in "${readings[@]}"; do
        grep -qxF "$line" "$work/metrics.txt" || fail "/metrics lacks: $line"
    done
    echo "promtool accepts /metrics, with the five readings"

    # Ctrl+C (SIGINT reaches Wine's console handlers) stops it cleanly.
    kill -INT "$kdhost"
    wait_for 10 grep -qE 'kdhost: stopped after answering 1 request([^s]|$)' "$work/kdhost.log" ||
        fail "kdhost did not stop cleanly on Ctrl+C"
    wait "$kdhost"
    local code=$?
    [ "$code" -eq 0 ] || fail "kdhost --serve ended with exit code $code after Ctrl+C"
    echo "Ctrl+C stops it with exit code 0"
}

# Starts Prometheus on a free loopback port: a random one, another when taken.
start_prometheus() {
    cat >"$work/prometheus.yml" <<YAML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: kelvodyn
    static_configs:
      - targets: ['127.0.0.1:$port']
YAML
    local attempt
    for attempt in 1 2 3 4 5; do
        prometheus_port=$((20000 + RANDOM % 12000))
        prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/data" \
            --web.listen-address="127.0.0.1:$prometheus_port" >"$work/prometheus.log" 2>&1 &
        pids+=($!)
        if wait_for 15 curl -sf --max-time 2 -o /dev/null "http://127.0.0.1:$prometheus_port/-/ready"; then
            return 0
        fi
        grep -q 'address already in use' "$work/prometheus.log" || fail "Prometheus did not start"
        kill "${pids[-1]}" 2>/dev/null
        wait "${pids[-1]}" 2>/dev/null
        unset 'pids[-1]'
    done
    fail "no free port for Prometheus after $attempt tries"
}

# True once Prometheus answers the query with exactly that one value.
query_gives() {
    curl -sf --max-time 2 -G --data-urlencode "query=$1" \
        "http://127.0.0.1:$prometheus_port/api/v1/query" >"$work/query.json" &&
        grep -q "\"value\":\[[0-9.]*,\"$2\"\]}\]" "$work/query.json"
}

check_with_prometheus() {
    start_prometheus
    echo "Prometheus listens on 127.0.0.1:$prometheus_port, scraping every second"
    wait_for 20 query_gives 'kelvodyn_temperature_celsius{index="0"}' 45.5 ||
        fail "Prometheus never gave 45.5 for the first temperature; last answer: $(cat "$work/query.json" 2>/dev/null)"
    local pair
    for pair in 'kelvodyn_temperature_celsius{index="1"}=52' 'kelvodyn_fan_rpm{index="2"}=900' \
        'kelvodyn_fan_rpm{index="4"}=0' 'kelvodyn_up=1' 'kelvodyn_finding{finding="live"}=1' \
        'kelvodyn_finding{finding="no-block"}=0' 'kelvodyn_sources=5' \
        'count(kelvodyn_up)=1' 'count(kelvodyn_finding == 1)=1'; do
        query_gives "${pair%=*}" "${pair##*=}" ||
            fail "Prometheus gives for ${pair%=*}: $(cat "$work/query.json")"
    done
    curl -sf --max-time 2 -G --data-urlencode 'query=kelvodyn_temperature_celsius' \
        "http://127.0.0.1:$prometheus_port/api/v1/query" >"$work/query.json"
    echo "Prometheus answers kelvodyn_temperature_celsius with: $(cat "$work/query.json")"
}

case $mode in
promtool) check_with_promtool ;;
prometheus) check_with_prometheus ;;
*) fail "unknown mode '$mode'" ;;
esac
