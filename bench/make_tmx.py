#!/usr/bin/env python3
"""Writes a Tiled map (TMX) of a ZEM map file, for comparing renderers.

usage: make_tmx.py WORKSPACE MAP.zep OUT.tmx

The map is hexagonal with odd columns half a hex lower (staggeraxis x,
staggerindex odd), 60 by 50 pixel tiles with 30-pixel hex sides, so Tiled
places every hex where ZEM Map does. One layer holds the tiles, a second the
hex frame on every hex. The tileset is one picture beside OUT.tmx
(tiles.bmp) holding tilbmp/tilNNNN.bmp at slot NNNN, the frame at slot 0;
magenta is transparent, as in the workspace's pictures.
"""
import os
import struct
import sys

COLUMNS, SLOTS, TW, TH = 27, 648, 60, 50


def read_bmp(path):
    """Width, height and bottom-up rows of a 24-bit Windows bitmap."""
    b = open(path, "rb").read()
    off = struct.unpack_from("<I", b, 10)[0]
    w, h = struct.unpack_from("<ii", b, 18)
    if struct.unpack_from("<H", b, 28)[0] != 24:
        raise SystemExit(path + ": not a 24-bit bitmap")
    stride = (w * 3 + 3) & ~3
    rows = [b[off + y * stride : off + y * stride + w * 3] for y in range(abs(h))]
    if h < 0:
        rows.reverse()
    return w, abs(h), rows  # rows[0] is the bottom row


def write_tileset(workspace, out):
    rows_n = (SLOTS + COLUMNS - 1) // COLUMNS
    w, h = COLUMNS * TW, rows_n * TH
    stride = (w * 3 + 3) & ~3
    pixels = bytearray(b"\xff\x00\xff" * w + b"\0" * (stride - w * 3)) * h
    present = set()
    for t in range(SLOTS):
        path = os.path.join(workspace, "tilbmp", "til%04d.bmp" % t)
        if not os.path.exists(path):
            continue
        tw, th, rows = read_bmp(path)
        present.add(t)
        x0, top = (t % COLUMNS) * TW, (t // COLUMNS) * TH
        for y in range(min(th, TH)):  # y counts from the picture's top
            src = rows[th - 1 - y][: min(tw, TW) * 3]
            dst = (h - 1 - (top + y)) * stride + x0 * 3
            pixels[dst : dst + len(src)] = src
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(out, "wb") as f:
        f.write(header + pixels)
    return w, h, present


def read_zep(path):
    numbers = []
    for line in open(path, encoding="latin-1"):
        if line.startswith(";") or not line.strip():
            continue
        numbers.append(line.split())
    width, height = int(numbers[0][0]), int(numbers[1][0])
    cells = [int(n[0]) for n in numbers[2 : 2 + width * height]]
    return width, height, cells


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    workspace, zep, out = sys.argv[1:]
    width, height, cells = read_zep(zep)
    tiles_bmp = os.path.join(os.path.dirname(os.path.abspath(out)), "tiles.bmp")
    iw, ih, present = write_tileset(workspace, tiles_bmp)

    def csv(gids):
        return "\n" + ",\n".join(
            ",".join(str(g) for g in gids[y * width : (y + 1) * width]) for y in range(height)
        ) + "\n"

    tiles = [t + 1 if t > 0 and t in present else 0 for t in cells]
    frames = [1 if 0 in present else 0] * (width * height)
    with open(out, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n')
        f.write('<map version="1.8" orientation="hexagonal" renderorder="right-down" '
                'width="%d" height="%d" tilewidth="%d" tileheight="%d" infinite="0" '
                'hexsidelength="30" staggeraxis="x" staggerindex="odd" '
                'nextlayerid="3" nextobjectid="1">\n' % (width, height, TW, TH))
        f.write(' <tileset firstgid="1" name="tiles" tilewidth="%d" tileheight="%d" '
                'tilecount="%d" columns="%d">\n' % (TW, TH, SLOTS, COLUMNS))
        f.write('  <image source="tiles.bmp" trans="ff00ff" width="%d" height="%d"/>\n' % (iw, ih))
        f.write(' </tileset>\n')
        for lid, name, gids in ((1, "tiles", tiles), (2, "frames", frames)):
            f.write(' <layer id="%d" name="%s" width="%d" height="%d">\n' % (lid, name, width, height))
            f.write('  <data encoding="csv">%s</data>\n </layer>\n' % csv(gids))
        f.write('</map>\n')


if __name__ == "__main__":
    main()
