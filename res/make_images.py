#!/usr/bin/env python3
"""Writes the toolbar images (16 x 15, and @2x doubled pixel for pixel so they
stay crisp at 200 %) and the application and document icons as PNG files
from the pixel maps below. Run it from this folder after changing a map."""

import struct
import zlib

PALETTE = {
    ".": None,
    "k": (0, 0, 0), "w": (255, 255, 255), "g": (160, 160, 160), "d": (96, 96, 96),
    "y": (250, 214, 80), "o": (200, 150, 30), "b": (40, 80, 170), "l": (150, 190, 240),
    "r": (200, 40, 40), "e": (40, 150, 60),
}

TOOLBAR = {
    "open": [
        "................",
        "................",
        "..kkkk..........",
        ".kyyyyk.........",
        ".kyyyyykkkkkkk..",
        ".kyyyyyyyyyyyk..",
        ".kyykkkkkkkkkkkk",
        ".kyykoooooooooko",
        ".kykoooooooooko.",
        ".kykoooooooooko.",
        ".kkoooooooooko..",
        ".kkoooooooooko..",
        ".kkkkkkkkkkkk...",
        "................",
        "................",
    ],
    "save": [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbkwggggggwkbk.",
        ".kbkwwwwwwwwkbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbbbbbbbbbbbk.",
        ".kbbkkkkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        ".kbbkllkkkkkbbk.",
        ".kbbkkkkkkkkbbk.",
        ".kkkkkkkkkkkkkk.",
        "................",
    ],
    "solve": [
        "................",
        ".kkkkkkkkkkkkk..",
        ".kkkkwwwwkkkkk..",
        ".kkkkwwwwkkkkk..",
        ".kkkkwwwwkkkkk..",
        ".kkkkkkkkkkkkk..",
        ".kwwwkkkkkwwwk..",
        ".kwwwkkkkkwwwk..",
        ".kwwwkkkkkwwwk..",
        ".kkkkkkkkkkkkk..",
        ".kkkkwwwwkk.e...",
        ".kkkkwwwwk.ee...",
        ".kkkkwwwe.ee....",
        ".kkkkkkkkeek....",
        "..........e.....",
    ],
    "preview": [
        "................",
        ".kkkkkkkkk......",
        ".kwwwwwwwkk.....",
        ".kwggggwwkwk....",
        ".kwwwwwwwkkkk...",
        ".kwgggkkkkwwk...",
        ".kwwwkllllkwk...",
        ".kwggkllllkwk...",
        ".kwwwkllllkwk...",
        ".kwggkllllkwk...",
        ".kwwwwkkkkkwk...",
        ".kwgggwwwwkkk...",
        ".kwwwwwwwwwkkk..",
        ".kkkkkkkkkkk.kkk",
        ".............kk.",
    ],
    "print": [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwggggwk....",
        "....kwwwwwwk....",
        "..kkkkkkkkkkkk..",
        ".kggggggggggggk.",
        ".kggggggggggegk.",
        ".kggggggggggggk.",
        ".kddddddddddddk.",
        ".kdkwwwwwwwwkdk.",
        ".kkkwggggggwkkk.",
        "...kwwwwwwwwk...",
        "...kkkkkkkkkk...",
        "................",
    ],
    "about": [
        "................",
        ".....kkkkkk.....",
        "...kkbbbbbbkk...",
        "..kbbbbwwbbbbk..",
        "..kbbbbwwbbbbk..",
        ".kbbbbbbbbbbbbk.",
        ".kbbbbwwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        ".kbbbbbwwbbbbbk.",
        "..kbbbwwwwbbbk..",
        "..kbbbbbbbbbbk..",
        "...kkbbbbbbkk...",
        ".....kkkkkk.....",
        "................",
    ],
}

# A 32 x 32 nonogram grid: the application; a page with a grid: the document.
def app_icon():
    rows = []
    picture = ["..XX..", ".XXXX.", "XXXXXX", "X.XX.X", "XXXXXX", ".X..X."]
    for y in range(32):
        row = ""
        for x in range(32):
            if x in (0, 31) or y in (0, 31):
                row += "k"
            elif (x - 1) % 5 == 0 or (y - 1) % 5 == 0:
                row += "d"
            else:
                cell = picture[min((y - 1) // 5, 5)][min((x - 1) // 5, 5)]
                row += "k" if cell == "X" else "w"
        rows.append(row)
    return rows


def document_icon():
    rows = []
    for y in range(32):
        row = ""
        for x in range(32):
            if x < 4 or x > 27 or y < 1 or y > 30:
                row += "."
            elif x in (4, 27) or y in (1, 30):
                row += "k"
            elif 8 <= x <= 23 and 6 <= y <= 25 and ((x - 8) % 4 == 0 or (y - 6) % 4 == 0):
                row += "g"
            elif 8 <= x <= 23 and 6 <= y <= 25 and ((x - 8) // 4 + (y - 6) // 4) % 2 == 0:
                row += "k"
            else:
                row += "w"
        rows.append(row)
    return rows


def write_png(path, rows, scale=1):
    height, width = len(rows), len(rows[0])
    raw = b""
    for row in rows:
        line = b""
        for ch in row:
            rgb = PALETTE[ch]
            pixel = bytes((0, 0, 0, 0)) if rgb is None else bytes(rgb + (255,))
            line += pixel * scale
        raw += (b"\x00" + line) * scale

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width * scale, height * scale, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                  + chunk(b"IEND", b""))


if __name__ == "__main__":
    for name, rows in TOOLBAR.items():
        assert len(rows) == 15 and all(len(r) == 16 for r in rows), name
        write_png(f"toolbar/{name}.png", rows)
        write_png(f"toolbar/{name}@2x.png", rows, 2)
    write_png("icons/tabulon.png", app_icon())
    write_png("icons/document.png", document_icon())
