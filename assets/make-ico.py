#!/usr/bin/env python3
"""Writes an .ico from raw RGBA images: each size once as a 256-colour bitmap and once at 32-bit colour.

Usage: make-ico.py OUT SIZE:TRUECOLOUR.rgba:PALETTE.rgba ...
The palette image must hold at most 255 opaque colours; its transparent pixels go to the AND mask.
"""
import struct
import sys


def bitmap_header(size, bits, colours):
    # Height counts the XOR bitmap and the AND mask together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def and_mask(size, alpha):
    stride = ((size + 31) // 32) * 4
    rows = []
    for y in reversed(range(size)):
        row = bytearray(stride)
        for x in range(size):
            if alpha[y * size + x] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def truecolour(size, rgba):
    alpha = rgba[3::4]
    pixels = b"".join(
        bytes((rgba[i + 2], rgba[i + 1], rgba[i], rgba[i + 3]))
        for y in reversed(range(size))
        for i in range(y * size * 4, (y + 1) * size * 4, 4)
    )
    return bitmap_header(size, 32, 0) + pixels + and_mask(size, alpha)


def palette(size, rgba):
    alpha = rgba[3::4]
    colours = [(0, 0, 0)]
    index = {}
    indices = []
    for i in range(0, len(rgba), 4):
        if rgba[i + 3] < 128:
            indices.append(0)
            continue
        c = (rgba[i], rgba[i + 1], rgba[i + 2])
        if c not in index:
            index[c] = len(colours)
            colours.append(c)
        indices.append(index[c])
    if len(colours) > 256:
        sys.exit(f"{size}px palette image has {len(colours) - 1} colours")
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in colours) + bytes(4 * (256 - len(colours)))
    stride = (size + 3) & ~3
    rows = b"".join(
        bytes(indices[y * size:(y + 1) * size]) + bytes(stride - size) for y in reversed(range(size))
    )
    return bitmap_header(size, 8, 256) + table + rows + and_mask(size, alpha)


def main():
    out, entries = sys.argv[1], sys.argv[2:]
    images = []
    for entry in entries:
        size, true_path, pal_path = entry.split(":")
        size = int(size)
        images.append((size, 8, palette(size, open(pal_path, "rb").read())))
        images.append((size, 32, truecolour(size, open(true_path, "rb").read())))
    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    data = b""
    for size, bits, image in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(image), offset + len(data))
        data += image
    open(out, "wb").write(directory + data)


main()
