#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz harnesses from the sample workspace.

usage: fuzz/make_seeds.py BUILD_DIR
BUILD_DIR holds zem-sample and zemtool. The files land in fuzz/corpus/NAME/,
small on purpose: the fuzzer grows them itself.
"""
import base64
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

here = os.path.dirname(os.path.abspath(__file__))
build = sys.argv[1]
work = tempfile.mkdtemp()
ws = os.path.join(work, "ws")
subprocess.run([os.path.join(build, "zem-sample"), ws], check=True, stdout=subprocess.DEVNULL)
tool = os.path.join(build, "zemtool")


def put(name, fname, data):
    d = os.path.join(here, "corpus", name)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, fname), "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def line_ends(name, stem, text):
    """The same text with LF, CR LF and lone CR line ends, and with a BOM."""
    put(name, stem + ".txt", text)
    put(name, stem + "-crlf.txt", text.replace(b"\n", b"\r\n"))
    put(name, stem + "-cr.txt", text.replace(b"\n", b"\r"))
    put(name, stem + "-bom.txt", b"\xef\xbb\xbf" + text)


# Text readers: the sample's own files.
line_ends("catalogue", "mapset", read(os.path.join(ws, "Mapset.txt")))
line_ends("colours", "gmap", read(os.path.join(ws, "Gmap.txt")))
line_ends("template", "coast", read(os.path.join(ws, "coast.txt")))

# Maps and sections: small maps made by zemtool in the sample workspace.
def zemtool(*args):
    subprocess.run([tool, "--workspace", ws, *args], check=True, stdout=subprocess.DEVNULL)


small = os.path.join(work, "small.zep")
zemtool("new", "7x5", "--tile", "11", "-o", small)
fixed = os.path.join(work, "fixed.zep")
zemtool("roads", small, "-o", fixed)
line_ends("mapfile", "new7x5", read(small))
put("mapfile", "two_hexes.zep", read(os.path.join(here, "..", "tests", "data", "two_hexes.zep")))
zemtool("new", "12x5", "--tile", "1", "-o", os.path.join(work, "wide.zep"))
put("mapfile", "new12x5.zep", read(os.path.join(work, "wide.zep")))
zemtool("new", "5x5", "--tile", "100", "-o", os.path.join(work, "sec.zep"))
put("section", "section5x5.zep", read(os.path.join(work, "sec.zep")))
put("section", "section7x5-cr.zep", read(small).replace(b"\n", b"\r"))


# Pictures: the sample sketch cut down to a tenth, in the bitmap kinds the
# toolkit reads, and the sample's tile pictures.
def bmp_pixels(data):
    off, = struct.unpack_from("<I", data, 10)
    w, h = struct.unpack_from("<ii", data, 18)
    bpp, = struct.unpack_from("<H", data, 28)
    assert bpp == 24
    stride = (w * 3 + 3) // 4 * 4
    rows = []
    for y in range(abs(h)):
        row = data[off + (abs(h) - 1 - y) * stride:]
        rows.append([tuple(row[x * 3:x * 3 + 3][::-1]) for x in range(w)])
    return rows


def bmp(rows, bpp=24, rle=False):
    h, w = len(rows), len(rows[0])
    palette = []
    if bpp <= 8:
        for r in rows:
            for p in r:
                if p not in palette:
                    palette.append(p)
        palette = palette[: 1 << bpp]
    body = b""
    for r in reversed(rows):
        if bpp == 24:
            line = b"".join(bytes(p[::-1]) for p in r)
        elif bpp == 32:
            line = b"".join(bytes(p[::-1]) + b"\0" for p in r)
        elif bpp == 8:
            line = bytes(palette.index(p) if p in palette else 0 for p in r)
        else:  # 1
            bits = [1 if p in palette and palette.index(p) == 1 else 0 for p in r]
            line = bytes(sum(b << (7 - i) for i, b in enumerate(bits[k:k + 8]))
                         for k in range(0, w, 8))
        if rle:
            enc = b""
            i = 0
            while i < len(line):
                j = i
                while j < len(line) and j - i < 255 and line[j] == line[i]:
                    j += 1
                enc += bytes([j - i, line[i]])
                i = j
            body += enc + b"\0\0"
        else:
            body += line + b"\0" * ((4 - len(line) % 4) % 4)
    if rle:
        body += b"\0\1"
    pal = b"".join(bytes(p[::-1]) + b"\0" for p in palette)
    off = 14 + 40 + len(pal)
    head = struct.pack("<2sIHHI", b"BM", off + len(body), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 1 if rle else 0, len(body),
                       3780, 3780, len(palette), 0)
    return head + info + pal + body


def png(rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in r) for r in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


sketch = bmp_pixels(read(os.path.join(ws, "sketch.bmp")))
small_sketch = [row[::10] for row in sketch[::10]]
put("sketch", "sketch24.bmp", bmp(small_sketch))
put("sketch", "sketch32.bmp", bmp(small_sketch, 32))
put("sketch", "sketch8.bmp", bmp(small_sketch, 8))
put("sketch", "sketch8-rle.bmp", bmp(small_sketch, 8, rle=True))
put("sketch", "sketch1.bmp", bmp(small_sketch, 1))
put("sketch", "sketch.png", png(small_sketch))

tile = read(os.path.join(ws, "tilbmp", "til0001.bmp"))
put("tilebitmaps", "til0001.bmp", tile)
tile_rows = bmp_pixels(tile)
put("tilebitmaps", "til8-rle.bmp", bmp(tile_rows, 8, rle=True))
put("tilebitmaps", "til1.bmp", bmp(tile_rows, 1))
put("tilebitmaps", "til.png", png(tile_rows))


# Tiled maps: a small map holding every kind of value (tile 700 has no
# picture), exported by zemtool as m.tmx with the tile descriptions no layer
# uses left out (they are most of an export's bytes); Tiled's own re-saves
# of it with base64, zlib, gzip and <tile> element layers; and variants that
# reach the cells outside the map, tiles painted in Tiled and an external
# tileset.
cells = [[1, 1, 0, 1, 0x11, 1, 0, 0, 0], [11, 2, 0, 2], [100, 4, 0, 4, 2, 2, -5],
         [700, 9, 1, 9, 0x88, 0, 0, 0, 3], [150, 9, 0, 9, 0x31, 1, 1], [120, 6, 0, 6, 0, 3, 0, 0, -32768]]
zep = ";\n;\n3\n;\n2\n" + "".join(" ".join(map(str, c + [0] * (32 - len(c)))) + "\n" for c in cells)
tmxdir = os.path.join(work, "tmx")
os.makedirs(tmxdir)
with open(os.path.join(tmxdir, "m.zep"), "w") as f:
    f.write(zep)
zemtool("export-tmx", os.path.join(tmxdir, "m.zep"), "-o", os.path.join(tmxdir, "m.tmx"))
export = read(os.path.join(tmxdir, "m.tmx")).decode()
csv = r'<data encoding="csv">\n([^<]*)</data>'
used = {int(g) for data in re.findall(csv, export) for g in data.replace("\n", "").split(",")}
small = re.sub(r'<tileset firstgid="(\d+)".*?</tileset>', lambda m: re.sub(
    r' *<tile id="(\d+)">.*?</tile>\n', lambda t: t.group(0) if int(m.group(1)) + int(t.group(1))
    in used else "", m.group(0), flags=re.S), export, flags=re.S)
put("tmx", "export.tmx", small.encode())


def first_row(text, layer, change):
    """The layer's first row of gids changed as Tiled's brush would."""
    return re.sub(r'(name="%s".*?<data encoding="csv">\n)([^\n]*)' % layer,
                  lambda m: m.group(1) + ",".join(change(m.group(2).split(","))), text, count=1,
                  flags=re.S)


# Hexes 0,0 and 1,0 swap their tiles; 1,0 also gets the terrain 1 of 0,0.
painted = first_row(small, "tiles", lambda g: [g[1], g[0]] + g[2:])
put("tmx", "painted.tmx", first_row(painted, "terrain 1", lambda g: [g[0], g[0]] + g[2:]).encode())
put("tmx", "outside.tmx", small.replace("<properties>\n", '<properties>\n  <property name="cells '
                                        'outside the map">5 0' + " 3" * 32 + "\n79 79" + " -1" * 32
                                        + "</property>\n", 1).encode())
put("tmx", "external.tmx", re.sub(r'(<tileset firstgid="\d+") name="roads".*?</tileset>',
                                  r'\1 source="m-roads.tsx"/>', small, flags=re.S).encode())


def recode(m, kind):
    """A CSV layer as Tiled's other formats hold it."""
    gids = [int(g) for g in m.group(1).replace("\n", "").split(",")]
    if kind == "xml":
        return "<data>\n" + "".join('   <tile gid="%d"/>\n' % g for g in gids) + "  </data>"
    raw = b"".join(struct.pack("<I", g) for g in gids)
    if kind != "base64":
        c = zlib.compressobj(9, zlib.DEFLATED, 31 if kind == "gzip" else 15)
        raw = c.compress(raw) + c.flush()
    compression = ' compression="%s"' % kind if kind != "base64" else ""
    return '<data encoding="base64"%s>\n   %s\n  </data>' % (compression, base64.b64encode(raw).decode())


if shutil.which("tiled"):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    src, out = os.path.join(tmxdir, "r.tmx"), os.path.join(tmxdir, "t.tmx")
    for kind in ("base64", "zlib", "gzip", "xml"):
        with open(src, "w") as f:
            f.write(re.sub(csv, lambda m: recode(m, kind), small))
        subprocess.run(["tiled", "--export-map", "tmx", src, out], check=True, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        put("tmx", "tiled-%s.tmx" % kind, read(out))
else:
    print("tiled is not installed: no seeds of Tiled's own layer formats", file=sys.stderr)
shutil.rmtree(work)
