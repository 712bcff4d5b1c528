#!/usr/bin/env bash
# Runs every benchmark program in build/bin and the service benchmark script.
set -euo pipefail
bin=${1:-build/bin}
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for bench in "$bin"/bench-*; do
    echo "== ${bench##*/}"
    "$bench"
done
if [ -x "$root/bench/service/run.sh" ]; then
    echo "== service"
    "$root/bench/service/run.sh" "$bin"
fi
