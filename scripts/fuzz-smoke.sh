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
    # The movie readers also start from every 100th movie of the robustness set when it is
    # beside the project; those movies are not ours to keep in the repository.
    case "$name" in
    fuzz_swf_reader | fuzz_render)
        if [ -d "$root/../shared/swf-robustness" ]; then
            find "$root/../shared/swf-robustness" -name '*.swf' | sort | awk 'NR % 100 == 1' |
                while read -r movie; do cp "$movie" "$work/"; done
        fi
        ;;
    esac
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
