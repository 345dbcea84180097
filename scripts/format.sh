#!/usr/bin/env bash
# The project's one code style: .clang-format's layout, braces on every control statement,
# and `//` comments (no `///`).
#
#   scripts/format.sh           applies it to every C++ file of the tree
#   scripts/format.sh --check   changes nothing; fails naming every file out of style
#   scripts/format.sh --files=REGEX   applies the braces only through the sources matching
#                               the regular expression (a quicker try; the rest still applies)
#
# Applying needs compile commands for the braces (clang-tidy's fix): it configures two
# throw-away trees in build-format/ (configured only, nothing is built), one of them with
# the fuzz targets, so that every source file is compiled in one of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
format=$(command -v clang-format-14 || command -v clang-format)

if [ -e .git ]; then # a folder, or a file in a second work tree
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find . \( -path ./build -o -path './build-*' \) -prune -o \
        \( -name '*.cpp' -o -name '*.h' \) -print |
        sed 's|^\./||' | sort)
fi

# A `///` comment: one that starts a line, or `///<` after code. `file:///` in a string is not.
doc_comments() {
    grep -nE '^\s*///|\s///<' "$@" || true
}

if [ "${1:-}" = "--check" ]; then
    status=0
    report=$(mktemp)
    trap 'rm -f "$report"' EXIT
    if ! "$format" --dry-run --Werror "${files[@]}" 2>"$report"; then
        echo "format: clang-format would change these files:"
        grep -aE '^[^ ]+:[0-9]+:[0-9]+: error' "$report" | cut -d: -f1 | sort -u | sed 's|^|    |'
        status=1
    fi
    comments=$(doc_comments "${files[@]}")
    if [ -n "$comments" ]; then
        echo "format: \`///\` comments (the project writes \`//\`):"
        echo "$comments" | cut -d: -f1 | sort -u | sed 's|^|    |'
        status=1
    fi
    if [ "$status" -ne 0 ]; then
        echo "format: run scripts/format.sh to apply the style"
        exit 1
    fi
    echo "format: ${#files[@]} files in style"
    exit 0
fi
only=()
case "${1:-}" in
--files=*) only=("$1") ;;
"") ;;
*) echo "usage: $0 [--check | --files=REGEX]" >&2; exit 2 ;;
esac

echo "== Braces on every control statement"
cmake -S "$root" -B build-format/main -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake -S "$root" -B build-format/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
"$root/scripts/tidy.sh" --fix --checks='-*,readability-braces-around-statements' "${only[@]}" \
    build-format/fuzz build-format/main

echo "== // comments"
# `///` and `///<` become `//` where they start a comment: the part of the line before them
# must be code whose string and character literals are all closed, so a `///` inside a
# string ("file:///...") is left alone.
sed -E -i \
    "s#^(([^\"'/]|\"([^\"\\\\]|\\\\.)*\"|'([^'\\\\]|\\\\.)+'|/[^/\"'])*)///<?#\\1//#" \
    "${files[@]}"

echo "== clang-format"
"$format" -i "${files[@]}"
git diff --stat 2>/dev/null | tail -n 1 || true
"$0" --check
