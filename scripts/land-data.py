#!/usr/bin/env python3
"""Converts Natural Earth 1:50m land (TopoJSON land-50m.json of the npm
package world-atlas) into data/land-50m.bin, the compact file the world map
loads. Run once by hand; the result is committed, so neither the build nor
the program needs the network:

    cd /tmp && npm pack world-atlas && tar xzf world-atlas-*.tgz
    python3 scripts/land-data.py /tmp/package/land-50m.json data/land-50m.bin

Natural Earth is in the public domain; world-atlas (Mike Bostock) is under
the ISC licence. See data/README.md.

File layout (little-endian):
    8 bytes   "AOSLAND1"
    uint32    ring count R
    uint32    point count P
    R uint32  points of each ring (at least 4; the last repeats the first)
    P pairs   int16 longitude, int16 latitude, hundredths of a degree
"""
import json
import struct
import sys


def decode_arcs(topo):
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)
    return arcs


def ring_points(indexes, arcs):
    ring = []
    for index in indexes:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        # Arcs of a ring share their end points.
        ring.extend(arc if not ring else arc[1:])
    return ring


def hundredths(value, limit):
    return max(-limit, min(limit, round(value * 100)))


def main():
    source, target = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        topo = json.load(f)
    arcs = decode_arcs(topo)
    rings = []
    for geometry in topo["objects"]["land"]["geometries"]:
        polygons = geometry["arcs"]
        if geometry["type"] == "Polygon":
            polygons = [polygons]
        for polygon in polygons:
            for indexes in polygon:
                ring = []
                for lon, lat in ring_points(indexes, arcs):
                    point = (hundredths(lon, 18000), hundredths(lat, 9000))
                    if not ring or ring[-1] != point:
                        ring.append(point)
                if ring and ring[0] != ring[-1]:
                    ring.append(ring[0])
                if len(ring) >= 4:
                    rings.append(ring)
    points = [p for ring in rings for p in ring]
    with open(target, "wb") as f:
        f.write(b"AOSLAND1")
        f.write(struct.pack("<II", len(rings), len(points)))
        f.write(struct.pack("<%dI" % len(rings), *[len(r) for r in rings]))
        f.write(struct.pack("<%dh" % (2 * len(points)), *[c for p in points for c in p]))
    print("%s: %d rings, %d points" % (target, len(rings), len(points)))


if __name__ == "__main__":
    main()
