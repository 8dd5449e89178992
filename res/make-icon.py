#!/usr/bin/env python3
"""Draws brellam's icon (a brush and palette over a page) at each size.

Standard library only, so the icon can be redrawn on any build machine:
    python3 make-icon.py [--check] [OUT_DIR]
writes brellam.ico (the Windows program's) and brellam-<size>.png (the Linux
desktop's) into OUT_DIR (default: here), or with --check only says whether
the files there are those bytes. The same drawing gives the same bytes every
time; the files are committed beside this script.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 256)
SUPERSAMPLE = 4


def hexcolor(h):
    return tuple(int(h[i:i + 2], 16) for i in (1, 3, 5))


PAGE, PAGE_EDGE, PAGE_LINE = hexcolor("#FBFBF8"), hexcolor("#4A5363"), hexcolor("#B9C2D0")
FOLD = hexcolor("#D9DEE6")
WOOD, WOOD_EDGE = hexcolor("#EBC48C"), hexcolor("#8A5A2B")
PAINTS = [hexcolor(c) for c in ("#E0393E", "#2F6FDE", "#2BA84A", "#F2C12E")]
HANDLE, HANDLE_EDGE = hexcolor("#B0412E"), hexcolor("#5E1E14")
FERRULE, FERRULE_EDGE = hexcolor("#C9CED6"), hexcolor("#5B6270")
BRISTLE = hexcolor("#2F6FDE")


# Signed distances in unit square coordinates: negative inside.
def box(px, py, x0, y0, x1, y1, r=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0), max(qy, 0))
    return outside + min(max(qx, qy), 0) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def ellipse(px, py, cx, cy, rx, ry, angle):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = px - cx, py - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    return (math.hypot(u / rx, v / ry) - 1) * min(rx, ry)


def capsule(px, py, ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - ax - t * vx, py - ay - t * vy) - r


def lerp(a, b, t):
    return a + (b - a) * t


def sample(px, py, size):
    """Colour (r, g, b) or None for transparent at one point."""
    w = max(0.022, 1.1 / size)  # outlines stay at least a pixel wide
    colour = None

    def paint(d, fill, edge):
        nonlocal colour
        if d < -w:
            colour = fill
        elif d < 0:
            colour = edge

    # Page with its top-right corner folded down.
    diagonal = (px - py - 0.50) / math.sqrt(2)  # > 0 beyond the fold
    page = max(box(px, py, 0.10, 0.04, 0.72, 0.70, 0.03), diagonal)
    paint(page, PAGE, PAGE_EDGE)
    if size >= 32 and page < -w:
        for y, right in ((0.30, 0.46), (0.40, 0.60), (0.50, 0.60)):
            if abs(py - y) < max(0.018, 0.6 / size) and 0.20 < px < right:
                colour = PAGE_LINE
    paint(max(0.54 - px, py - 0.22, diagonal), FOLD, PAGE_EDGE)

    # Palette, tilted, with a thumb hole and four dabs of paint.
    pal = ellipse(px, py, 0.46, 0.72, 0.42, 0.24, -0.18)
    hole = circle(px, py, 0.30, 0.80, 0.055)
    paint(max(pal, -hole), WOOD, WOOD_EDGE)
    if pal < 0 and hole >= 0:
        dabs = ((0.24, 0.64), (0.40, 0.60), (0.56, 0.58), (0.70, 0.64))
        for (cx, cy), c in zip(dabs, PAINTS):
            if circle(px, py, cx, cy, 0.062 if size >= 32 else 0.075) < 0:
                colour = c

    # Brush from the top right down onto the palette.
    ax, ay, bx, by = 0.95, 0.08, 0.56, 0.54
    t_ferrule, t_tip = 0.62, 0.78
    fx, fy = lerp(ax, bx, t_ferrule), lerp(ay, by, t_ferrule)
    tx, ty = lerp(ax, bx, t_tip), lerp(ay, by, t_tip)
    paint(capsule(px, py, ax, ay, fx, fy, 0.05), HANDLE, HANDLE_EDGE)
    paint(capsule(px, py, fx, fy, tx, ty, 0.058), FERRULE, FERRULE_EDGE)
    # Bristles taper to a point at the end of the brush.
    vx, vy = bx - tx, by - ty
    length = math.hypot(vx, vy)
    t = ((px - tx) * vx + (py - ty) * vy) / (length * length)
    if 0 <= t <= 1.15:
        r = 0.062 * (1 - t * 0.75) if t <= 1 else 0
        dist = abs((px - tx) * vy - (py - ty) * vx) / length
        if dist < r or circle(px, py, bx, by, 0.02) < 0:
            colour = BRISTLE if dist < r - w * 0.7 else HANDLE_EDGE
    return colour


def render(size):
    """Straight-alpha RGBA rows, top row first."""
    rows = []
    n = SUPERSAMPLE
    for y in range(size):
        row = bytearray()
        for x in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((x + (sx + 0.5) / n) / size, (y + (sy + 0.5) / n) / size, size)
                    if c:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((r // a, g // a, b // a, a * 255 // (n * n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def dib(size, rows):
    """Icon bitmap: BGRA bottom-up plus the 1-bit AND mask older readers use."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    out = args[0] if args else os.path.dirname(os.path.abspath(__file__))
    files = {}
    images = []
    for size in SIZES:
        rows = render(size)
        files[f"brellam-{size}.png"] = png(size, rows)
        # Large icons are stored as PNG to keep the exe small.
        images.append((size, png(size, rows) if size >= 256 else dib(size, rows)))
    offset = 6 + 16 * len(images)
    ico = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    for size, data in images:
        dim = size if size < 256 else 0
        ico += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        ico += data
    files["brellam.ico"] = bytes(ico)
    for name, data in files.items():
        path = os.path.join(out, name)
        if not check:
            with open(path, "wb") as f:
                f.write(data)
            continue
        with open(path, "rb") as f:
            if f.read() != data:
                sys.exit(f"{path} is not what make-icon.py draws: run it again")


if __name__ == "__main__":
    main()
