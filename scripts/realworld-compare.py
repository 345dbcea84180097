#!/usr/bin/python3
"""Draws frames of the real-world movies with `cardtool render` and with the reference player,
and ranks the movies by how far the two pictures differ.

    scripts/realworld-compare.py --cardtool build-check/bin/cardtool [--out DIR]
        [--movies DIR] [--frames 1 10 30 60] [--jobs 2] [--worst 12] [--only NAME...]
        [--ref-dir DIR] [--reference PATH/render-batch]

For every movie and frame N the picture after N frames is drawn by both players; a pixel is
bad when its largest channel difference exceeds 40 (the fidelity corpus's rule). Prints the
movies worst first with the mean share of bad pixels over their frames and the share of each
frame, writes the same as DIR/ranking.tsv, and for the worst movies DIR/side/NAME_fN.png:
ours | reference | difference (red: bad pixel). Reference pictures are kept in --ref-dir
(default DIR/ref) and drawn only when missing, so a second run costs only our renders.

The corpus and the reference player live beside the project, never in it: without the
movies the script says so and exits 0; without the reference player it compares only with
pictures already in --ref-dir. A check for people: the standard library is all it needs.
"""
import argparse
import json
import os
import struct
import subprocess
import sys
import zlib
from concurrent.futures import ThreadPoolExecutor

THRESHOLD = 40
DEFAULT_MOVIES = "/work/shared/realworld/movies"
DEFAULT_REFERENCE = "/work/shared/ruffle-reference/render-batch"

# ---------------------------------------------------------------------------
# PNG (8-bit, not interlaced: what both players write)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _unfilter(ftype, line, prev, bpp):
    if ftype == 0:
        return line
    out = bytearray(line)
    n = len(out)
    if ftype == 1:
        for i in range(bpp, n):
            out[i] = (out[i] + out[i - bpp]) & 255
    elif ftype == 2:
        out = bytearray((x + y) & 255 for x, y in zip(line, prev))
    elif ftype == 3:
        for i in range(n):
            left = out[i - bpp] if i >= bpp else 0
            out[i] = (out[i] + ((left + prev[i]) >> 1)) & 255
    elif ftype == 4:
        for i in range(n):
            if i >= bpp:
                out[i] = (out[i] + _paeth(out[i - bpp], prev[i], prev[i - bpp])) & 255
            else:
                out[i] = (out[i] + prev[i]) & 255
    else:
        raise ValueError("bad PNG filter %d" % ftype)
    return out


def read_png(path):
    """(width, height, RGBA bytes)."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG" % path)
    pos, idat, head = 8, bytearray(), None
    while pos + 8 <= len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            head = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    if head is None:
        raise ValueError("%s: no header" % path)
    width, height, depth, ctype, _, _, interlace = head
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(ctype)
    if depth != 8 or channels is None or interlace:
        raise ValueError("%s: unsupported PNG kind" % path)
    raw = zlib.decompress(bytes(idat))
    stride = width * channels
    prev = bytearray(stride)
    rgba = bytearray(width * height * 4)
    for y in range(height):
        start = y * (stride + 1)
        line = _unfilter(raw[start], raw[start + 1:start + 1 + stride], prev, channels)
        prev = line
        row = rgba[y * width * 4:(y + 1) * width * 4]
        if channels == 4:
            row[:] = line
        elif channels == 3:
            for c in range(3):
                row[c::4] = line[c::3]
            row[3::4] = b"\xff" * width
        elif channels == 2:
            for c in range(3):
                row[c::4] = line[0::2]
            row[3::4] = line[1::2]
        else:
            for c in range(3):
                row[c::4] = line
            row[3::4] = b"\xff" * width
        rgba[y * width * 4:(y + 1) * width * 4] = row
    return width, height, bytes(rgba)


def write_png(path, width, height, rgba):
    raw = b"".join(b"\x00" + rgba[y * width * 4:(y + 1) * width * 4] for y in range(height))

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path + ".part", "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 6)))
        f.write(chunk(b"IEND", b""))
    os.replace(path + ".part", path)


def compare(ours, ref, side_path=None):
    """Share of bad pixels, or None when the sizes differ; optionally writes the side view."""
    wa, ha, a = ours
    wb, hb, b = ref
    if (wa, ha) != (wb, hb):
        return None
    bad = 0
    diff = bytearray(len(a)) if side_path else None
    for i in range(0, len(a), 4):
        m = max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2]),
                abs(a[i + 3] - b[i + 3]))
        if m > THRESHOLD:
            bad += 1
        if diff is not None:
            v = 255 if m > THRESHOLD else min(255, m * 4)
            g = 0 if m > THRESHOLD else v
            diff[i:i + 4] = bytes((v, g, g, 255))
    if side_path:
        rows = []
        stride = wa * 4
        for y in range(ha):
            s = slice(y * stride, (y + 1) * stride)
            rows.append(a[s] + b"\x80\x80\x80\xff" * 4 + b[s] + b"\x80\x80\x80\xff" * 4 +
                        bytes(diff[s]))
        write_png(side_path, wa * 3 + 8, ha, b"".join(rows))
    return bad / max(1, wa * ha)


# ---------------------------------------------------------------------------


def draw_references(args, movies, ref_dir):
    jobs = []
    for name, path in movies:
        shots = [{"frames": n, "out": os.path.join(ref_dir, "%s_f%d.png" % (name, n))}
                 for n in args.frames]
        if any(not os.path.exists(s["out"]) for s in shots):
            jobs.append({"id": name, "swf": path, "shots": shots})
    if not jobs:
        return
    if not os.path.exists(args.reference):
        print("reference player not set up; comparing with pictures already in %s" % ref_dir,
              file=sys.stderr)
        return
    print("drawing %d movies with the reference player..." % len(jobs), file=sys.stderr)
    feed = "".join(json.dumps(j) + "\n" for j in jobs)
    # A fresh page per movie: in a reused page, movies with streaming sound were seen to run
    # ahead of the frame asked for, which ranks timing noise as drawing faults.
    subprocess.run([args.reference, "-", "--job-timeout", "120", "--fresh-page"],
                   input=feed.encode(),
                   stdout=subprocess.DEVNULL, check=False)


def draw_ours(args, name, path, ours_dir):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    for n in args.frames:
        out = os.path.join(ours_dir, "%s_f%d.png" % (name, n))
        try:
            subprocess.run([args.cardtool, "render", path, "--out", out, "--frames", str(n)],
                           env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=args.timeout, check=False)
        except subprocess.TimeoutExpired:
            pass


def score_movie(args, name, ours_dir, ref_dir):
    shares = []
    for n in args.frames:
        ours = os.path.join(ours_dir, "%s_f%d.png" % (name, n))
        ref = os.path.join(ref_dir, "%s_f%d.png" % (name, n))
        if not os.path.exists(ref):
            shares.append(None)  # the reference could not draw it: nothing to judge
            continue
        if not os.path.exists(ours):
            shares.append(1.0)  # we drew nothing at all
            continue
        try:
            share = compare(read_png(ours), read_png(ref))
        except (ValueError, zlib.error):
            share = 1.0
        shares.append(1.0 if share is None else share)
    return shares


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--cardtool", required=True)
    p.add_argument("--movies", default=DEFAULT_MOVIES)
    p.add_argument("--frames", type=int, nargs="+", default=[1, 10, 30, 60])
    p.add_argument("--out", default="/tmp/realworld-compare")
    p.add_argument("--ref-dir")
    p.add_argument("--reference", default=DEFAULT_REFERENCE)
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--worst", type=int, default=12)
    p.add_argument("--timeout", type=int, default=120)
    p.add_argument("--only", nargs="+", help="movie names (file names without .swf)")
    args = p.parse_args()

    if not os.path.isdir(args.movies):
        print("no real-world movies at %s: skipped" % args.movies)
        return 0
    movies = sorted((f[:-4], os.path.join(args.movies, f)) for f in os.listdir(args.movies)
                    if f.lower().endswith(".swf"))
    if args.only:
        movies = [m for m in movies if m[0] in args.only]
    ref_dir = args.ref_dir or os.path.join(args.out, "ref")
    ours_dir = os.path.join(args.out, "ours")
    side_dir = os.path.join(args.out, "side")
    for d in (ref_dir, ours_dir, side_dir):
        os.makedirs(d, exist_ok=True)

    draw_references(args, movies, ref_dir)
    with ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        list(pool.map(lambda m: draw_ours(args, m[0], m[1], ours_dir), movies))
    with ThreadPoolExecutor(max_workers=1) as pool:
        scores = list(pool.map(lambda m: (m[0], score_movie(args, m[0], ours_dir, ref_dir)),
                               movies))

    def mean(shares):
        known = [s for s in shares if s is not None]
        return sum(known) / len(known) if known else None

    ranked = sorted(scores, key=lambda s: -(mean(s[1]) or 0))
    lines = ["movie\tmean_bad\t" + "\t".join("f%d" % n for n in args.frames)]
    for name, shares in ranked:
        m = mean(shares)
        cells = ["-" if s is None else "%.4f" % s for s in shares]
        lines.append("%s\t%s\t%s" % (name, "-" if m is None else "%.4f" % m, "\t".join(cells)))
    with open(os.path.join(args.out, "ranking.tsv"), "w") as f:
        f.write("\n".join(lines) + "\n")
    print("\n".join(lines))

    for name, shares in ranked[:args.worst]:
        for n, share in zip(args.frames, shares):
            ours = os.path.join(ours_dir, "%s_f%d.png" % (name, n))
            ref = os.path.join(ref_dir, "%s_f%d.png" % (name, n))
            if share and os.path.exists(ours) and os.path.exists(ref):
                try:
                    compare(read_png(ours), read_png(ref),
                            os.path.join(side_dir, "%s_f%d.png" % (name, n)))
                except (ValueError, zlib.error):
                    pass
    known = [mean(s) for _, s in scores if mean(s) is not None]
    if known:
        print("movies %d, mean bad share %.4f" % (len(known), sum(known) / len(known)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
