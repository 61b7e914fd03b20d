"""Draws the program icon (a disc with a note) and writes it as a 32x32 and 16x16 32-bit .ico file.

Deterministic: the same script always writes the same bytes. Usage: make_icon.py OUT.ico
"""
import math
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2.0
    r = math.hypot(x - c, y - c) / (size / 2.0)
    if r > 0.97:
        return (0, 0, 0, 0)
    if r < 0.14:
        return (0, 0, 0, 0)  # the disc's hole
    if r < 0.2:
        return (40, 40, 48, 255)
    # Grooves and a warm sheen that turns with the angle.
    a = math.atan2(y - c, x - c)
    sheen = 0.5 + 0.5 * math.cos(2 * a)
    groove = 0.85 + 0.15 * math.sin(r * 40)
    red = int((60 + 150 * sheen) * groove)
    green = int((40 + 90 * sheen) * groove)
    blue = int((120 + 100 * (1 - sheen)) * groove)
    return (min(red, 255), min(green, 255), min(blue, 255), 255)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up rows
        row = b""
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += struct.pack("BBBB", b, g, r, a)
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(out):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    data = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        data += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    data += b"".join(images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
