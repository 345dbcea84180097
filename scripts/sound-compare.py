#!/usr/bin/python3
"""Compares the sound `cardtool render --audio` mixes for a movie with an independent decode
of the movie's sound stream (ffmpeg's), over the first seconds of the movie.

    scripts/sound-compare.py CARDTOOL MOVIE... [--seconds 10] [--keep DIR]

For each movie prints the correlation of the two signals (mono, 22,050 Hz) at the best
offset within 100 ms of the time the timeline reaches the stream's first block, or of the
start (after the reference drops the encoder delay the movie's stream head names, which the
independent decoder keeps), that offset, and both levels. A check for people; ffmpeg and
numpy are needed here only, never by the programs.
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import zlib

import numpy as np

RATE = 22050


def movie_facts(path):
    """The frame rate, the seek samples and rate of the root stream's MP3 head, and the frame
    of the stream's first block."""
    data = open(path, "rb").read()
    if data[:3] == b"CWS":
        data = data[:8] + zlib.decompressobj().decompress(data[8:])
    elif data[:3] == b"ZWS":
        import lzma
        raw = data[12:17] + struct.pack("<Q", 2**64 - 1) + data[17:]
        data = data[:8] + lzma.LZMADecompressor(lzma.FORMAT_ALONE).decompress(raw)
    bits = data[8] >> 3
    rect = (5 + 4 * bits + 7) // 8
    rate = struct.unpack_from("<H", data, 8 + rect)[0] / 256.0 or 1.0
    pos = 8 + rect + 4
    head, frame = None, 0
    while pos + 2 <= len(data):
        code_length = struct.unpack_from("<H", data, pos)[0]
        pos += 2
        code, length = code_length >> 6, code_length & 63
        if length == 63:
            length = struct.unpack_from("<I", data, pos)[0]
            pos += 4
        if code in (18, 45) and length >= 6 and data[pos + 1] >> 4 == 2 and head is None:
            stream_rate = (5512, 11025, 22050, 44100)[(data[pos + 1] >> 2) & 3]
            head = (struct.unpack_from("<h", data, pos + 4)[0], stream_rate)
        if code == 19 and head is not None:
            # The stream starts with the frame of its first block; the independent decode
            # starts at its first sample.
            return rate, head[0], head[1], frame
        if code == 1:
            frame += 1
        if code == 0:
            break
        pos += length
    return rate, 0, 44100, 0


def mono(wav, out):
    subprocess.run(["sox", wav, "-r", str(RATE), "-c", "1", "-b", "16", "-e", "signed",
                    "-t", "raw", out], check=True, stderr=subprocess.DEVNULL)
    return np.fromfile(out, dtype="<i2").astype(np.float64)


def best_correlation(a, b, max_lag):
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    if not a.any() or not b.any():
        return 0.0, 0
    size = 1 << int(np.ceil(np.log2(2 * n)))
    cross = np.fft.irfft(np.fft.rfft(a, size) * np.conj(np.fft.rfft(b, size)), size)
    lags = np.concatenate([cross[:max_lag + 1], cross[-max_lag:]])
    offsets = np.concatenate([np.arange(0, max_lag + 1), np.arange(-max_lag, 0)])
    i = int(np.argmax(lags))
    return lags[i] / (np.linalg.norm(a) * np.linalg.norm(b)), int(offsets[i])


def main():
    p = argparse.ArgumentParser()
    p.add_argument("cardtool")
    p.add_argument("movies", nargs="+")
    p.add_argument("--seconds", type=float, default=10.0)
    p.add_argument("--keep")
    args = p.parse_args()
    work = args.keep or tempfile.mkdtemp()
    os.makedirs(work, exist_ok=True)
    for movie in args.movies:
        name = os.path.basename(movie)
        ours, theirs = os.path.join(work, name + ".ours.wav"), os.path.join(work, name + ".ref.wav")
        fps, seek, stream_rate, first_frame = movie_facts(movie)
        frames = max(1, round(args.seconds * fps))
        r = subprocess.run([args.cardtool, "render", movie, "--out", os.path.join(work, "x.png"),
                            "--frames", str(frames), "--audio", ours],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode != 0:
            print(f"{name}\tcardtool failed ({r.returncode})")
            continue
        r = subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", movie,
                            "-t", str(args.seconds), "-ar", "44100", "-ac", "2", theirs],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if r.returncode != 0:
            print(f"{name}\tno independent decode (ffmpeg reads no root stream)")
            continue
        a = mono(ours, os.path.join(work, "a.raw"))
        b = mono(theirs, os.path.join(work, "b.raw"))
        # The independent decode keeps the MP3 encoder's delay that the movie says to skip:
        # drop it from the reference before looking for the best offset.
        skip = max(0, round(seek * RATE / stream_rate))
        # Scripts may reach the stream's first frame at once (a preloader that finds the movie
        # loaded) or after the frames before it: look for the best offset over both.
        lead = round(first_frame * RATE / fps)
        corr, lag = best_correlation(a, np.concatenate([np.zeros(lead), b[skip:]]),
                                     lead + RATE // 10)
        print(f"{name}\tfrom frame {first_frame}\tcorrelation {corr:.3f}\toffset {1000.0 * lag / RATE:+.1f} ms"
              f"\trms ours {np.sqrt(np.mean(a**2)):.0f} ref {np.sqrt(np.mean(b**2)):.0f}")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
