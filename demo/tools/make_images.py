#!/usr/bin/env python3
"""Draws the demo's small GIF images (toolbar, form corners, calendar button, row links).

Run from the repository root: python3 demo/tools/make_images.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.dirname(HERE)

PALETTE = [(255, 255, 255), (0, 0, 0), (40, 90, 160), (200, 40, 40),
           (220, 230, 245), (120, 160, 210), (250, 210, 90), (150, 150, 150)]


def lzw(pixels, min_code_size=3):
    """LZW data that never grows the code size: a clear code every few pixels."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    size = min_code_size + 1
    codes, bits, nbits, out = [], 0, 0, bytearray()
    run = (1 << size) - (end + 1)  # the decoder widens its codes after this many
    for i, p in enumerate(pixels):
        if i % run == 0:
            codes.append(clear)
        codes.append(p)
    codes += [end]
    for c in codes:
        bits |= c << nbits
        nbits += size
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 255)
    return bytes(out)


def gif(width, height, draw):
    pixels = [draw(x, y) for y in range(height) for x in range(width)]
    data = lzw(pixels)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    palette = b"".join(bytes(c) for c in PALETTE)
    return (b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF2, 0, 0) + palette +
            b"\x21\xF9\x04\x01\x00\x00\x00\x00" +  # colour 0 transparent
            b"," + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x03" + blocks + b"\x00;")


def edit(x, y):  # a pencil on the diagonal
    if abs((15 - x) - y) <= 1 and 2 < y < 14:
        return 2 if y > 4 else 6
    return 1 if (x, y) in ((1, 14), (2, 13)) else 0


def delete(x, y):  # a red cross
    return 3 if 2 < x < 13 and 2 < y < 13 and (abs(x - y) <= 1 or abs(x + y - 15) <= 1) else 0


def corner(top, left):
    def draw(x, y):
        yy = y if top else 8 - y
        xx = x if left else 36 - x
        if yy == 0 or xx == 0:
            return 5
        return 4
    return draw


def dropdown(x, y):  # a button with a small calendar
    if x in (0, 26) or y in (0, 24):
        return 7
    if 6 <= x <= 20 and 5 <= y <= 19:
        if y <= 8:
            return 3
        return 1 if (x - 6) % 4 == 0 or (y - 9) % 4 == 0 else 0
    return 4


def arrow(pointing_left, double):
    """A 16 x 16 arrow head (or two) for the schedule selectors: dx counts from the tip."""
    def draw(x, y):
        tips = (1, 7) if double else (4,)
        for tip in tips:
            dx = x - tip if pointing_left else (15 - tip) - x
            if 0 <= dx <= 6 and abs(y - 7.5) <= dx * 0.9 + 0.5:
                return 2
        return 0
    return draw


def separator(x, y):  # the switch bar's rounded tab edge between two views
    if x >= 21 - abs(y - 11) // 3 or y in (0, 21):
        return 0
    return 5 if x > 17 - abs(y - 11) // 3 else 4


IMAGES = {
    "images/edit.gif": (16, 16, edit),
    "images/delete.gif": (16, 16, delete),
    "images/home1.gif": (37, 9, corner(True, True)),
    "images/home2.gif": (37, 9, corner(True, False)),
    "images/home3.gif": (37, 9, corner(False, True)),
    "images/home4.gif": (37, 9, corner(False, False)),
    "images/dropdown.gif": (27, 25, dropdown),
    "images/jian1.gif": (16, 16, arrow(True, False)),
    "images/jian2.gif": (16, 16, arrow(False, False)),
    "images/jian3.gif": (16, 16, arrow(True, True)),
    "images/jian4.gif": (16, 16, arrow(False, True)),
    "images/niuban.gif": (22, 22, separator),
}
def favicon():
    """A 16 x 16 icon: a small calendar page, blue header over white."""
    colours = {0: (0, 0, 0, 0), 2: (160, 90, 40, 255), 4: (245, 230, 220, 255),
               1: (40, 40, 40, 255)}  # BGRA
    def pixel(x, y):
        if not (1 <= x <= 14 and 2 <= y <= 14):
            return 0
        if y <= 5:
            return 2
        return 1 if (x in (4, 8, 12) and y in (8, 11)) else 4
    rows = b"".join(bytes(colours[pixel(x, y)]) for y in range(15, -1, -1) for x in range(16))
    mask = bytes(4 * 16)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32,
                                                       len(image), 22) + image


# Every folder of DNA pages has its own row links (the list writes images/edit.gif).
for folder in ("person", "tables", "scheduler"):
    IMAGES[folder + "/images/edit.gif"] = (16, 16, edit)
    IMAGES[folder + "/images/delete.gif"] = (16, 16, delete)

for name, (w, h, draw) in IMAGES.items():
    os.makedirs(os.path.dirname(os.path.join(DEMO, name)), exist_ok=True)
    with open(os.path.join(DEMO, name), "wb") as f:
        f.write(gif(w, h, draw))

with open(os.path.join(DEMO, "favicon.ico"), "wb") as f:
    f.write(favicon())
