#!/usr/bin/env bash
# Service benchmark: wrk against qrlogo-service and, in the same run, against a reference server
# on the npm package qrcode, 10 s each at 64 connections with the tool's request. Prints
# requests/s, p99 latency, errors and the service's resident memory before and after; the last
# line is the throughput ratio ours/reference. A repeated request is answered from the
# service's cache of recent pictures, so one more run, for information, gives every request a
# new text and shows the cost of encoding.
# Usage: bench/service/run.sh [BIN_DIR]   (default build/bin)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "${1:-$here/../../build/bin}" && pwd)
duration=${BENCH_DURATION:-10s}
connections=64
threads=2
ours_port=48161
reference_port=48162
query='/api.php?&bg=ffffff&fg=cc0000&text=https%3A%2F%2Fexample.com%2Fqrlogo%3Fid%3D12345&w=200'

for tool in wrk node npm curl; do
    command -v "$tool" >/dev/null || { echo "bench/service: $tool is missing" >&2; exit 1; }
done
if [ ! -d "$here/node_modules/qrcode" ]; then
    echo "installing the reference's npm package qrcode into bench/service/node_modules"
    npm install --prefix "$here" --no-audit --no-fund --loglevel=error >/dev/null
fi

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

wait_for() {  # port
    for _ in $(seq 100); do
        curl -fsS --max-time 1 "http://127.0.0.1:$1/healthz" >/dev/null 2>&1 && return 0
        sleep 0.05
    done
    echo "bench/service: nothing answers on port $1" >&2
    exit 1
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Prints "requests/s p99-ms errors" from a wrk --latency report.
summarise() {
    awk '
        function ms(v) {
            if (v ~ /us$/) return substr(v, 1, length(v) - 2) / 1000
            if (v ~ /ms$/) return substr(v, 1, length(v) - 2) + 0
            if (v ~ /s$/)  return substr(v, 1, length(v) - 1) * 1000
            return v + 0
        }
        /^Requests\/sec:/ { rps = $2 }
        $1 == "99%" { p99 = ms($2) }
        /Socket errors:/ { gsub(",", ""); errors += $4 + $6 + $8 + $10 }
        /Non-2xx or 3xx responses:/ { errors += $5 }
        END { printf "%.0f %.3f %d\n", rps, p99, errors }'
}

run_wrk() {  # port [wrk arguments]
    local port=$1
    shift
    wrk -t"$threads" -c"$connections" -d1s "$@" "http://127.0.0.1:$port$query" >/dev/null
    wrk -t"$threads" -c"$connections" -d"$duration" --latency "$@" "http://127.0.0.1:$port$query" |
        summarise
}

"$bin/qrlogo-service" --listen "127.0.0.1:$ours_port" --quiet &
ours_pid=$!
pids+=("$ours_pid")
node "$here/reference_server.js" "$reference_port" &
pids+=($!)
wait_for "$ours_port"
wait_for "$reference_port"

# Warm up once so the memory before counts the workers' steady state, not first-touch pages.
curl -fsS -o /dev/null "http://127.0.0.1:$ours_port$query"
rss_before=$(rss_kib "$ours_pid")
read -r ours_rps ours_p99 ours_errors < <(run_wrk "$ours_port")
rss_after=$(rss_kib "$ours_pid")
read -r new_rps new_p99 new_errors < <(run_wrk "$ours_port" -s "$here/unique_texts.lua")
rss_after_new=$(rss_kib "$ours_pid")
read -r ref_rps ref_p99 ref_errors < <(run_wrk "$reference_port")

printf '%-22s %12s %10s %8s\n' server requests/s p99-ms errors
printf '%-22s %12s %10s %8s\n' qrlogo-service "$ours_rps" "$ours_p99" "$ours_errors"
printf '%-22s %12s %10s %8s\n' "reference (qrcode)" "$ref_rps" "$ref_p99" "$ref_errors"
printf '%-22s %12s %10s %8s\n' "ours, every text new" "$new_rps" "$new_p99" "$new_errors"
rss_growth=$((rss_after - rss_before))
echo "qrlogo-service resident memory: ${rss_before} KiB before, ${rss_after} KiB after" \
    "(${rss_growth} KiB growth); ${rss_after_new} KiB after the new-text run"

ratio=$(awk -v a="$ours_rps" -v b="$ref_rps" 'BEGIN { printf "%.1f", (b > 0 ? a / b : 0) }')
missed=()
awk -v r="$ratio" 'BEGIN { exit !(r >= 20) }' || missed+=("throughput under 20x the reference")
awk -v p="$ours_p99" 'BEGIN { exit !(p < 5) }' || missed+=("p99 not under 5 ms")
[ "$ours_errors" -eq 0 ] || missed+=("errors")
[ "$rss_growth" -le $((10 * 1024)) ] || missed+=("memory grew by more than 10 MiB")
if [ ${#missed[@]} -eq 0 ]; then
    echo "targets: met"
else
    echo "targets missed: ${missed[*]}"
fi
echo "ratio ours/reference: ${ratio}x"
