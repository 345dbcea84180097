#!/usr/bin/python3
"""Runs scripted movies in `cardtool trace` and in the reference player and lists where their
trace output differs: a differential check for script rules (feed it movies written to test
one rule each, every type and every version).

    scripts/trace-diff.py --cardtool build/bin/cardtool [--frames N] [--out DIR] [--jobs 2]
        [--reference-cache FILE] [--reference DIR] MOVIE.swf|DIR...

A movie with a person's input beside it (MOVIE.input.json, or input.json beside a movie named
test.swf) gets it in both players (`cardtool trace --input`), and runs for at least as many
frames as the input has; a folder with a manifest.tsv (case, id, frames, source, input
columns, as the trace corpora have) gives each case's frames.

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


def input_of(movie):
    """The input file that goes with a movie, or None."""
    stem = os.path.splitext(movie)[0]
    if os.path.exists(stem + ".input.json"):
        return stem + ".input.json"
    beside = os.path.join(os.path.dirname(movie), "input.json")
    if os.path.basename(movie) == "test.swf" and os.path.exists(beside):
        return beside
    return None


def input_frames(path):
    """How many frames an input file needs: one a Wait, and one more for events after the last."""
    try:
        with open(path) as f:
            events = json.load(f)
    except (OSError, ValueError):
        return 0
    if not isinstance(events, list):
        return 0
    waits = sum(1 for e in events if isinstance(e, dict) and e.get("type") == "Wait")
    tail = bool(events) and not (isinstance(events[-1], dict) and events[-1].get("type") == "Wait")
    return waits + (1 if tail else 0)


def manifest_frames(movie):
    """A case's frames from the manifest.tsv of a trace corpus, or None."""
    case_dir = os.path.dirname(os.path.abspath(movie))
    manifest = os.path.join(os.path.dirname(case_dir), "manifest.tsv")
    if os.path.basename(movie) != "test.swf" or not os.path.exists(manifest):
        return None
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            cols = line.rstrip("\n").split("\t")
            if len(cols) > 2 and cols[0] == os.path.basename(case_dir) and cols[2].isdigit():
                return int(cols[2])
    return None


def frames_of(movie, frames):
    given = manifest_frames(movie)
    if given:
        return given
    inp = input_of(movie)
    return max(frames, input_frames(inp)) if inp else frames


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha1(f.read()).hexdigest()


def ours(cardtool, movie, frames):
    cmd = [cardtool, "trace", movie, "--frames", str(frames)]
    if input_of(movie):
        cmd += ["--input", input_of(movie)]
    try:
        r = subprocess.run(cmd, capture_output=True, timeout=60)
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
                    cache[(d["swf"], d["sha1"] + d.get("input_sha1", ""), d["frames"])] = d
                except (ValueError, KeyError):
                    continue
    return cache


def key_of(movie, frames):
    """What a reference answer depends on: the movie, its input and the frames run."""
    inp = input_of(movie)
    return (os.path.abspath(movie), digest(movie) + (digest(inp) if inp else ""), frames)


def reference(movies, frames, cache_path, player):
    """The reference player's answers; `frames` maps each movie to the frames it runs."""
    cache = load_cache(cache_path)
    wanted = [m for m in movies if key_of(m, frames[m]) not in cache]
    # One run of the reference player a frame count: it runs all its movies alike.
    for count in sorted({frames[m] for m in wanted}):
        cmd = ["node", os.path.join(HERE, "reference-traces.js"), "--frames", str(count)]
        if player:
            cmd += ["--reference", player]
        for m in wanted:
            if frames[m] == count:
                cmd.append(m + ("=" + input_of(m) if input_of(m) else ""))
        with open(cache_path, "a") as out:
            proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, text=True)
            for line in proc.stdout:
                d = json.loads(line)
                d["swf"] = os.path.abspath(d["swf"])
                d["sha1"] = digest(d["swf"])
                if d.get("input"):
                    d["input_sha1"] = digest(d["input"])
                d["frames"] = count
                cache[(d["swf"], d["sha1"] + d.get("input_sha1", ""), count)] = d
                out.write(json.dumps(d) + "\n")
            proc.wait()
    return {m: cache.get(key_of(m, frames[m])) for m in movies}


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
    frames = {m: frames_of(m, a.frames) for m in movies}
    ref = reference(movies, frames, a.reference_cache or os.path.join(a.out, "reference.jsonl"),
                    a.reference)
    with ThreadPoolExecutor(a.jobs) as pool:
        mine = dict(zip(movies, pool.map(lambda m: ours(a.cardtool, m, frames[m]), movies)))
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
        theirs = list(r["trace"])
        # Blank lines at the end are no output of either.
        while theirs and theirs[-1] == "":
            theirs.pop()
        while lines and lines[-1] == "":
            lines.pop()
        if lines == theirs:
            same += 1
            print("same     %s" % m)
            continue
        differs += 1
        diff = difflib.unified_diff(theirs, lines, "reference", "ours", lineterm="", n=1)
        with open(os.path.join(a.out, name + ".diff"), "w") as f:
            f.write("\n".join(diff) + "\n")
        print("differs  %s (%s)" % (m, os.path.join(a.out, name + ".diff")))
    print("%d same, %d differ, %d fail of %d" % (same, differs, fails, len(movies)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
