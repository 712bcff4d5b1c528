#!/usr/bin/env bash
# Starts the local QR service when nothing answers on its port yet, then the tool; stops the
# service it started when the tool exits.
set -euo pipefail
bin=${1:-build/bin}
address=127.0.0.1:48151

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<MSG
qrlogo is a desktop program and needs a display, but DISPLAY is not set.
Run it on a desktop session, or under a virtual X server:
    Xvfb :5 -screen 0 1024x768x24 &  DISPLAY=:5 make run
MSG
    exit 1
fi

answers() { curl -fsS --max-time 1 "http://$address/healthz" >/dev/null 2>&1; }

service_pid=
if ! answers; then
    "$bin/qrlogo-service" --listen "$address" --quiet &
    service_pid=$!
    trap 'kill "$service_pid" 2>/dev/null; wait "$service_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 50); do answers && break; sleep 0.1; done
    answers || { echo "the QR service did not start on $address" >&2; exit 1; }
fi

"$bin/qrlogo"
