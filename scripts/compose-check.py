#!/usr/bin/python3
"""Composes a card movie in every style from photos and a song made here, and checks that the
project's player and the reference player (../shared/ruffle-reference) draw the same pictures
during a transition, a decoration, the words and at the end, and that the sound
`cardtool render --audio` mixes matches ffmpeg's decode of the stream.

    scripts/compose-check.py [--cardtool build/bin/cardtool] [--keep DIR] [--seconds-per-photo 4]

Prints one line a style: the bad-pixel share at each frame (pixels whose largest channel
difference exceeds 40; at most 1% passes) and the sound's correlation (at least 0.95 passes).
Checks that need the reference player, node, ffmpeg or numpy are skipped, and say so.

The pictures are compared on the movie made without music: the reference player keeps its
timeline in step with its own audio clock, which its frame-exact harness does not drive, so
with a stream it shows whichever frame its clock reached. The sound is checked on the movie
with music. Exit status 1 when a check fails.
"""
import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
STYLES = ["新春", "生日", "圣诞", "爱心", "中秋", "简约"]


def write_bmp(path, width, height, pixel):
    row_pad = (4 - (width * 3) % 4) % 4
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * row_pad)
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def photo(index):
    """A photo-like picture: a sky gradient, a sun and hills, in a colour of its own."""
    tint = [(255, 170, 90), (90, 170, 255), (150, 230, 120), (240, 120, 200)][index % 4]

    def pixel(x, y):
        w, h = 480, 360
        sky = y / h
        r = int(tint[0] * (1 - sky * 0.6))
        g = int(tint[1] * (1 - sky * 0.4))
        b = int(tint[2] * (0.6 + sky * 0.4))
        if (x - w * 0.7) ** 2 + (y - h * 0.3) ** 2 < (h * 0.12) ** 2:
            r, g, b = 255, 240, 170
        if y > h * 0.65 + math.sin(x / 40.0 + index) * h * 0.08:
            r, g, b = 40 + index * 20, 120 + (x % 7), 60
        return min(r, 255), min(g, 255), min(b, 255)

    return pixel


def write_song(path, seconds, rate=44100):
    notes = [262, 294, 330, 349, 392, 440, 494, 523]
    frames = bytearray()
    for i in range(int(seconds * rate)):
        t = i / rate
        note = notes[int(t * 2) % len(notes)]
        envelope = 1.0 - (t * 2 % 1.0) * 0.7
        v = int(9000 * envelope * math.sin(2 * math.pi * note * t))
        frames += struct.pack("<hh", v, int(v * 0.8))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(frames), b"WAVE", b"fmt ", 16,
                         1, 2, rate, rate * 4, 4, 16, b"data", len(frames))
    with open(path, "wb") as f:
        f.write(header + frames)


def run(cmd, **kw):
    return subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **kw)


def bad_fraction(ours, ref, compare_js):
    r = run(["node", compare_js, ours, ref])
    if r.returncode not in (0, 1) or "bad_fraction" not in r.stdout:
        return None
    import json
    return json.loads(r.stdout.strip().splitlines()[-1])["bad_fraction"]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cardtool", default=os.path.join(ROOT, "build", "bin", "cardtool"))
    ap.add_argument("--keep")
    ap.add_argument("--reference", default=os.path.join(ROOT, "..", "shared", "ruffle-reference"))
    args = ap.parse_args()
    work = args.keep or tempfile.mkdtemp(prefix="compose-check-")
    os.makedirs(work, exist_ok=True)
    photos = []
    for i in range(4):
        p = os.path.join(work, f"照片 {i + 1}.bmp")
        write_bmp(p, 480, 360, photo(i))
        photos.append(p)
    song = os.path.join(work, "song.wav")
    write_song(song, 20.0)

    batch = os.path.join(args.reference, "render-batch")
    compare_js = os.path.join(args.reference, "tools", "compare.js")
    have_reference = os.path.exists(batch) and shutil.which("node") is not None
    have_sound = shutil.which("ffmpeg") is not None
    try:
        import numpy  # noqa: F401
    except ImportError:
        have_sound = False
    if not have_reference:
        print("pictures: skipped (no reference player or node)")
    if not have_sound:
        print("sound: skipped (no ffmpeg or numpy)")

    fps = 24
    # Four photos of four seconds and the four-second ending: frames 0-479.
    frames = {"decoration": 40, "transition": 96 + 12, "transition2": 288 + 6, "words": 430,
              "end": 480}
    common = ["--title", "新年快乐 Happy", "--words", "祝你和家人平安喜乐，万事如意！\nBest wishes.",
              "--size", "480x360", "--fps", str(fps)]
    failed = False
    jobs = []
    results = {}
    for style in STYLES:
        silent = os.path.join(work, f"{style}.swf")
        cmd = [args.cardtool, "compose"] + sum([["--photo", p] for p in photos], []) + common + [
            "--style", style, "--out", silent]
        r = run(cmd)
        if r.returncode != 0:
            print(f"{style}\tcompose failed: {r.stderr.strip()}")
            failed = True
            continue
        shots = []
        for name, f in frames.items():
            ours = os.path.join(work, f"{style}-{name}-ours.png")
            run([args.cardtool, "render", silent, "--out", ours, "--frames", str(f)])
            shots.append({"frames": f, "out": os.path.join(work, f"{style}-{name}-ref.png")})
        jobs.append({"id": style, "swf": silent, "shots": shots})
        results[style] = {}
    if have_reference and jobs:
        import json
        jobfile = os.path.join(work, "jobs.jsonl")
        with open(jobfile, "w") as f:
            for job in jobs:
                f.write(json.dumps(job, ensure_ascii=False) + "\n")
        run([batch, jobfile])
    for style in results:
        line = [style]
        for name in frames:
            ours = os.path.join(work, f"{style}-{name}-ours.png")
            ref = os.path.join(work, f"{style}-{name}-ref.png")
            if have_reference:
                bad = bad_fraction(ours, ref, compare_js) if os.path.exists(ref) else None
                if bad is None:
                    line.append(f"{name} no-ref")
                    failed = True
                else:
                    line.append(f"{name} {100 * bad:.2f}%")
                    failed = failed or bad > 0.01
        if have_sound:
            withsong = os.path.join(work, f"{style}-music.swf")
            cmd = [args.cardtool, "compose"] + sum([["--photo", p] for p in photos], []) + common + [
                "--style", style, "--music", song, "--out", withsong]
            if run(cmd).returncode != 0:
                line.append("sound compose failed")
                failed = True
            else:
                r = run([sys.executable, os.path.join(HERE, "sound-compare.py"), args.cardtool,
                         withsong, "--seconds", "15"])
                corr = None
                for word in r.stdout.split("\t"):
                    if word.startswith("correlation "):
                        corr = float(word.split()[1])
                line.append("sound " + (f"{corr:.3f}" if corr is not None else "none"))
                failed = failed or corr is None or corr < 0.95
        print("\t".join(line))
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
