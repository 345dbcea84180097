#!/usr/bin/env bash
# Builds the programs into build/bin (release). Usage: scripts/build.sh [extra cmake args]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
ninja -C "$root/build" -j"$(nproc)"
