#!/usr/bin/env python3
"""Converts Natural Earth 1:50m land (TopoJSON land-50m.json of the npm
package world-atlas) into data/land-50m.bin, the compact file the world map
loads. Run once by hand; the result is committed, so neither the build nor
the program needs the network:

    cd /tmp && npm pack world-atlas && tar xzf world-atlas-*.tgz
    python3 scripts/land-data.py /tmp/package/land-50m.json data/land-50m.bin

Rings that world-atlas joins across the antimeridian are cut there again,
and Antarctica is closed along the bottom edge of the map, so that the rings
fill correctly on a flat map. Natural Earth is in the public domain; world-atlas (Mike Bostock) is under
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


def unwrap(ring):
    """Longitudes made continuous: world-atlas joins polygons across the
    antimeridian (Chukotka, Fiji, Antarctica), so a step of more than 180
    degrees means the ring went over it."""
    out = [ring[0]]
    for (lon0, _), (lon1, lat1) in zip(ring, ring[1:]):
        step = (lon1 - lon0 + 180.0) % 360.0 - 180.0
        out.append((out[-1][0] + step, lat1))
    return out


def clip(polygon, edge, keep_above):
    """Sutherland-Hodgman against the meridian lon = edge."""
    out = []
    inside = (lambda p: p[0] >= edge) if keep_above else (lambda p: p[0] <= edge)
    for a, b in zip(polygon, polygon[1:] + polygon[:1]):
        if inside(a):
            out.append(a)
        if inside(a) != inside(b):
            t = (edge - a[0]) / (b[0] - a[0])
            out.append((edge, a[1] + t * (b[1] - a[1])))
    return out


def area(ring):
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(ring, ring[1:] + ring[:1])) / 2


def map_rings(ring):
    """A ring on the sphere as rings within -180..180: cut where it crosses
    the antimeridian, closed along the map's edge when it goes round a pole."""
    if ring[0] == ring[-1]:
        ring = ring[:-1]
    polygon = unwrap(ring)
    turn = polygon[-1][0] + ((ring[0][0] - ring[-1][0] + 180.0) % 360.0 - 180.0) - polygon[0][0]
    if abs(turn) > 180.0:
        pole = 90.0 if sum(lat for _, lat in ring) > 0 else -90.0
        end = polygon[0][0] + turn
        polygon += [(end, ring[0][1]), (end, pole), (polygon[0][0], pole)]
    lo = min(lon for lon, _ in polygon)
    hi = max(lon for lon, _ in polygon)
    pieces = []
    for shift in (-360.0, 0.0, 360.0):
        if hi + shift <= -180.0 or lo + shift >= 180.0:
            continue
        moved = [(lon + shift, lat) for lon, lat in polygon]
        piece = clip(clip(moved, -180.0, True), 180.0, False)
        if len(piece) >= 3 and abs(area(piece)) > 1e-6:
            pieces.append(piece)
    return pieces


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
                for piece in map_rings(ring_points(indexes, arcs)):
                    ring = []
                    for lon, lat in piece:
                        point = (hundredths(lon, 18000), hundredths(lat, 9000))
                        if not ring or ring[-1] != point:
                            ring.append(point)
                    if ring and ring[0] != ring[-1]:
                        ring.append(ring[0])
                    # A sliver along the pole (world-atlas has one) has no
                    # area left at this resolution.
                    if len(ring) >= 4 and area(ring[:-1]) != 0:
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
