#!/usr/bin/env bash
# Installs a build into a fresh staging folder (DESTDIR, stripped as the packages are) and
# plays a card from it with the project out of sight. Usage: install_and_play.sh BUILD SOURCE
set -u
build=$1
source=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --strip >/dev/null || exit 1
bash "$source/packaging/tests/staged_card_test.sh" "$stage" "$source/samples/greeting.swf" \
    "$source" "$build"
