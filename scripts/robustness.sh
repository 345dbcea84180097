#!/usr/bin/env bash
# Renders every movie of the robustness set and of the fidelity corpus a few frames and fails
# on any crash, hang, sanitizer report or excessive memory. Meant for a sanitizer build of
# cardtool.
#
#   scripts/robustness.sh [--sample N] [--cardtool PATH] [--set DIR]... [--jobs J]
#                         [--frames F] [--audio]
#
# --sample N  renders N movies chosen evenly over the sorted list (same N, same movies);
#             without it, every movie. Defaults: cardtool from build-check/bin (the sanitizer
#             build of the test command), the sets ../shared/swf-robustness and
#             ../shared/swf-corpus/cases (searched recursively), jobs = number of cores.
# --frames F  plays F frames of each movie (default 3); --audio also mixes and writes their
#             sound, so that the sound path runs the whole way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cardtool=$root/build-check/bin/cardtool
sets=()
sample=0
jobs=$(nproc)
frames=3
audio=0
timeout_s=${ROBUSTNESS_TIMEOUT:-10}
memory_mb=${ROBUSTNESS_MEMORY_MB:-2048}
while [ $# -gt 0 ]; do
    case $1 in
    --sample) sample=$2; shift 2 ;;
    --cardtool) cardtool=$2; shift 2 ;;
    --set) sets+=("$2"); shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    --frames) frames=$2; shift 2 ;;
    --audio) audio=1; shift ;;
    *) echo "usage: $0 [--sample N] [--cardtool PATH] [--set DIR] [--jobs J] [--frames F] [--audio]" >&2; exit 2 ;;
    esac
done
[ -x "$cardtool" ] || { echo "robustness: no cardtool at $cardtool" >&2; exit 2; }
if [ ${#sets[@]} -eq 0 ]; then
    sets=("$root/../shared/swf-robustness" "$root/../shared/swf-corpus/cases")
fi
for set_dir in "${sets[@]}"; do
    [ -d "$set_dir" ] || { echo "robustness: no movie set at $set_dir" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find -L "${sets[@]}" -name '*.swf' -type f -print | LC_ALL=C sort >"$work/all"
total=$(wc -l <"$work/all")
if [ "$sample" -gt 0 ] && [ "$sample" -lt "$total" ]; then
    awk -v n="$sample" -v t="$total" 'BEGIN { srand(0) } { if (int((NR - 1) * n / t) != int(NR * n / t)) print }' \
        "$work/all" >"$work/list"
else
    cp "$work/all" "$work/list"
fi
count=$(wc -l <"$work/list")

# Under the sanitizers the memory cap is theirs (they reserve huge address space up front);
# otherwise it is the address-space limit of the shell. gcc links the runtime dynamically,
# clang statically: both leave the runtime's entry symbol in the binary.
if grep -qa __asan_init "$cardtool"; then
    memory_kb=unlimited
else
    memory_kb=$((memory_mb * 1024))
fi
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:exitcode=99:hard_rss_limit_mb=$memory_mb:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1:exitcode=98}
export QT_QPA_PLATFORM=offscreen
export CARDTOOL=$cardtool WORK=$work TIMEOUT_S=$timeout_s MEMORY_KB=$memory_kb FRAMES=$frames AUDIO=$audio

# One movie: exit status 0 for a clean run (a refused movie is clean), else the log is kept.
run_one() {
    local movie=$1
    # Corpus movies are all called test.swf: name the log after the whole path.
    local name
    name=$(printf '%s' "$movie" | tr '/' '_')
    local log=$WORK/$name.log
    local status=0
    local sound=()
    [ "$AUDIO" -eq 1 ] && sound=(--audio "$WORK/$name.wav")
    (ulimit -v "$MEMORY_KB"; exec timeout -k 2 "$TIMEOUT_S" "$CARDTOOL" render "$movie" \
        --out "$WORK/$name.png" --frames "$FRAMES" --scale 0.25 "${sound[@]}") >"$log" 2>&1 ||
        status=$?
    rm -f "$WORK/$name.png" "$WORK/$name.wav"
    # cardtool answers 1 for a movie it cannot play; anything else is a failure.
    if [ "$status" -gt 1 ] || grep -qE 'runtime error|AddressSanitizer|LeakSanitizer' "$log"; then
        echo "FAIL $status $movie"
        return 0
    fi
    rm -f "$log"
    if [ "$status" -eq 1 ]; then echo "refused $movie"; else echo "ok $movie"; fi
}
export -f run_one

start=$(date +%s)
tr '\n' '\0' <"$work/list" | xargs -0 -n 1 -P "$jobs" bash -c 'run_one "$0"' >"$work/results"
elapsed=$(($(date +%s) - start))
failed=$(grep -c '^FAIL' "$work/results" || true)
if [ "$failed" -gt 0 ]; then
    grep '^FAIL' "$work/results" | while read -r _ status movie; do
        echo "robustness: exit $status on $movie"
        tail -n 15 "$work/$(printf '%s' "$movie" | tr '/' '_').log" | sed 's/^/    /'
    done
fi
refused=$(grep -c '^refused' "$work/results" || true)
echo "robustness: $((count - failed))/$count movies clean ($refused refused as unplayable)," \
    "$failed failed (${elapsed}s)"
[ "$failed" -eq 0 ]
