#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit, offscreen and end-to-end tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, a sample of the robustness movies, then a
# smoke run of every fuzz target. FUZZ_SECONDS sets the time per fuzz target (default 5),
# ROBUSTNESS_SAMPLE the number of movies rendered (default 260). It fails first on code out of
# style (scripts/format.sh --check) and later on clang-tidy findings (scripts/tidy.sh;
# TIDY_TESTS=1 checks the tests' sources too).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/setup.sh"
# Each step says when it began, so that a slow one shows in the log.
step() { echo "== $1 (at $SECONDS s)"; }

step "Code style"
# First, as it costs seconds: every file as clang-format and the brace rule want it.
"$root/scripts/format.sh" --check

step "Build with sanitizers"
# One clang build serves the tests and the fuzz targets: everything is compiled with
# AddressSanitizer, UndefinedBehaviorSanitizer and the fuzzer's coverage instrumentation.
# -O1, as the sanitizers advise: unoptimised, a heavy filter takes seconds a frame and the
# fuzz targets find time-outs that are not there. Line tables are all the sanitizers' reports
# need (file and line of every frame); full debug information made the build a fifth slower.
cmake -S "$root" -B "$root/build-check" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" -DCMAKE_CXX_COMPILER=clang++ \
    -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON >/dev/null
ninja -C "$root/build-check" -j"$jobs"

step "Tests"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/leak-suppressions.txt
export QT_QPA_PLATFORM=offscreen
# Movies with sound play into SDL's silent driver: no test needs or disturbs a sound card.
export SDL_AUDIODRIVER=dummy
ctest --test-dir "$root/build-check" --output-on-failure -j"$jobs" --timeout 600

step "Robustness sample"
# Every 16th movie of the robustness set and the fidelity corpus, three frames each under
# the sanitizers; scripts/robustness.sh without --sample is the long run over all of them.
if [ -d "$root/../shared/swf-robustness" ] && [ -d "$root/../shared/swf-corpus/cases" ]; then
    "$root/scripts/robustness.sh" --sample "${ROBUSTNESS_SAMPLE:-260}" \
        --cardtool "$root/build-check/bin/cardtool" --jobs "$jobs"
else
    echo "robustness: the movie sets are not beside the project (../shared); sample skipped"
fi

step "Debian packages"
# A release build of just what the packages hold, in build-package/ (scripts/package.sh).
"$root/scripts/package.sh"

step "Player template and install, release build"
# The sanitizer build's launcher cannot fit the shipped 90,112 bytes; the length of the real
# template, what it links, cards made from it and an installed tree are checked on the
# packages' release build.
ninja -C "$root/build-package" -j"$jobs" player_card_tests
ctest --test-dir "$root/build-package" --output-on-failure --timeout 300 \
    -R '^(PlayerTemplateTest\.|CardProcessTest\.|staged_install_plays_a_card$)'

step "clang-tidy"
# Reads the compile commands of the two builds above: the sanitizer build brings the fuzz
# targets, the packages' build the benchmarks; nothing more is compiled. The programs,
# libraries, fuzz targets and benchmarks are checked here; the unit tests' sources (half
# the cost of a first run: every one of them expands GoogleTest's macros) only with
# TIDY_TESTS=1 (or scripts/tidy.sh --files=/tests/ build-check build-package), so that a
# first run on a fresh two-core machine stays within minutes.
skip_tests=(--skip='/tests/')
[ "${TIDY_TESTS:-0}" = 1 ] && skip_tests=()
"$root/scripts/tidy.sh" --jobs="$jobs" "${skip_tests[@]}" "$root/build-check" "$root/build-package"

step "Fuzz smoke run"
"$root/scripts/fuzz-smoke.sh" "$root/build-check/fuzz" "${FUZZ_SECONDS:-5}"

echo "== All checks passed in $SECONDS s"
