#!/usr/bin/env python3
"""Draws the pictures of the two windows and the program icon.

Writes into ui/pictures/ (or the folder given as the first argument):
  bar.bmp           barPicture, 155 x 22
  panel.bmp         panelPicture, 155 x 134
  panel_outline.bmp DetailWindow's outline picture: the key pixels of
                    panel.bmp, black everywhere else
  vexmora.ico       the program icon, 48/32/24/16 px, 32-bit

The BMPs are uncompressed 24-bit bottom-up files whose pixel block carries two
trailing zero bytes, as the files the windows were designed with do (10,352 and
62,768 bytes). Python standard library only; the output is deterministic.
"""

import math
import os
import struct
import sys

KEY = (255, 0, 255)
WHITE = (255, 255, 255)
WIDTH = 155


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def mix(a, b, t):
    """a at t = 0, b at t = 1, rounded per channel."""
    t = min(1.0, max(0.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


class Picture:
    def __init__(self, width, height, fill=(0, 0, 0)):
        self.width = width
        self.height = height
        self.rows = [[fill] * width for _ in range(height)]

    def set(self, x, y, colour):
        self.rows[y][x] = colour

    def get(self, x, y):
        return self.rows[y][x]

    def bmp(self):
        stride = (self.width * 3 + 3) & ~3
        pixels = bytearray()
        for row in reversed(self.rows):  # bottom-up
            line = bytearray()
            for r, g, b in row:
                line += bytes((b, g, r))
            line += bytes(stride - len(line))
            pixels += line
        pixels += bytes(2)  # trailing pad of the designed files
        offset = 14 + 40
        header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
        return header + info + bytes(pixels)


def key_ring(picture):
    """The outermost ring and the four pixels diagonally inside its corners."""
    w, h = picture.width, picture.height
    for x in range(w):
        picture.set(x, 0, KEY)
        picture.set(x, h - 1, KEY)
    for y in range(h):
        picture.set(0, y, KEY)
        picture.set(w - 1, y, KEY)
    for x, y in ((1, 1), (w - 2, 1), (1, h - 2), (w - 2, h - 2)):
        picture.set(x, y, KEY)


def frame(picture, border):
    """One-pixel border inside the key ring, a white ring inside that."""
    w, h = picture.width, picture.height
    for x in range(1, w - 1):
        picture.set(x, 1, border)
        picture.set(x, h - 2, border)
    for y in range(1, h - 1):
        picture.set(1, y, border)
        picture.set(w - 2, y, border)
    for x in range(2, w - 2):
        picture.set(x, 2, WHITE)
        picture.set(x, h - 3, WHITE)
    for y in range(2, h - 2):
        picture.set(2, y, WHITE)
        picture.set(w - 3, y, WHITE)


def fill_rows(picture, first, last, top_colour, bottom_colour):
    """Rows first..last inside the white ring, fading top to bottom."""
    span = max(1, last - first)
    for y in range(first, last + 1):
        colour = mix(top_colour, bottom_colour, (y - first) / span)
        for x in range(3, picture.width - 3):
            picture.set(x, y, colour)


# Arrow shapes, 8 x 8, rows top to bottom: '#' arrow body, 'w' white edge.
DOWN_ARROW = [
    "...##...",
    "...##...",
    "...##...",
    "##.##.##",
    "w######w",
    ".w####w.",
    "..w##w..",
    "...ww...",
]
UP_ARROW = [
    "...##...",
    "..####..",
    ".######.",
    "##w##w##",
    "ww.##.ww",
    "...##...",
    "...##...",
    "...##...",
]


def arrow(picture, left, top, shape, first_colour, last_colour):
    """Body rows shade from first_colour (top row) to last_colour (last body row)."""
    body_rows = [y for y, line in enumerate(shape) if "#" in line]
    lo, hi = body_rows[0], body_rows[-1]
    for dy, line in enumerate(shape):
        for dx, cell in enumerate(line):
            if cell == "#":
                picture.set(left + dx, top + dy, mix(first_colour, last_colour, (dy - lo) / (hi - lo)))
            elif cell == "w":
                picture.set(left + dx, top + dy, WHITE)


def etched_separator(picture, row, groove, base):
    """A groove row over a white row, strongest at the middle column."""
    middle = (picture.width - 1) / 2
    reach = middle - 3
    for x in range(3, picture.width - 3):
        strength = 1.0 - (abs(x - middle) / reach) ** 2
        picture.set(x, row, mix(base, groove, strength))
        picture.set(x, row + 1, mix(base, WHITE, strength))


def bar_picture():
    p = Picture(WIDTH, 22)
    frame(p, hex_colour("#5E9DD2"))
    fill_rows(p, 3, 10, hex_colour("#F9FCFD"), hex_colour("#E8F4F8"))
    low = hex_colour("#DEEFF6")
    fill_rows(p, 11, 18, low, low)
    # The lowest two rows ripple a little along the bar.
    for y in (17, 18):
        for x in range(3, WIDTH - 3):
            d = int(round(1.5 * math.sin(x / 9.0 + y)))
            p.set(x, y, (low[0] + d, low[1] + d // 2, low[2]))
    # Divider between the receive and the send half.
    dark = hex_colour("#BFD9EB")
    for y in range(3, 19):
        p.set(76, y, mix(p.get(76, y), dark, 1.0 - abs(y - 11) / 9.0))
    arrow(p, 8, 7, DOWN_ARROW, hex_colour("#FCE40F"), hex_colour("#F49E0F"))
    arrow(p, 82, 7, UP_ARROW, hex_colour("#0FEA0F"), hex_colour("#0F900F"))
    key_ring(p)
    return p


def panel_picture():
    p = Picture(WIDTH, 134)
    frame(p, hex_colour("#79ADD9"))
    body = hex_colour("#E2F1F6")
    title_end = hex_colour("#EBF6FA")
    fill_rows(p, 3, 28, hex_colour("#FCFDFE"), title_end)
    fill_rows(p, 29, 30, title_end, title_end)
    etched_separator(p, 29, hex_colour("#D9EDF4"), title_end)
    fill_rows(p, 31, 44, hex_colour("#EAF5F9"), body)
    fill_rows(p, 45, 130, body, body)
    etched_separator(p, 73, hex_colour("#D9EDF4"), body)
    arrow(p, 8, 40, DOWN_ARROW, hex_colour("#FCE40F"), hex_colour("#F49E0F"))
    arrow(p, 8, 55, UP_ARROW, hex_colour("#0FEA0F"), hex_colour("#0F900F"))
    key_ring(p)
    return p


def outline_picture():
    p = Picture(WIDTH, 134, (0, 0, 0))
    key_ring(p)
    return p


# -- the icon -------------------------------------------------------------------

def icon_pixel(u, v):
    """RGBA of the artwork at (u, v) in the unit square, v downwards."""
    # Rounded square, blue frame and pale face, as the bar looks.
    r = 0.2
    dx = max(abs(u - 0.5) - (0.5 - r), 0.0)
    dy = max(abs(v - 0.5) - (0.5 - r), 0.0)
    dist = math.hypot(dx, dy)
    if dist > r:
        return None
    if dist > r - 0.07 or max(abs(u - 0.5), abs(v - 0.5)) > 0.43:
        colour = (0x5E, 0x9D, 0xD2)
    else:
        colour = mix((0xF9, 0xFC, 0xFD), (0xDE, 0xEF, 0xF6), v)
    # A down arrow on the left, an up arrow on the right.
    for cx, down, top_c, bottom_c in ((0.32, True, (0xFC, 0xE4, 0x0F), (0xF4, 0x9E, 0x0F)),
                                      (0.68, False, (0x0F, 0xEA, 0x0F), (0x0F, 0x90, 0x0F))):
        t = (v - 0.2) / 0.6
        if 0.0 <= t <= 1.0:
            along = t if down else 1.0 - t  # 0 at the tail, 1 at the head
            shaft = abs(u - cx) < 0.07 and along < 0.62
            head = along >= 0.45 and abs(u - cx) < (1.0 - along) * 0.55 + 0.02
            if shaft or head:
                colour = mix(top_c, bottom_c, t)
    return colour


def icon_image(size):
    samples = 4
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    c = icon_pixel((x + (sx + 0.5) / samples) / size, (y + (sy + 0.5) / samples) / size)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row.append(tuple(int(round(a / hits)) for a in acc) + (int(round(255 * hits / samples ** 2)),))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    xor = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def icon_file(sizes=(48, 32, 24, 16)):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "ui", "pictures")
    os.makedirs(folder, exist_ok=True)
    outputs = {
        "bar.bmp": bar_picture().bmp(),
        "panel.bmp": panel_picture().bmp(),
        "panel_outline.bmp": outline_picture().bmp(),
        "vexmora.ico": icon_file(),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
