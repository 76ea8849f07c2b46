#!/usr/bin/env python3
"""Writes the example's assets into the folder of this script: cube.mesh (a
binary mesh block), crate.tga (a 32 x 32 checkerboard), tune.wav (a one-second
loop of four notes) and ping.wav (a short decaying tone). The same bytes come
out every time; the files are kept in the tree so that building the example
needs no Python."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def mesh():
    # A cube of side 2 around the origin: one normal per side, the four
    # corners of the texture, and two triangles per side. Indices are stored
    # one-based; every number is little-endian.
    sides = [  # normal, then the side's corners counter-clockwise from outside
        ((0, 0, 1), [(-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)]),
        ((0, 0, -1), [(1, -1, -1), (-1, -1, -1), (-1, 1, -1), (1, 1, -1)]),
        ((1, 0, 0), [(1, -1, 1), (1, -1, -1), (1, 1, -1), (1, 1, 1)]),
        ((-1, 0, 0), [(-1, -1, -1), (-1, -1, 1), (-1, 1, 1), (-1, 1, -1)]),
        ((0, 1, 0), [(-1, 1, 1), (1, 1, 1), (1, 1, -1), (-1, 1, -1)]),
        ((0, -1, 0), [(-1, -1, -1), (1, -1, -1), (1, -1, 1), (-1, -1, 1)]),
    ]
    uvs = [(0, 0), (1, 0), (1, 1), (0, 1)]
    normals = [n for n, _ in sides]
    vertices = [v for _, corners in sides for v in corners]
    faces = []
    for s in range(6):
        for a, b, c in ((0, 1, 2), (0, 2, 3)):
            faces.append(([4 * s + a + 1, 4 * s + b + 1, 4 * s + c + 1], [s + 1] * 3, [a + 1, b + 1, c + 1]))
    out = struct.pack("<I", len(normals)) + b"".join(struct.pack("<3f", *n) for n in normals)
    out += struct.pack("<I", len(uvs)) + b"".join(struct.pack("<2f", *t) for t in uvs)
    out += struct.pack("<I", len(vertices)) + b"".join(struct.pack("<3f", *v) for v in vertices)
    out += struct.pack("<I", len(faces))
    for v, n, t in faces:
        out += struct.pack("<9I", *v, *n, *t)
    return out


def checkerboard():
    # Uncompressed true-colour TGA, 24 bits, rows from the bottom, BGR.
    size, light, dark = 32, (240, 140, 30), (70, 35, 10)
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, size, size, 24, 0)
    pixels = bytearray()
    for y in range(size):
        for x in range(size):
            r, g, b = light if (x // 8 + y // 8) % 2 == 0 else dark
            pixels += bytes((b, g, r))
    return header + bytes(pixels)


def wav(samples, rate=22050):
    # 8-bit unsigned mono PCM.
    data = bytes(max(0, min(255, int(round(128 + 100 * s)))) for s in samples)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tone(freq, seconds, rate=22050, decay=0.0):
    n = int(seconds * rate)
    return [math.sin(2 * math.pi * freq * i / rate) * math.exp(-decay * i / rate) * min(1.0, (n - i) / 200.0)
            for i in range(n)]


write("cube.mesh", mesh())
write("crate.tga", checkerboard())
write("tune.wav", wav([s * 0.5 for f in (262, 330, 392, 523) for s in tone(f, 0.25)]))
write("ping.wav", wav(tone(880, 0.25, decay=12.0)))
