#!/usr/bin/python3
# The 24-hour pass search over one element file, three ways in one run on the
# same machine: skyfield's find_events, a numpy-vectorised SGP4 search as a
# strong Python user writes it (every satellite at once on a 60 s grid, rise
# and set bisected to the second, the peak by ternary search), and the whole
# `aostrack-cli upcoming --model sgp4` process. Prints CPU (user + system)
# and wall seconds of each and the ratios. Needs the Debian packages
# python3-sgp4, python3-skyfield and python3-numpy (hence /usr/bin/python3);
# no network.
# Usage: scripts/upcoming-vs-numpy.py [build-dir] [element file] [--no-skyfield]
import os
import resource
import subprocess
import sys
import time

import numpy as np
from sgp4.api import SatrecArray, Satrec

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
args = [a for a in sys.argv[1:] if not a.startswith('--')]
build = args[0] if len(args) > 0 else os.path.join(root, 'build')
tle = args[1] if len(args) > 1 else os.path.join(root, 'examples', 'amateur.txt')
with_skyfield = '--no-skyfield' not in sys.argv
lat, lon, height_km = 48.1371, 11.5754, 0.519
start = '2024-02-12T12:00:00Z'
start_jd = 2460353.0  # 2024-02-12 12:00 UTC
window_s = 86400


def read_sets(path):
    lines = [l.rstrip() for l in open(path)]
    sets = []
    for i, line in enumerate(lines):
        if line.startswith('1 ') and i + 1 < len(lines) and lines[i + 1].startswith('2 '):
            name = lines[i - 1].strip() if i > 0 else ''
            sets.append((name, line, lines[i + 1]))
    return sets


def station_vectors():
    # WGS-72 ellipsoid, as SGP4's frame.
    a, f = 6378.135, 1 / 298.26
    e2 = f * (2 - f)
    phi, lam = np.radians(lat), np.radians(lon)
    n = a / np.sqrt(1 - e2 * np.sin(phi) ** 2)
    o = np.array([(n + height_km) * np.cos(phi) * np.cos(lam),
                  (n + height_km) * np.cos(phi) * np.sin(lam),
                  (n * (1 - e2) + height_km) * np.sin(phi)])
    up = np.array([np.cos(phi) * np.cos(lam), np.cos(phi) * np.sin(lam), np.sin(phi)])
    return o, up


def gmst(jd):
    t = (jd - 2451545.0) / 36525.0
    s = (-6.2e-6 * t * t * t + 0.093104 * t * t
         + (876600.0 * 3600 + 8640184.812866) * t + 67310.54841)
    return np.radians((s % 86400) / 240.0)


def numpy_search(sets):
    singles = [Satrec.twoline2rv(l1, l2) for _, l1, l2 in sets]
    sats = SatrecArray(singles)
    o, up = station_vectors()

    n = len(sets)
    grid = np.arange(0, window_s + 1, 60.0)
    jd = np.full(grid.shape, start_jd)
    fr = grid / 86400.0
    err, r, _ = sats.sgp4(jd, fr)  # (sats, times, 3)
    theta = gmst(jd + fr)
    c, s = np.cos(theta), np.sin(theta)
    x = c * r[:, :, 0] + s * r[:, :, 1] - o[0]
    y = -s * r[:, :, 0] + c * r[:, :, 1] - o[1]
    z = r[:, :, 2] - o[2]
    h = x * up[0] + y * up[1] + z * up[2]
    above = h > 0

    def height_at(k, t):
        # One satellite at one second: height above the horizon plane and elevation.
        _, p, _ = singles[k].sgp4(start_jd, t / 86400.0)
        th = gmst(start_jd + t / 86400.0)
        cc, ss = np.cos(th), np.sin(th)
        d = np.array([cc * p[0] + ss * p[1], -ss * p[0] + cc * p[1], p[2]]) - o
        return float(d @ up), float(np.degrees(np.arcsin(d @ up / np.linalg.norm(d))))

    passes = []
    for k in range(n):
        if err[k].any():
            continue
        row = above[k]
        changes = np.nonzero(row[1:] != row[:-1])[0]
        rise = None
        for idx in changes:
            lo, hi = grid[idx], grid[idx + 1]
            going_up = not row[idx]
            while hi - lo > 1:
                mid = (lo + hi) // 2
                if (height_at(k, mid)[0] > 0) == going_up:
                    hi = mid
                else:
                    lo = mid
            if going_up:
                rise = hi
            elif rise is not None:
                a, b = rise, hi
                while b - a > 2:
                    m1, m2 = a + (b - a) // 3, b - (b - a) // 3
                    if height_at(k, m1)[1] < height_at(k, m2)[1]:
                        a = m1
                    else:
                        b = m2
                passes.append((k, rise, hi, height_at(k, a)[1]))
                rise = None
    return passes


def skyfield_search(sets):
    from skyfield.api import EarthSatellite, load, wgs84
    ts = load.timescale(builtin=True)
    station = wgs84.latlon(lat, lon, elevation_m=height_km * 1000)
    t0, t1 = ts.utc(2024, 2, 12, 12), ts.utc(2024, 2, 13, 12)
    rises = 0
    for name, l1, l2 in sets:
        times, events = EarthSatellite(l1, l2, name, ts).find_events(station, t0, t1, 0.0)
        rises += sum(1 for e in events if e == 0)
    return rises


def timed(work):
    wall, cpu = time.perf_counter(), time.process_time()
    result = work()
    return result, time.perf_counter() - wall, time.process_time() - cpu


sets = read_sets(tle)
numpy_passes, numpy_wall, numpy_cpu = timed(lambda: numpy_search(sets))
if with_skyfield:
    sky_rises, sky_wall, sky_cpu = timed(lambda: skyfield_search(sets))

cli = os.path.join(build, 'bin', 'aostrack-cli')
before = resource.getrusage(resource.RUSAGE_CHILDREN)
wall = time.perf_counter()
out = subprocess.run([cli, 'upcoming', '--tle', tle, '--lat', str(lat), '--lon', str(lon),
                      '--height', str(height_km), '--from', start, '--model', 'sgp4', '--json'],
                     check=True, capture_output=True, text=True).stdout
cli_wall = time.perf_counter() - wall
after = resource.getrusage(resource.RUSAGE_CHILDREN)
cli_cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
cli_passes = out.count('"AosTime"')

print(f'{len(sets)} sets, 24 h, load {os.getloadavg()[0]:.1f}')
print(f'aostrack-cli upcoming --model sgp4: {cli_passes} passes, CPU {cli_cpu:.3f} s, wall {cli_wall:.3f} s')
print(f'numpy SGP4, 60 s grid: {len(numpy_passes)} passes, CPU {numpy_cpu:.3f} s, wall {numpy_wall:.3f} s'
      f' -> {numpy_cpu / cli_cpu:.1f} x the CPU of aostrack-cli')
if with_skyfield:
    print(f'skyfield find_events: {sky_rises} rises, CPU {sky_cpu:.3f} s, wall {sky_wall:.3f} s'
          f' -> {sky_cpu / cli_cpu:.1f} x the CPU of aostrack-cli')
