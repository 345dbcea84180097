#!/usr/bin/python3
"""Runs scripted movies in `cardtool trace` and in the reference player and lists where their
trace output differs: a differential check for script rules (feed it movies written to test
one rule each, every type and every version).

    scripts/trace-diff.py --cardtool build/bin/cardtool [--frames N] [--out DIR] [--jobs 2]
        [--reference-cache FILE] [--reference DIR] MOVIE.swf|DIR...

Prints one line a movie (same / differs / fails) and writes DIR/NAME.diff for each movie that
differs, with the lines of both side by side. The reference player's output is kept in the
cache file (JSON lines, default DIR/reference.jsonl) and asked again only for movies that are
new or changed, so a second run after a fix costs only our own runs.

The reference player lives beside the project, never in it; where it and Flash differ, Flash's
documented behaviour is the one to follow: a difference is a question, not a verdict.
"""
import argparse
import difflib
import hashlib
import json
import os
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

HERE = os.path.dirname(os.path.abspath(__file__))


def movies_of(paths):
    found = []
    for p in paths:
        if os.path.isdir(p):
            for root, _, files in os.walk(p):
                found += [os.path.join(root, f) for f in sorted(files) if f.lower().endswith(".swf")]
        else:
            found.append(p)
    return sorted(found)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


def ours(cardtool, movie, frames):
    try:
        r = subprocess.run([cardtool, "trace", movie, "--frames", str(frames)], capture_output=True,
                           timeout=60)
        text = r.stdout.decode("utf-8", "replace")
        lines = text.split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        return lines, None if r.returncode == 0 else "exit %d" % r.returncode
    except subprocess.TimeoutExpired:
        return [], "timeout"


def load_cache(path):
    cache = {}
    if os.path.exists(path):
        with open(path) as f:
            for line in f:
                try:
                    d = json.loads(line)
                    cache[(d["swf"], d["sha1"], d["frames"])] = d
                except (ValueError, KeyError):
                    continue
    return cache


def reference(movies, frames, cache_path, player):
    cache = load_cache(cache_path)
    wanted = [m for m in movies if (os.path.abspath(m), digest(m), frames) not in cache]
    if wanted:
        cmd = ["node", os.path.join(HERE, "reference-traces.js"), "--frames", str(frames)]
        if player:
            cmd += ["--reference", player]
        cmd += wanted
        with open(cache_path, "a") as out:
            proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, text=True)
            for line in proc.stdout:
                d = json.loads(line)
                d["swf"] = os.path.abspath(d["swf"])
                d["sha1"] = digest(d["swf"])
                d["frames"] = frames
                cache[(d["swf"], d["sha1"], frames)] = d
                out.write(json.dumps(d) + "\n")
            proc.wait()
    return {m: cache.get((os.path.abspath(m), digest(m), frames)) for m in movies}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cardtool", required=True)
    ap.add_argument("--frames", type=int, default=2)
    ap.add_argument("--out", default="/tmp/trace-diff")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--reference-cache")
    ap.add_argument("--reference", help="the reference player's folder (default: ../shared/"
                    "ruffle-reference from the project root)")
    ap.add_argument("paths", nargs="+")
    a = ap.parse_args()
    os.makedirs(a.out, exist_ok=True)
    movies = movies_of(a.paths)
    if not movies:
        print("no movies")
        return 0
    ref = reference(movies, a.frames, a.reference_cache or os.path.join(a.out, "reference.jsonl"),
                    a.reference)
    with ThreadPoolExecutor(a.jobs) as pool:
        mine = dict(zip(movies, pool.map(lambda m: ours(a.cardtool, m, a.frames), movies)))
    same = differs = fails = 0
    for m in movies:
        name = os.path.splitext(os.path.relpath(m))[0].replace("/", "__").lstrip("._")
        r = ref[m]
        lines, err = mine[m]
        if r is None or not r.get("ok"):
            fails += 1
            print("fails    %s: reference %s" % (m, r and r.get("error")))
            continue
        if err:
            fails += 1
            print("fails    %s: ours %s" % (m, err))
        if lines == r["trace"]:
            same += 1
            print("same     %s" % m)
            continue
        differs += 1
        diff = difflib.unified_diff(r["trace"], lines, "reference", "ours", lineterm="", n=1)
        with open(os.path.join(a.out, name + ".diff"), "w") as f:
            f.write("\n".join(diff) + "\n")
        print("differs  %s (%s)" % (m, os.path.join(a.out, name + ".diff")))
    print("%d same, %d differ, %d fail of %d" % (same, differs, fails, len(movies)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
