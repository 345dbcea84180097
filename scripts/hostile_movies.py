#!/usr/bin/env python3
"""Writes small movies that ask a player for too much, for the long checks.

    hostile_movies.py FOLDER

blur-20.swf, blur-500.swf   N copies of a square, each with the largest blur of the most
                            passes, on a 550 x 400 stage (each under a few kilobytes)
huge-frame.swf              a square on a stage of the largest frame rectangle
script-*.swf                scripts that ask for minutes or gigabytes (SCRIPT_MOVIES): sorts
                            of 20,000 and 16 million elements, a split of 32 MB, 50 Perlin
                            noises on 2880 x 2880, a new 64 MB string kept each frame, endless
                            loops making clips and array elements
"""
import struct
import sys
from pathlib import Path


class Bits:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def ub(self, value, width):
        for i in range(width - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                self.acc = self.n = 0

    def sb(self, value, width):
        self.ub(value & ((1 << width) - 1), width)

    def done(self):
        if self.n:
            self.out.append(self.acc << (8 - self.n))
            self.acc = self.n = 0
        return bytes(self.out)


def signed_width(*values):
    return max(max(v.bit_length() for v in values) + 1, 2)


def rect(xmin, xmax, ymin, ymax):
    b = Bits()
    n = signed_width(xmin, xmax, ymin, ymax)
    b.ub(n, 5)
    for v in (xmin, xmax, ymin, ymax):
        b.sb(v, n)
    return b.done()


def translation(x, y):
    b = Bits()
    b.ub(0, 1)  # no scale
    b.ub(0, 1)  # no rotation
    n = signed_width(x, y)
    b.ub(n, 5)
    b.sb(x, n)
    b.sb(y, n)
    return b.done()


def tag(code, body):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def square_shape(shape_id, size):
    body = struct.pack("<H", shape_id) + rect(0, size, 0, size)
    body += bytes([1, 0x00, 0x30, 0x60, 0xC0])  # one solid fill
    body += bytes([0])  # no line styles
    b = Bits()
    b.ub(1, 4)  # fill bits
    b.ub(0, 4)  # line bits
    # Style change: move to (0, 0), fill style 1 on the left.
    b.ub(0, 1)
    b.ub(0b00101, 5)
    n = 2
    b.ub(n, 5)
    b.sb(0, n)
    b.sb(0, n)
    b.ub(1, 1)
    for dx, dy in ((size, 0), (0, size), (-size, 0), (0, -size)):
        b.ub(1, 1)  # edge
        b.ub(1, 1)  # straight
        w = signed_width(dx, dy)
        b.ub(w - 2, 4)
        b.ub(0, 1)  # not general: vertical or horizontal
        b.ub(1 if dx == 0 else 0, 1)
        b.sb(dy if dx == 0 else dx, w)
    b.ub(0, 6)  # end
    return tag(2, body + b.done())


def blurred_place(depth, shape_id, x, y):
    flags = 0x04 | 0x02  # matrix, character
    body = bytes([flags, 0x01]) + struct.pack("<HH", depth, shape_id) + translation(x, y)
    blur = 0x00FF0000  # 255 pixels, signed 16.16 fixed point
    passes = 31
    body += bytes([1, 1]) + struct.pack("<II", blur, blur) + bytes([passes << 3])
    return tag(70, body)


def movie(frame, tags, rate=12):
    body = frame + struct.pack("<HH", rate << 8, 1) + b"".join(tags)
    header_length = 8
    return b"FWS" + bytes([10]) + struct.pack("<I", header_length + len(body)) + body


def blur_movie(copies):
    tags = [tag(69, struct.pack("<I", 0)), tag(9, bytes([255, 255, 255])), square_shape(1, 4000)]
    for i in range(copies):
        tags.append(blurred_place(i + 1, 1, (i * 997) % 9000, (i * 1499) % 6000))
    tags += [tag(1, b""), tag(0, b"")]
    return movie(rect(0, 11000, 0, 8000), tags)


def plain_movie():
    tags = [tag(9, bytes([255, 255, 255])), square_shape(1, 2000),
            tag(26, bytes([0x06]) + struct.pack("<HH", 1, 1) + translation(400, 400)),
            tag(1, b""), tag(0, b"")]
    return movie(rect(0, 11000, 0, 8000), tags)


def huge_frame_movie():
    big = (1 << 30) - 1
    tags = [tag(9, bytes([255, 255, 255])), square_shape(1, 2000),
            tag(26, bytes([0x06]) + struct.pack("<HH", 1, 1) + translation(0, 0)),
            tag(1, b""), tag(0, b"")]
    return movie(rect(0, big, 0, big), tags)


class Script:
    """ActionScript 1/2 actions, written as the movie's bytecode."""

    def __init__(self):
        self.out = bytearray()

    def code(self, op):
        self.out.append(op)
        return self

    def payload(self, op, body):
        self.out += bytes([op]) + struct.pack("<H", len(body)) + body
        return self

    def push(self, *values):
        body = bytearray()
        for v in values:
            if isinstance(v, bool):
                body += bytes([5, 1 if v else 0])
            elif isinstance(v, str):
                body += b"\x00" + v.encode() + b"\x00"
            else:
                packed = struct.pack("<d", float(v))  # stored high word first
                body += b"\x06" + packed[4:] + packed[:4]
        return self.payload(0x96, bytes(body))

    def get(self, name):
        return self.push(name).code(0x1C)

    def set_to(self, name, fill):
        self.push(name)
        fill(self)
        return self.code(0x1D)

    def call(self, obj, method, *args):
        """Pushes obj.method(args) (arguments given first to last)."""
        self.push(*reversed(args)) if args else None
        return self.push(len(args)).get(obj).push(method).code(0x52)

    def new(self, cls, *args):
        self.push(*reversed(args)) if args else None
        return self.push(len(args), cls).code(0x40)

    def doubled(self, name, times):
        self.push(name, "x").code(0x1D)
        for _ in range(times):
            self.push(name).get(name).get(name).code(0x47).code(0x1D)
        return self

    def loop_forever(self, body):
        """Runs `body` (a Script) again and again."""
        self.out += body.out
        return self.payload(0x99, struct.pack("<h", -(len(body.out) + 5)))

    def tag(self):
        return tag(12, bytes(self.out) + b"\x00")


def script_movie(frames):
    """A movie whose frames run the given scripts and then start again."""
    tags = [tag(9, bytes([255, 255, 255]))]
    for script in frames:
        tags += [script.tag(), tag(1, b"")]
    tags.append(tag(0, b""))
    return movie(rect(0, 6400, 0, 4800), tags)


def script_movies():
    sort_20000 = Script().set_to("a", lambda s: s.new("Array", 20000))
    sort_20000.call("a", "sort").code(0x17)
    sort_16m = Script().set_to("a", lambda s: s.new("Array", 16000000))
    sort_16m.call("a", "sort").code(0x17)
    split = Script().doubled("s", 25).call("s", "split", "").code(0x17)
    perlin = Script().set_to("b", lambda s: s.push(0, 2880, 2880, 3).get("flash")
                             .push("display").code(0x4E).push("BitmapData").code(0x53))
    for _ in range(50):
        perlin.call("b", "perlinNoise", 200, 200, 8, 1, False, False, 7).code(0x17)
    keep_init = Script().doubled("s", 26).set_to("kept", lambda s: s.new("Array"))
    keep_each = Script().get("s").get("kept").push("length").code(0x4E).code(0x47)
    keep_each.push(1).get("kept").push("push").code(0x52).code(0x17)
    again = Script().payload(0x81, struct.pack("<H", 1)).code(0x06)  # gotoAndPlay(2)
    clips = Script().push("i", 0).code(0x1D)
    clips.loop_forever(Script().push("i").code(0x1C).push("c").get("i").code(0x47).push(2)
                       .get("_root").push("createEmptyMovieClip").code(0x52).code(0x17)
                       .push("i").get("i").code(0x50).code(0x1D))
    elements = Script().set_to("a", lambda s: s.new("Array")).push("i", 0).code(0x1D)
    elements.loop_forever(Script().get("i").push(1).get("a").push("push").code(0x52)
                          .code(0x17).push("i").get("i").code(0x50).code(0x1D))
    return {
        "sort-20000": script_movie([sort_20000, Script()]),
        "sort-16m": script_movie([sort_16m, Script()]),
        "split-32mb": script_movie([split, Script()]),
        "perlin-50": script_movie([perlin, Script()]),
        "string-64mb": script_movie([keep_init, keep_each, again]),
        "clip-loop": script_movie([clips, Script()]),
        "array-loop": script_movie([elements, Script()]),
    }


SCRIPT_MOVIES = ["sort-20000", "sort-16m", "split-32mb", "perlin-50", "string-64mb",
                 "clip-loop", "array-loop"]


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "blur-20.swf").write_bytes(blur_movie(20))
    (folder / "blur-500.swf").write_bytes(blur_movie(500))
    (folder / "huge-frame.swf").write_bytes(huge_frame_movie())
    for name, data in script_movies().items():
        (folder / ("script-%s.swf" % name)).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
