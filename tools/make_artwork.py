#!/usr/bin/env python3
"""Draws Tollivane's artwork: the 257 x 140 banner, the 32 x 32, 16-colour window icon, and
the launcher icons of the desktop's icon theme (PNG at the usual sizes, and SVG).

Pure Python (zlib and struct only), so that it runs anywhere python3 does. The output is
deterministic; run it from the repository root:  python3 tools/make_artwork.py
(The Windows build runs it as  make_artwork.py --windows BANNER.bmp ICON.ico  for its resources.)
"""
import math
import os
import struct
import sys
import zlib

# 5 x 7 glyphs for the letters of the name.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "v": [".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "n": [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
}

BACKGROUND_TOP = (18, 22, 34)
BACKGROUND_BOTTOM = (4, 5, 9)
STEEL = (150, 160, 176)
FACE = (26, 32, 48)
ACCENT = (230, 150, 40)
TEXT = (200, 204, 212)


def png(width, height, rows, colour_type, bit_depth, palette=None):
    """rows: one bytes object per row, already packed for the colour type and depth."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + row for row in rows)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, colour_type, 0, 0, 0))
    if palette is not None:
        out += chunk(b"PLTE", b"".join(bytes(c) for c in palette))
    out += chunk(b"IDAT", zlib.compress(raw, 9))
    out += chunk(b"IEND", b"")
    return out


def blend(under, over, alpha):
    return tuple(round(u + (o - u) * alpha) for u, o in zip(under, over))


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.pixels = [[fill(x, y) for x in range(width)] for y in range(height)]

    def paint(self, colour, coverage, samples=4):
        """coverage(x, y) -> bool at sub-pixel points; anti-aliased by supersampling."""
        step = 1.0 / samples
        for y in range(self.height):
            for x in range(self.width):
                hits = sum(
                    coverage(x + (i + 0.5) * step, y + (j + 0.5) * step)
                    for i in range(samples) for j in range(samples))
                if hits:
                    alpha = hits / (samples * samples)
                    self.pixels[y][x] = blend(self.pixels[y][x], colour, alpha)

    def rgb_rows(self):
        return [bytes(v for p in row for v in p) for row in self.pixels]


class TransparentCanvas(Canvas):
    """RGBA, starting fully transparent; paint() composites over what is there."""

    def __init__(self, width, height):
        super().__init__(width, height, lambda x, y: (0, 0, 0, 0))

    def paint(self, colour, coverage, samples=4):
        step = 1.0 / samples
        for y in range(self.height):
            for x in range(self.width):
                hits = sum(
                    coverage(x + (i + 0.5) * step, y + (j + 0.5) * step)
                    for i in range(samples) for j in range(samples))
                if hits:
                    a = hits / (samples * samples)
                    r, g, b, under = self.pixels[y][x]
                    below = under / 255 * (1 - a)
                    out = a + below
                    rgb = tuple(round((c * a + u * below) / out) for c, u in zip(colour, (r, g, b)))
                    self.pixels[y][x] = rgb + (round(out * 255),)


def ring(cx, cy, r_in, r_out):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def hand(cx, cy, angle_deg, length, half_width):
    a = math.radians(angle_deg)
    dx, dy = math.sin(a), -math.cos(a)

    def inside(x, y):
        px, py = x - cx, y - cy
        along = px * dx + py * dy
        across = abs(-px * dy + py * dx)
        return -half_width <= along <= length and across <= half_width
    return inside


def any_of(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def stopwatch_shapes(cx, cy, r, with_ticks=True):
    """The stopwatch as (colour, kind, parameters), bottom first: one drawing for every output."""
    s = r / 35.0
    shapes = [
        (STEEL, "crown", (cx - 5 * s, cy - r - 9 * s, cx + 5 * s, cy - r + 1,
                          cx - 9 * s, cy - r - 13 * s, cx + 9 * s, cy - r - 8 * s)),
        (STEEL, "hand", (cx, cy, 45, r + 6 * s, 3 * s)),
        (FACE, "disc", (cx, cy, r)),
        (STEEL, "ring", (cx, cy, r - 4 * s, r)),
    ]
    if with_ticks:
        for k in range(12):
            a = math.radians(k * 30)
            tx, ty = cx + math.sin(a) * (r - 9 * s), cy - math.cos(a) * (r - 9 * s)
            shapes.append((STEEL, "disc", (tx, ty, 1.6 * s if k % 3 else 2.4 * s)))
    shapes += [
        (ACCENT, "hand", (cx, cy, 60, r - 12 * s, 1.6 * s)),
        (TEXT, "hand", (cx, cy, 0, r - 16 * s, 1.2 * s)),
        (ACCENT, "disc", (cx, cy, 3.2 * s)),
    ]
    return shapes


def crown(*corners):
    return any_of(box(*corners[:4]), box(*corners[4:]))


SHAPE_KINDS = {"crown": crown, "hand": hand, "disc": disc, "ring": ring}


def stopwatch(canvas, cx, cy, r, with_ticks=True):
    kinds = SHAPE_KINDS
    for colour, kind, params in stopwatch_shapes(cx, cy, r, with_ticks):
        canvas.paint(colour, kinds[kind](*params))


def svg_element(colour, kind, params):
    fill = "#%02x%02x%02x" % colour
    if kind == "crown":
        return "".join('<rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>' % (
            x0, y0, x1 - x0, y1 - y0, fill) for x0, y0, x1, y1 in (params[:4], params[4:]))
    if kind == "disc":
        cx, cy, r = params
        return '<circle cx="%g" cy="%g" r="%g" fill="%s"/>' % (cx, cy, r, fill)
    if kind == "ring":
        cx, cy, r_in, r_out = params
        return '<circle cx="%g" cy="%g" r="%g" fill="none" stroke="%s" stroke-width="%g"/>' % (
            cx, cy, (r_in + r_out) / 2, fill, r_out - r_in)
    cx, cy, angle, length, half_width = params
    a = math.radians(angle)
    dx, dy = math.sin(a), -math.cos(a)  # along the hand; (-dy, dx) across it
    corners = [(cx + dx * along - dy * across, cy + dy * along + dx * across)
               for along, across in ((-half_width, -half_width), (length, -half_width),
                                     (length, half_width), (-half_width, half_width))]
    return '<polygon points="%s" fill="%s"/>' % (
        " ".join("%g,%g" % (round3(x), round3(y)) for x, y in corners), fill)


def round3(value):
    return float("%.3f" % value)


def theme_shapes(size):
    # Fills the square, leaving room for the crown above and the strap to the upper right.
    return [(c, k, tuple(round3(v) for v in p))
            for c, k, p in stopwatch_shapes(size * 0.5, size * 0.56, size * 0.39, size >= 48)]


def theme_png(size):
    c = TransparentCanvas(size, size)
    kinds = SHAPE_KINDS
    for colour, kind, params in theme_shapes(size):
        c.paint(colour, kinds[kind](*params))
    rows = [bytes(v for p in row for v in p) for row in c.pixels]
    return png(size, size, rows, colour_type=6, bit_depth=8)


def theme_svg():
    size = 128
    body = "\n  ".join(svg_element(*shape) for shape in theme_shapes(size))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
            'viewBox="0 0 %d %d">\n  %s\n</svg>\n' % (size, size, size, size, body)).encode()


def banner_canvas():
    w, h = 257, 140
    c = Canvas(w, h, lambda x, y: blend(BACKGROUND_TOP, BACKGROUND_BOTTOM, y / (h - 1)))
    stopwatch(c, 50, 76, 36)
    scale, x0, y0 = 3, 96, 58
    for n, letter in enumerate("Tollivane"):
        for gy, line in enumerate(GLYPHS[letter]):
            for gx, bit in enumerate(line):
                if bit == "#":
                    px, py = x0 + n * 18 + gx * scale, y0 + gy * scale
                    c.paint(TEXT, box(px, py, px + scale, py + scale), samples=1)
    c.paint(ACCENT, box(x0, 86, x0 + 159, 88), samples=1)
    return c


def banner():
    c = banner_canvas()
    return png(c.width, c.height, c.rgb_rows(), colour_type=2, bit_depth=8)


def bmp(canvas):
    # 24-bit, bottom-up rows of blue, green, red padded to 4 bytes: what LoadImage reads
    # without any image library.
    stride = (canvas.width * 3 + 3) & ~3
    rows = b""
    for row in reversed(canvas.pixels):
        line = b"".join(bytes((round(b), round(g), round(r))) for r, g, b in row)
        rows += line + b"\0" * (stride - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows),
                       3780, 3780, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    return header + info + rows


def icon():
    size = 32
    c = Canvas(size, size, lambda x, y: BACKGROUND_BOTTOM)
    stopwatch(c, 16, 18.5, 12.5, with_ticks=False)
    # Down to 16 colours: the nearest of a fixed palette built from the drawing colours.
    base = [BACKGROUND_BOTTOM, FACE, STEEL, ACCENT, TEXT]
    palette = list(base)
    for a, b in [(0, 2), (1, 2), (1, 3), (1, 4), (0, 1), (0, 3), (2, 4), (2, 3), (3, 4), (0, 4)]:
        palette.append(blend(base[a], base[b], 0.5))
    palette.append((0, 0, 0))
    assert len(palette) == 16

    def nearest(p):
        return min(range(16), key=lambda i: sum((u - v) ** 2 for u, v in zip(p, palette[i])))

    rows = []
    for row in c.pixels:
        idx = [nearest(p) for p in row]
        rows.append(bytes((idx[i] << 4) | idx[i + 1] for i in range(0, size, 2)))
    return png(size, size, rows, colour_type=3, bit_depth=4, palette=palette), rows, palette


def dib_ico(rows, palette, size):
    # The classic icon format, a 16-colour bitmap and an all-opaque mask: every Windows and
    # Wine read it, where PNG icons need Vista's decoder.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    pixels = b"".join(reversed(rows))
    mask = bytes(4 * size)  # 32-pixel rows are already 4-byte aligned
    image = header + colours + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def ico(png_bytes, size):
    # One image, stored as PNG (read by every Windows since Vista).
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(png_bytes), 6 + 16)
    return header + entry + png_bytes


THEME_SIZES = (16, 24, 32, 48, 64, 128, 256)
THEME_NAME = "org.example.tollivane"


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--windows":
        # The Windows build's banner and icon resources, made at build time.
        with open(sys.argv[2], "wb") as f:
            f.write(bmp(banner_canvas()))
        _, rows, palette = icon()
        with open(sys.argv[3], "wb") as f:
            f.write(dib_ico(rows, palette, 32))
        return
    out = sys.argv[1] if len(sys.argv) > 1 else "resources"
    os.makedirs(out, exist_ok=True)
    icon_png, _, _ = icon()
    files = {"banner.png": banner(), "icon.png": icon_png, "tollivane.ico": ico(icon_png, 32)}
    for size in THEME_SIZES:
        files["icons/%dx%d/%s.png" % (size, size, THEME_NAME)] = theme_png(size)
    files["icons/scalable/%s.svg" % THEME_NAME] = theme_svg()
    for name, data in files.items():
        os.makedirs(os.path.dirname(os.path.join(out, name)), exist_ok=True)
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(os.path.join(out, name), len(data), "bytes")


if __name__ == "__main__":
    main()
