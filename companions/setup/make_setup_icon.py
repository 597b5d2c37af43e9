#!/usr/bin/env python3
"""Draw the setup program's icon, a parcel with an arrow going into it, as setup.ico (32 and 16 pixels, 32-bit)."""
import struct
import sys


def pixel(x: float, y: float):
    """The colour (r, g, b, a) at x, y in a 0..1 square."""
    if 0.42 <= x <= 0.58 and 0.04 <= y <= 0.40 or (y > 0.30 and y < 0.52 and abs(x - 0.5) < (0.52 - y) * 1.1):
        return (255, 196, 40, 255)  # the arrow, amber
    if 0.10 <= x <= 0.90 and 0.46 <= y <= 0.94:
        shade = 1.0 - 0.35 * (y - 0.46) / 0.48
        if 0.44 <= x <= 0.56:
            return (int(230 * shade), int(230 * shade), int(240 * shade), 255)  # the tape
        if x < 0.14 or x > 0.86 or y < 0.50 or y > 0.90:
            return (20, 50, 110, 255)  # the outline
        return (int(50 * shade), int(110 * shade), int(200 * shade), 255)
    return (0, 0, 0, 0)


def image(size: int) -> bytes:
    rows = []
    for row in range(size - 1, -1, -1):  # bottom-up, as bitmaps are stored
        line = b""
        for col in range(size):
            r, g, b, a = pixel((col + 0.5) / size, (row + 0.5) / size)
            line += bytes((b, g, r, a))
        rows.append(line)
    mask_row = b"\0" * (((size + 31) // 32) * 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + mask_row * size


def main(out: str) -> None:
    images = [image(32), image(16)]
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, body in zip((32, 16), images):
        data += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    with open(out, "wb") as f:
        f.write(data + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "setup.ico")
