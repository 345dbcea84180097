#!/bin/sh
# Builds every rule table into OUT (default /tmp/as3rules) as one movie each; compare them with
# scripts/trace-diff.py. Needs the Haxe compiler (a development tool only).
set -e
cd "$(dirname "$0")"
out=${1:-/tmp/as3rules}
mkdir -p "$out"
for src in *.hx; do
	name=${src%.hx}
	[ "$name" = R ] && continue
	version=10
	[ "$name" = Json ] && version=11.4
	haxe -swf "$out/$(echo "$name" | tr 'A-Z' 'a-z').swf" -swf-version $version -swf-header 400:300:30:FFFFFF -main "$name"
	# A table driven by a person's input carries it beside the movie, where trace-diff finds it.
	if [ -f "$name.input.json" ]; then
		cp "$name.input.json" "$out/$(echo "$name" | tr 'A-Z' 'a-z').input.json"
	fi
done
