#!/usr/bin/env bash
# Runs every fuzz target in a folder for a bounded time, from its seed corpus in fuzz/<name>/corpus.
set -euo pipefail
bin=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for target in "$bin"/fuzz-*; do
    name=${target##*/fuzz-}
    work=$(mktemp -d)
    seeds=()
    [ -d "$root/fuzz/$name/corpus" ] && seeds=("$root/fuzz/$name/corpus")
    echo "fuzzing $name for ${seconds}s"
    ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
        -timeout=10 -print_final_stats=1 "$work" "${seeds[@]}" 2>"$work.log" \
        || { tail -60 "$work.log"; rm -rf "$work" "$work.log"; exit 1; }
    grep -E '^stat::number_of_executed_units' "$work.log" || true
    rm -rf "$work" "$work.log"
done
