#!/usr/bin/env python3
"""Draws Tunewell's icon (a green note on the player's violet face) and
writes res/tunewell.ico with 16x16 and 32x32 images in 32-bit colour.
Run it again after changing the drawing; the .ico is committed."""
import struct
import sys

FACE = (80, 0, 192)
LIGHT = (160, 96, 255)
DARK = (32, 0, 96)
NOTE = (64, 224, 128)


def colour_at(u, v):
    """Colour of the point (u, v) in the unit square, or None outside."""
    r = 0.16
    cx = min(max(u, r), 1 - r)
    cy = min(max(v, r), 1 - r)
    if (u - cx) ** 2 + (v - cy) ** 2 > r * r:
        return None
    inner = 0.07
    if u < inner or v < inner:
        face = LIGHT
    elif u > 1 - inner or v > 1 - inner:
        face = DARK
    else:
        face = FACE
    # A beamed pair of notes: two heads, two stems, one beam.
    for hx, hy in ((0.33, 0.72), (0.68, 0.64)):
        if ((u - hx) / 0.13) ** 2 + ((v - hy) / 0.095) ** 2 <= 1:
            return NOTE
    for sx, top in ((0.42, 0.26), (0.77, 0.18)):
        if sx <= u <= sx + 0.06 and top <= v <= 0.72:
            return NOTE
    beam_y = 0.26 + (u - 0.42) * (0.18 - 0.26) / 0.35
    if 0.42 <= u <= 0.83 and beam_y - 0.01 <= v <= beam_y + 0.11:
        return NOTE
    return face


def render(size, samples=4):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    c = colour_at((x + (sx + 0.5) / samples) / size,
                                  (y + (sy + 0.5) / samples) / size)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 255
            n = samples * samples
            covered = acc[3] // 255
            if covered:
                row.append((acc[0] // covered, acc[1] // covered, acc[2] // covered, acc[3] // n))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def dib(size):
    pixels = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(struct.pack('BBBB', b, g, r, a)
                   for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        line = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + xor + mask


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else 'tunewell.ico'
    images = [(16, dib(16)), (32, dib(32))]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in images:
        data += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for _, image in images:
        data += image
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
