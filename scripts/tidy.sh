#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over every C++ source of the project, in
# parallel, and fails naming each file with a finding.
#
#   scripts/tidy.sh [--fix] [--checks=LIST] [--files=REGEX] [--skip=REGEX] [--jobs=N] BUILD_DIR...
#
# Each BUILD_DIR is a configured tree (only its compile_commands.json is read; nothing has
# to be built). A file compiled in several of them is checked once, with the flags of the
# first that compiles it: the sanitizer build brings the fuzz targets, the release build the
# benchmarks. Generated sources (moc) are skipped. Clean results are remembered in
# VELMORA_TIDY_CACHE (default ~/.cache/velmora-tidy), as a compiler cache would. --fix applies the fixes clang-tidy offers
# (scripts/format.sh uses it with --checks to put braces on every control statement).
# --files limits the run to the sources whose path matches an extended regular expression,
# --skip leaves out those that match one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fix=0
checks=""
only=""
skip=""
jobs=$(nproc)
dirs=()
for arg in "$@"; do
    case "$arg" in
    --fix) fix=1 ;;
    --checks=*) checks=${arg#--checks=} ;;
    --files=*) only=${arg#--files=} ;;
    --skip=*) skip=${arg#--skip=} ;;
    --jobs=*) jobs=${arg#--jobs=} ;;
    -*) echo "tidy: unknown option $arg" >&2; exit 2 ;;
    *) dirs+=("$(cd "$arg" && pwd)") ;;
    esac
done
[ ${#dirs[@]} -gt 0 ] || { echo "usage: $0 [--fix] [--checks=LIST] [--files=REGEX] [--skip=REGEX] [--jobs=N] BUILD_DIR..." >&2; exit 2; }
tidy=$(command -v clang-tidy-14 || command -v clang-tidy)

# One compilation database for every file of the tree, beside the first build.
db=${dirs[0]}/tidy
mkdir -p "$db"
python3 - "$root" "$db/compile_commands.json" "${dirs[@]}" <<'EOF'
import json, os, subprocess, sys
root, out, builds = sys.argv[1], sys.argv[2], sys.argv[3:]
tracked = set(
    os.path.join(root, name)
    for name in subprocess.check_output(["git", "-C", root, "ls-files", "*.cpp"], text=True).split()
) if os.path.exists(os.path.join(root, ".git")) else None
chosen = {}
for build in builds:
    with open(os.path.join(build, "compile_commands.json")) as f:
        for entry in json.load(f):
            name = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
            if not name.startswith(root + "/") or any(name.startswith(b + "/") for b in builds):
                continue  # generated in a build folder, or outside the tree
            if tracked is not None and name not in tracked:
                continue
            chosen.setdefault(name, entry)
with open(out, "w") as f:
    json.dump(list(chosen.values()), f, indent=1)
missing = sorted(set(tracked or ()) - set(chosen))
for name in missing:
    print(f"tidy: {os.path.relpath(name, root)} is compiled in none of the builds; not checked")
EOF
files=$(python3 -c 'import json,sys; print("\n".join(sorted(e["file"] for e in json.load(open(sys.argv[1])))))' \
    "$db/compile_commands.json" | grep -E "${only:-.}" | { if [ -n "$skip" ]; then grep -vE "$skip"; else cat; fi; } || true)
[ -n "$files" ] || { echo "tidy: no file to check"; exit 0; }
count=$(echo "$files" | wc -l)

if [ "$fix" -eq 1 ]; then
    # run-clang-tidy gathers the fixes of all files and applies each once, so that a header
    # included by many files is not edited over itself.
    runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy)
    "$runner" -quiet -p "$db" -j "$jobs" -fix ${checks:+-checks="$checks"} \
        -clang-tidy-binary "$tidy" -clang-apply-replacements-binary \
        "$(command -v clang-apply-replacements-14 || command -v clang-apply-replacements)" \
        $(echo "$files" | sed 's/[.+]/\\&/g; s/.*/^&$/') >/dev/null 2>&1 || true
    echo "tidy: fixes applied over $count files"
    exit 0
fi

log=$(mktemp -d)
trap 'rm -rf "$log"' EXIT
# Each file's output goes to a log of its own, numbered; a file with findings leaves a mark.
# A file whose preprocessed text (every header included, comments kept) was clean before
# with the same clang-tidy and configuration is not checked again (scripts/tidy-one.py).
cache=${VELMORA_TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-tidy}
echo "$files" | nl -ba -w1 -s' ' | xargs -P "$jobs" -L1 sh -c \
    'python3 "$0" "$1" "$2" "$3" "$4" "$7" >"$5/$6.log" 2>&1 || touch "$5/$6.failed"' \
    "$root/scripts/tidy-one.py" "$tidy" "$db" "$checks" "$cache" "$log" || true
if ls "$log"/*.failed >/dev/null 2>&1; then
    # A finding in a header shows in every file that includes it: each is printed once.
    for mark in "$log"/*.failed; do cat "${mark%.failed}.log"; done | awk '
        /^[^ ]+:[0-9]+:[0-9]+: (warning|error): / { show = !seen[$0]++ }
        /^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$/ { next }
        /^(Suppressed [0-9]+ warnings|Use -header-filter|Error while processing)/ { next }
        show' | tee "$log/all.txt"
    echo
    echo "tidy: clang-tidy findings in these files:"
    grep -oE '^[^ ]+:[0-9]+:[0-9]+: (warning|error): ' "$log/all.txt" | cut -d: -f1 |
        xargs realpath -m --relative-to="$root" | sort -u | sed 's|^|    |'
    echo "tidy: fix them, or configure the check in .clang-tidy and say why"
    exit 1
fi
echo "tidy: $count files, no findings"
