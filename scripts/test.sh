#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit, offscreen and end-to-end tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, then a smoke run of every fuzz target.
# FUZZ_SECONDS sets the time per fuzz target (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"

echo "== Build with sanitizers"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON \
    -DVELMORA_BENCH=OFF >/dev/null
ninja -C "$root/build-asan" -j"$jobs"

echo "== Tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" --timeout 600

echo "== Player template, release build"
# The sanitizer build's player cannot fit the shipped 90,112 bytes; the length of the real
# template and a card made from it are checked on a release build of just that much.
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$root/build" -j"$jobs" player_card_tests
ctest --test-dir "$root/build" --output-on-failure --timeout 300 \
    -R '^(PlayerTemplateTest|CardProcessTest)\.'

echo "== Fuzz smoke run"
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
ninja -C "$root/build-fuzz" -j"$jobs"
"$root/scripts/fuzz-smoke.sh" "$root/build-fuzz/fuzz" "${FUZZ_SECONDS:-5}"
