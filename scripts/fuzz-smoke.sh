#!/usr/bin/env bash
# Runs every fuzz target in FUZZ_DIR for SECONDS each, starting from its seed corpus in
# fuzz/corpus/<name without fuzz_>. Fails on the first crash, leak or time-out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$1
seconds=${2:-5}
count=0
for target in "$dir"/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    seeds=$root/fuzz/corpus/${name#fuzz_}
    work=$(mktemp -d)
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
    echo "-- $name (${seconds}s)"
    if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 "$work" >"$work.log" 2>&1; then
        tail -n 60 "$work.log"
        echo "fuzz smoke: $name failed"
        exit 1
    fi
    grep -E '^stat::number_of_executed_units' "$work.log" | sed "s/^/   /"
    rm -rf "$work" "$work.log"
    count=$((count + 1))
done
echo "fuzz smoke: $count passed, 0 failed"
