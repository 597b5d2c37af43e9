#!/usr/bin/env python3
"""Save part of a virtual X server's screen as a PNG, without ImageMagick.

Xvfb started with -fbdir DIR keeps its screen in DIR/Xvfb_screen0 as an XWD image. This reads
that file (32 bits per pixel, red/green/blue masks as Xvfb writes them) and writes the rectangle
WIDTHxHEIGHT+X+Y of it as an 8-bit RGB PNG, with the standard library only.

Usage: tools/xwd_to_png.py SCREEN_FILE OUTPUT.png WIDTHxHEIGHT+X+Y
"""
import re
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        raise SystemExit(f"{path}: only 32-bit true-colour screens are read (start Xvfb with depth 24)")
    start = header_size + 12 * colours
    order = "<" if byte_order == 0 else ">"
    return width, height, lambda x, y: struct.unpack_from(order + "I", data, start + y * bytes_per_line + 4 * x)[0]


def png(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 4 or not re.fullmatch(r"\d+x\d+\+\d+\+\d+", sys.argv[3]):
        raise SystemExit(__doc__.strip().splitlines()[-1])
    w, h, x0, y0 = map(int, re.split(r"[x+]", sys.argv[3]))
    screen_w, screen_h, pixel = read_xwd(sys.argv[1])
    if x0 + w > screen_w or y0 + h > screen_h:
        raise SystemExit(f"the rectangle {sys.argv[3]} leaves the {screen_w}x{screen_h} screen")
    rows = []
    for y in range(y0, y0 + h):
        row = bytearray()
        for x in range(x0, x0 + w):
            p = pixel(x, y)
            row += bytes(((p >> 16) & 255, (p >> 8) & 255, p & 255))
        rows.append(bytes(row))
    with open(sys.argv[2], "xb") as out:
        out.write(png(w, h, rows))


if __name__ == "__main__":
    main()
