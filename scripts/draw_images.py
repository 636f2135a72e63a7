#!/usr/bin/env python3
"""Draw the module's images (motif/images/*.png) and the core icons (host/core/images) as line art.

Every image is drawn here from straight lines and sampled curves, so the pictures carry no
third-party material and can be regenerated at any time. Each PNG is a two-colour palette
image: index 0 is fully transparent, index 1 is the line colour, so the pictures sit on any
background the host's editor uses.

With --check nothing is written and the exit status says whether the committed files show
the same pictures. The pixels are compared, not the bytes, because a different zlib build
may compress the same rows differently.
"""

import argparse
import math
import pathlib
import struct
import sys
import zlib

REPO = pathlib.Path(__file__).resolve().parent.parent
DEFAULT_DIR = REPO / "motif" / "images"
CORE_DIR = REPO / "host" / "core" / "images"
INK = (0x20, 0x20, 0x20)
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.rows = [bytearray(width) for _ in range(height)]

    def dot(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            raise ValueError(f"dot ({x}, {y}) outside {self.width}x{self.height}")
        self.rows[y][x] = 1

    def line(self, x0, y0, x1, y1):
        """Bresenham line, both ends included."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        error = dx + dy
        while True:
            self.dot(x0, y0)
            if (x0, y0) == (x1, y1):
                return
            twice = 2 * error
            if twice >= dy:
                error += dy
                x0 += sx
            if twice <= dx:
                error += dx
                y0 += sy

    def polyline(self, points):
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.line(x0, y0, x1, y1)

    def frame(self, x0, y0, x1, y1):
        self.polyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1), (x0, y0)])

    def fill(self, x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            self.line(x0, y, x1, y)

    def curve(self, x0, y0, x1, y1, function):
        """Plot function (0..1 -> 0..1, rising upwards) across the box, one point per column."""
        points = []
        for x in range(x0, x1 + 1):
            value = min(1.0, max(0.0, function((x - x0) / (x1 - x0))))
            points.append((x, round(y1 - value * (y1 - y0))))
        self.polyline(points)


def png_chunk(kind, payload):
    return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))


def scanlines(canvas):
    """The rows as PNG stores them: filter byte 0, then eight pixels per byte, first pixel highest."""
    data = bytearray()
    for row in canvas.rows:
        data.append(0)
        for start in range(0, canvas.width, 8):
            byte = 0
            for bit, pixel in enumerate(row[start:start + 8]):
                byte |= pixel << (7 - bit)
            data.append(byte)
    return bytes(data)


def header(canvas):
    # Bit depth 1, colour type 3 (palette), deflate, adaptive filtering, no interlace.
    return struct.pack(">IIBBBBB", canvas.width, canvas.height, 1, 3, 0, 0, 0)


def encode(canvas):
    return (PNG_SIGNATURE
            + png_chunk(b"IHDR", header(canvas))
            + png_chunk(b"PLTE", bytes((0, 0, 0) + INK))
            + png_chunk(b"tRNS", b"\x00")
            + png_chunk(b"IDAT", zlib.compress(scanlines(canvas), 9))
            + png_chunk(b"IEND", b""))


def decode(data):
    """(IHDR, PLTE, tRNS, raw scanlines) of a PNG written by encode(); None if it is not one."""
    if not data.startswith(PNG_SIGNATURE):
        return None
    chunks, offset = {}, len(PNG_SIGNATURE)
    while offset + 12 <= len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        chunks.setdefault(kind, b"")
        chunks[kind] += data[offset + 8:offset + 8 + length]
        offset += 12 + length
    try:
        pixels = zlib.decompress(chunks.get(b"IDAT", b""))
    except zlib.error:
        return None
    return chunks.get(b"IHDR"), chunks.get(b"PLTE"), chunks.get(b"tRNS"), pixels


def keyboard(canvas, left, top):
    """A 16x16 keyboard: a panel with a display above five white keys and three black keys."""
    canvas.frame(left, top + 1, left + 15, top + 14)
    canvas.frame(left + 2, top + 3, left + 7, top + 4)
    canvas.line(left, top + 6, left + 15, top + 6)
    for x in (3, 6, 9, 12):
        canvas.line(left + x, top + 6, left + x, top + 14)
    for x in (3, 6, 12):
        canvas.fill(left + x - 1, top + 6, left + x + 1, top + 10)


def draw_motif():
    canvas = Canvas(16, 16)
    keyboard(canvas, 0, 0)
    return canvas


def draw_voice_to_part():
    """A voice (the keyboard) passed along an arrow into one of four part slots."""
    canvas = Canvas(64, 32)
    keyboard(canvas, 2, 8)
    canvas.line(22, 16, 38, 16)
    canvas.line(34, 12, 38, 16)
    canvas.line(34, 20, 38, 16)
    for slot, top in enumerate((5, 11, 17, 23)):
        if slot == 2:
            canvas.fill(43, top, 61, top + 3)
        else:
            canvas.frame(43, top, 61, top + 3)
    return canvas


def wave_strip(shapes, cell=16, height=12):
    """One glyph per LFO shape, side by side; each shape is a list of (x, y) in a 14x10 box."""
    canvas = Canvas(cell * len(shapes), height)
    for index, shape in enumerate(shapes):
        canvas.polyline([(index * cell + 1 + x, 1 + y) for x, y in shape])
    return canvas


TRIANGLE = [(0, 9), (3, 0), (10, 9), (13, 0)]
SAW_UP = [(0, 9), (6, 0), (6, 9), (13, 0)]
SAW_DOWN = [(0, 0), (6, 9), (6, 0), (13, 9)]
SQUARE = [(0, 9), (0, 0), (6, 0), (6, 9), (13, 9), (13, 0)]
TRAPEZOID = [(0, 9), (3, 0), (6, 0), (9, 9), (13, 9)]
SAMPLE_HOLD = [(0, 6), (3, 6), (3, 1), (6, 1), (6, 8), (9, 8), (9, 3), (13, 3)]


def draw_lfo_waves():
    return wave_strip([TRIANGLE, SAW_UP, SAW_DOWN, SQUARE, TRAPEZOID, SAMPLE_HOLD])


def draw_element_lfo_waves():
    return wave_strip([SAW_UP, TRIANGLE, SQUARE])


def curve_strip(cells):
    """16x16 cells with the input along the bottom axis and the response up the left axis."""
    canvas = Canvas(16 * len(cells), 16)
    for index, functions in enumerate(cells):
        left = index * 16
        canvas.polyline([(left + 1, 1), (left + 1, 14), (left + 14, 14)])
        for function in functions:
            canvas.curve(left + 2, 1, left + 14, 13, function)
    return canvas


def draw_velocity_curves():
    """Normal, soft, hard, wide and fixed velocity response."""
    return curve_strip([
        [lambda v: v],
        [lambda v: math.sqrt(v)],
        [lambda v: v * v],
        [lambda v: v * v * (3 - 2 * v)],
        [lambda v: 0.5],
    ])


def fan(centre):
    """Positive, zero and negative sensitivity, all passing through the centre velocity."""
    return [lambda v, s=slope: 0.5 + s * (v - centre) for slope in (0.5, 0.0, -0.5)]


def draw_sensitivity_curves():
    """Sensitivity fans around a low, a middle and a high centre velocity."""
    return curve_strip([fan(0.0), fan(0.5), fan(1.0)])


IMAGES = {
    "v2p.png": draw_voice_to_part,
    "motif.png": draw_motif,
    "lfowaves.png": draw_lfo_waves,
    "elm-lfowaves.png": draw_element_lfo_waves,
    "senscurves.png": draw_sensitivity_curves,
    "velocurves.png": draw_velocity_curves,
}


def draw_open():
    """An open folder: the back with its tab, the front flap tilted forward."""
    canvas = Canvas(16, 16)
    canvas.polyline([(1, 13), (1, 3), (5, 3), (6, 4), (12, 4), (12, 6)])
    canvas.polyline([(1, 13), (4, 6), (15, 6), (12, 13), (1, 13)])
    return canvas


def draw_delete():
    """A bin with a lid and three ribs."""
    canvas = Canvas(16, 16)
    canvas.line(2, 3, 13, 3)
    canvas.frame(6, 1, 9, 3)
    canvas.polyline([(3, 4), (4, 14), (11, 14), (12, 4)])
    for x in (5, 8, 10):
        canvas.line(x, 6, x, 12)
    return canvas


CORE_IMAGES = {
    "open.png": draw_open,
    "delete.png": draw_delete,
}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dir", type=pathlib.Path, default=DEFAULT_DIR)
    parser.add_argument("--check", action="store_true", help="only report whether the files are up to date")
    args = parser.parse_args()

    stale = []
    for name, draw in [(args.dir / n, d) for n, d in IMAGES.items()] + [(CORE_DIR / n, d) for n, d in CORE_IMAGES.items()]:
        path = name
        name = path.name
        png = encode(draw())
        if args.check:
            current = path.read_bytes() if path.exists() else b""
            if decode(current) != decode(png):
                stale.append(name)
        else:
            path.write_bytes(png)
    if stale:
        sys.exit(f"{args.dir}: pictures differ from the drawing: {' '.join(stale)}")


if __name__ == "__main__":
    main()
