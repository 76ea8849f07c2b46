#!/usr/bin/env python3
"""Writes bunny.obj from the npm package "bunny" (the Stanford bunny as
arrays of positions and triangles) in the form the OBJ reader takes: every
face as three position/texture/normal corners. Normals are the area-weighted
means of the faces around each position; texture coordinates project the
positions onto the x-y plane of the bounding box.

usage: npm install bunny && python3 bunny_to_obj.py node_modules/bunny/index.js bunny.obj
"""
import json
import math
import re
import sys


def main(source, target):
    text = open(source).read()
    positions = json.loads(re.search(r"exports\.positions\s*=\s*(\[.*?\]\])", text, re.S).group(1))
    cells = json.loads(re.search(r"exports\.cells\s*=\s*(\[.*?\]\])", text, re.S).group(1))
    normals = [[0.0, 0.0, 0.0] for _ in positions]
    for a, b, c in cells:
        pa, pb, pc = positions[a], positions[b], positions[c]
        u = [pb[i] - pa[i] for i in range(3)]
        v = [pc[i] - pa[i] for i in range(3)]
        n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]]
        for k in (a, b, c):
            for i in range(3):
                normals[k][i] += n[i]
    low = [min(p[i] for p in positions) for i in range(3)]
    high = [max(p[i] for p in positions) for i in range(3)]
    with open(target, "w", newline="\n") as out:
        out.write("# The Stanford bunny, from the npm package \"bunny\"\n")
        out.write("# %d vertices, %d triangles\n" % (len(positions), len(cells)))
        out.write("o bunny\n")
        for p in positions:
            out.write("v %.6f %.6f %.6f\n" % tuple(p))
        for p in positions:
            out.write("vt %.6f %.6f\n" % tuple((p[i] - low[i]) / (high[i] - low[i]) for i in range(2)))
        for n in normals:
            length = math.sqrt(sum(x * x for x in n)) or 1.0
            out.write("vn %.4f %.4f %.4f\n" % tuple(x / length for x in n))
        out.write("s 1\n")
        for cell in cells:
            out.write("f " + " ".join("%d/%d/%d" % (k + 1, k + 1, k + 1) for k in cell) + "\n")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
