#!/usr/bin/env python3
"""Long checks of hostile movies and interrupted writes, each bounded in time.

    scripts/long-checks.py [--bin DIR] [--kills N] [--movie-mb M] [--only NAME]...

Needs a release build (build/bin: cardtool, Velmora.vmd). Checks, by name:

frames    the 20- and 500-copy blur movies: cardtool render without and with the player's
          frame budget (200 ms); a card of each answers SIGTERM within a second
huge      a card whose movie has the largest frame rectangle: peak memory of the player and
          its answer to SIGTERM
scripts   cards whose scripts ask for minutes or gigabytes (hostile_movies.SCRIPT_MOVIES):
          peak memory under 1.5 GB, the end within 2 s of SIGTERM, no copy left
bigcard   a 4 GB card (a sparse file): what the player copies and how long until it plays
display   a card on an X server (Xvfb) that goes away: the card ends and leaves no copy
fidelity  the fidelity corpus (../shared/swf-corpus) drawn without and with the frame budget:
          every picture the same, byte for byte
kills     write-note and make on an M MB movie (default 200), ended by SIGINT, SIGTERM or
          SIGHUP at N random moments each (default 50): the movie is always its old or its new
          bytes, the card absent or whole, and no partial file remains

Exit status 0 when every check held.
"""
import argparse
import glob
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "scripts"))
import hostile_movies  # noqa: E402

FRAME_BUDGET_MS = 200
failures = []


def check(condition, what):
    print(("  ok    " if condition else "  FAIL  ") + what, flush=True)
    if not condition:
        failures.append(what)


def environment(work):
    env = dict(os.environ)
    env.update(QT_QPA_PLATFORM="offscreen", TMPDIR=str(work / "tmp"),
               XDG_RUNTIME_DIR=str(work / "runtime"))
    for folder in ("tmp", "runtime"):
        (work / folder).mkdir(mode=0o700, exist_ok=True)
    return env


def make_card(bindir, movie, card, env):
    subprocess.run([str(bindir / "cardtool"), "make", str(movie), str(card), "--yes",
                    "--template", str(bindir / "Velmora.vmd")],
                   check=True, env=env, stdout=subprocess.DEVNULL, timeout=120)


def copies(work):
    return sorted(os.listdir(work / "tmp"))


def peak_kb(pid):
    try:
        for line in Path("/proc/%d/status" % pid).read_text().splitlines():
            if line.startswith("VmHWM:"):
                return int(line.split()[1])
    except OSError:
        pass
    return 0


def run_card(card, env, settle_s, limit_s=30):
    """Starts the card, lets it play `settle_s` seconds, sends SIGTERM; returns the seconds
    to its end (None when it did not end within `limit_s`), its exit status and peak memory."""
    proc = subprocess.Popen([str(card)], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    time.sleep(settle_s)
    peak = peak_kb(proc.pid)
    started = time.monotonic()
    proc.send_signal(signal.SIGTERM)
    try:
        status = proc.wait(timeout=limit_s)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        return None, None, peak
    return time.monotonic() - started, status, peak


def render_seconds(bindir, movie, out, budget, env):
    command = [str(bindir / "cardtool"), "render", str(movie), "--out", str(out)]
    if budget:
        command += ["--frame-budget", str(budget)]
    started = time.monotonic()
    try:
        result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=600)
    except subprocess.TimeoutExpired:
        return None, "timed out"
    return time.monotonic() - started, (result.stderr.strip() or "drawn in full")


def check_frames(bindir, work, env):
    print("frames: blurred copies of a square", flush=True)
    for copies_count in (20, 500):
        movie = work / ("blur-%d.swf" % copies_count)
        full, _ = render_seconds(bindir, movie, work / "full.png", 0, env) \
            if copies_count == 20 else (None, "")
        budgeted, note = render_seconds(bindir, movie, work / "budget.png", FRAME_BUDGET_MS, env)
        print("  %d copies: render %s without budget, %.2f s with %d ms (%s)"
              % (copies_count, "%.1f s" % full if full else "not run", budgeted or -1,
                 FRAME_BUDGET_MS, note), flush=True)
        card = work / ("blur-%d.card" % copies_count)
        make_card(bindir, movie, card, env)
        seconds, status, _ = run_card(card, env, settle_s=3)
        check(seconds is not None and seconds < 1.0 and status == 0,
              "%d-copy card ends %.2f s after SIGTERM, status %s"
              % (copies_count, seconds if seconds is not None else -1, status))
        check(copies(work) == [], "%d-copy card leaves no copy" % copies_count)


def check_huge(bindir, work, env):
    print("huge: the largest frame rectangle", flush=True)
    card = work / "huge.card"
    make_card(bindir, work / "huge-frame.swf", card, env)
    seconds, status, peak = run_card(card, env, settle_s=4)
    print("  peak memory %d MB" % (peak // 1024), flush=True)
    check(peak < 1024 * 1024, "player stays under 1 GB (%d MB)" % (peak // 1024))
    check(seconds is not None and seconds < 1.0 and status == 0,
          "ends %.2f s after SIGTERM, status %s" % (seconds if seconds is not None else -1, status))
    check(copies(work) == [], "leaves no copy")


def check_scripts(bindir, work, env):
    print("scripts: hostile scripts, peak memory and the time from SIGTERM to the end",
          flush=True)
    for name in hostile_movies.SCRIPT_MOVIES:
        card = work / ("script-%s.card" % name)
        make_card(bindir, work / ("script-%s.swf" % name), card, env)
        seconds, status, peak = run_card(card, env, settle_s=6, limit_s=120)
        print("  %-12s peak %5d MB, ends %s after SIGTERM, status %s"
              % (name, peak // 1024, "%.2f s" % seconds if seconds is not None else "not",
                 status), flush=True)
        check(peak < 1536 * 1024, "%s: player stays under 1.5 GB (%d MB)" % (name, peak // 1024))
        check(seconds is not None and seconds < 2.0 and status == 0,
              "%s: ends within 2 s of SIGTERM" % name)
        check(copies(work) == [], "%s: leaves no copy" % name)


def check_bigcard(bindir, work, env):
    print("bigcard: a 4 GB card", flush=True)
    card = work / "big.card"
    make_card(bindir, work / "plain.swf", card, env)
    os.truncate(card, 90112 + (4 << 30))
    proc = subprocess.Popen([str(card)], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    started = time.monotonic()
    copy_size = None
    while time.monotonic() - started < 60 and copy_size is None:
        names = copies(work)
        if names:
            time.sleep(0.5)
            copy_size = os.path.getsize(work / "tmp" / names[0])
        time.sleep(0.05)
    elapsed = time.monotonic() - started
    proc.send_signal(signal.SIGTERM)
    proc.wait(timeout=30)
    print("  copy of %s bytes, %.2f s after start" % (copy_size, elapsed), flush=True)
    check(copy_size is not None and copy_size < 1 << 20, "copies the movie and its note only")
    check(copies(work) == [], "leaves no copy")


def check_display(bindir, work, env):
    print("display: the X server goes away under a playing card", flush=True)
    if shutil.which("Xvfb") is None:
        print("  skipped: no Xvfb", flush=True)
        return
    card = work / "display.card"
    make_card(bindir, work / "plain.swf", card, env)
    display = ":%d" % (90 + os.getpid() % 100)
    server = subprocess.Popen(["Xvfb", display, "-nolisten", "tcp"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    time.sleep(1.5)
    x_env = dict(env, QT_QPA_PLATFORM="xcb", DISPLAY=display)
    proc = subprocess.Popen([str(card)], env=x_env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    started = time.monotonic()
    while time.monotonic() - started < 20 and not copies(work):
        time.sleep(0.05)
    had_copy = bool(copies(work))
    time.sleep(1)
    server.kill()
    server.wait()
    try:
        status = proc.wait(timeout=20)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
        status = None
    check(had_copy, "the card played on the X server")
    check(status is not None, "the card ended with the display (status %s)" % status)
    check(copies(work) == [], "leaves no copy")


def check_fidelity(bindir, work, env):
    print("fidelity: the corpus with and without the frame budget", flush=True)
    score = ROOT.parent / "shared" / "swf-corpus" / "score"
    if not score.exists():
        print("  skipped: no corpus at %s" % score.parent, flush=True)
        return
    budgeted = work / "budgeted-cardtool"
    budgeted.write_text('#!/bin/sh\nexec "%s" "$@" --frame-budget %d\n'
                        % (bindir / "cardtool", FRAME_BUDGET_MS))
    budgeted.chmod(0o755)
    summaries = {}
    for name, tool in (("plain", bindir / "cardtool"), ("budget", budgeted)):
        result = subprocess.run([sys.executable, str(score), "--cardtool", str(tool), "--out",
                                 str(work / name), "--quiet"], env=env, capture_output=True,
                                text=True, timeout=1800)
        summaries[name] = result.stdout.strip().splitlines()[-1] if result.stdout.strip() else ""
        print("  %s: %s" % (name, summaries[name]), flush=True)
    plain = sorted(os.listdir(work / "plain" / "actual"))
    same = [n for n in plain
            if (work / "budget" / "actual" / n).exists()
            and (work / "plain" / "actual" / n).read_bytes()
            == (work / "budget" / "actual" / n).read_bytes()]
    check(summaries["plain"] == summaries["budget"], "the scores are the same")
    check(len(same) == len(plain), "%d of %d pictures identical" % (len(same), len(plain)))


def digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 22), b""):
            h.update(block)
    return h.hexdigest()


def big_movie(path, megabytes):
    length = megabytes << 20
    with open(path, "wb") as f:
        f.write(b"FWS" + bytes([10]) + length.to_bytes(4, "little"))
        f.write(hostile_movies.rect(0, 11000, 0, 8000) + bytes([0, 12, 1, 0]))
        f.truncate(length)
        f.seek(length - 2)
        f.write(b"\x40\x00")  # a show-frame tag at the very end
    return path


def check_kills(bindir, work, env, kills, megabytes):
    print("kills: %d MB movie, %d interruptions of each command" % (megabytes, kills), flush=True)
    folder = work / "kills"
    folder.mkdir()
    original = big_movie(work / "original.swf", megabytes)
    movie = folder / "movie.swf"
    card = folder / "movie.card"
    cardtool = str(bindir / "cardtool")
    commands = {
        "write-note": [cardtool, "write-note", str(movie), "--blessing", "new", "--yes"],
        "make": [cardtool, "make", str(movie), str(card), "--blessing", "new", "--yes",
                 "--template", str(bindir / "Velmora.vmd")],
    }
    rng = random.Random(11)
    for name, command in commands.items():
        # The bytes a complete run leaves, and how long it takes.
        shutil.copyfile(original, movie)
        started = time.monotonic()
        subprocess.run(command, check=True, env=env, stdout=subprocess.DEVNULL, timeout=600)
        duration = time.monotonic() - started
        new_movie = digest(movie)
        new_card = digest(card) if name == "make" else None
        old_movie = digest(original)
        outcomes = {"old": 0, "new": 0, "other": 0, "stray": 0, "broken card": 0}
        signals_sent = {}
        for _ in range(kills):
            for leftover in glob.glob(str(folder / "*")):
                os.unlink(leftover)
            shutil.copyfile(original, movie)
            sig = rng.choice([signal.SIGINT, signal.SIGTERM, signal.SIGHUP])
            signals_sent[sig.name] = signals_sent.get(sig.name, 0) + 1
            proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
            # Some moments fall after the end: those runs must leave the new bytes.
            time.sleep(rng.uniform(0.0, duration * 1.15))
            proc.send_signal(sig)
            proc.wait(timeout=600)
            now = digest(movie)
            outcomes["old" if now == old_movie else "new" if now == new_movie else "other"] += 1
            names = sorted(os.listdir(folder))
            if [n for n in names if n not in ("movie.swf", "movie.card")]:
                outcomes["stray"] += 1
            if name == "make" and "movie.card" in names and digest(card) != new_card:
                outcomes["broken card"] += 1
        print("  %s (%.1f s a run): %s; signals %s" % (name, duration, outcomes, signals_sent),
              flush=True)
        check(outcomes["other"] == 0, "%s: the movie is always its old or new bytes" % name)
        check(outcomes["stray"] == 0, "%s: no partial file remains" % name)
        check(outcomes["broken card"] == 0, "%s: a card is whole or absent" % name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bin", default=str(ROOT / "build" / "bin"))
    parser.add_argument("--kills", type=int, default=50)
    parser.add_argument("--movie-mb", type=int, default=200)
    parser.add_argument("--only", action="append",
                        choices=["frames", "huge", "scripts", "bigcard", "display", "fidelity",
                                 "kills"])
    args = parser.parse_args()
    bindir = Path(args.bin)
    for needed in ("cardtool", "Velmora.vmd"):
        if not (bindir / needed).exists():
            print("long-checks: no %s in %s (build it first)" % (needed, bindir), file=sys.stderr)
            return 2
    selected = args.only or ["frames", "huge", "scripts", "bigcard", "display", "fidelity",
                             "kills"]
    with tempfile.TemporaryDirectory(prefix="long-checks-") as folder:
        work = Path(folder)
        env = environment(work)
        # The cards play with the runtime of this build, not an installed one.
        env["VELMORA_RUNTIME"] = str(bindir / "libvelmora-runtime.so.1")
        (work / "blur-20.swf").write_bytes(hostile_movies.blur_movie(20))
        (work / "blur-500.swf").write_bytes(hostile_movies.blur_movie(500))
        (work / "huge-frame.swf").write_bytes(hostile_movies.huge_frame_movie())
        (work / "plain.swf").write_bytes(hostile_movies.plain_movie())
        for name, data in hostile_movies.script_movies().items():
            (work / ("script-%s.swf" % name)).write_bytes(data)
        if "frames" in selected:
            check_frames(bindir, work, env)
        if "huge" in selected:
            check_huge(bindir, work, env)
        if "scripts" in selected:
            check_scripts(bindir, work, env)
        if "bigcard" in selected:
            check_bigcard(bindir, work, env)
        if "display" in selected:
            check_display(bindir, work, env)
        if "fidelity" in selected:
            check_fidelity(bindir, work, env)
        if "kills" in selected:
            check_kills(bindir, work, env, args.kills, args.movie_mb)
    print("long checks: %s" % ("all held" if not failures else "%d failed" % len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
