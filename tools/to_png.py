#!/usr/bin/env python3
"""Turn a picture of the screen into a PNG, with the standard library only (no ImageMagick needed).

Two inputs are read:
- a binary PPM (P6), as the end-to-end drivers save a window: the whole picture is written;
- the XWD screen file a virtual X server started with -fbdir DIR keeps in DIR/Xvfb_screen0 (32 bits per pixel,
  red/green/blue masks as Xvfb writes them): the rectangle WIDTHxHEIGHT+X+Y of it is written.

Usage: tools/to_png.py PICTURE.ppm OUTPUT.png | tools/to_png.py SCREEN_FILE OUTPUT.png WIDTHxHEIGHT+X+Y
"""
import re
import struct
import sys
import zlib


def read_ppm(data):
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit("only binary 8-bit PPM pictures are read")
    width, height = int(fields[1]), int(fields[2])
    # One blank ends the header; the pixels follow, and their first byte may look like a blank itself.
    pixels = data[at + 1:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def read_xwd_rectangle(data, rectangle):
    fields = struct.unpack(">25I", data[:100])
    header_size, screen_w, screen_h = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        raise SystemExit("only 32-bit true-colour screens are read (start Xvfb with depth 24)")
    w, h, x0, y0 = map(int, re.split(r"[x+]", rectangle))
    if x0 + w > screen_w or y0 + h > screen_h:
        raise SystemExit(f"the rectangle {rectangle} leaves the {screen_w}x{screen_h} screen")
    start = header_size + 12 * colours
    order = "<" if byte_order == 0 else ">"
    rows = []
    for y in range(y0, y0 + h):
        row = bytearray()
        for x in range(x0, x0 + w):
            p = struct.unpack_from(order + "I", data, start + y * bytes_per_line + 4 * x)[0]
            row += bytes(((p >> 16) & 255, (p >> 8) & 255, p & 255))
        rows.append(bytes(row))
    return w, h, rows


def png(width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    args = sys.argv[1:]
    if len(args) not in (2, 3) or (len(args) == 3 and not re.fullmatch(r"\d+x\d+\+\d+\+\d+", args[2])):
        raise SystemExit(__doc__.strip().splitlines()[-1])
    data = open(args[0], "rb").read()
    picture = read_ppm(data) if len(args) == 2 else read_xwd_rectangle(data, args[2])
    with open(args[1], "wb") as out:
        out.write(png(*picture))


if __name__ == "__main__":
    main()
