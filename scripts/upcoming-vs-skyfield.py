#!/usr/bin/python3
# Times the 24-hour pass search over the 101 satellites of examples/amateur.txt
# for the example station (Munich): skyfield's find_events (SGP4) against
# `aostrack-cli upcoming` (the whole process: reading the file, the search on
# all cores, the JSON), in one run on the same machine, and prints the ratio.
# Needs the Debian package python3-skyfield (hence /usr/bin/python3); no network (the timescale uses skyfield's builtin
# tables). Usage: scripts/upcoming-vs-skyfield.py [build-dir]
import os
import subprocess
import sys
import time

from skyfield.api import EarthSatellite, load, wgs84

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build')
cli = os.path.join(build, 'bin', 'aostrack-cli')
tle = os.path.join(root, 'examples', 'amateur.txt')
lat, lon, height_km = 48.1371, 11.5754, 0.519
start = '2024-02-12T12:00:00Z'

ts = load.timescale(builtin=True)
lines = open(tle).read().splitlines()
sats = []
for i, line in enumerate(lines):
    if line.startswith('1 ') or line.startswith('2 ') or not line.strip():
        continue
    sats.append(EarthSatellite(lines[i + 1], lines[i + 2], line.strip(), ts))
station = wgs84.latlon(lat, lon, elevation_m=height_km * 1000)
t0 = ts.utc(2024, 2, 12, 12)
t1 = ts.utc(2024, 2, 13, 12)

began = time.perf_counter()
rises = 0
for sat in sats:
    times, events = sat.find_events(station, t0, t1, altitude_degrees=0.0)
    rises += sum(1 for e in events if e == 0)
skyfield_s = time.perf_counter() - began

args = [cli, 'upcoming', '--tle', tle, '--lat', str(lat), '--lon', str(lon),
        '--height', str(height_km), '--from', start, '--json']
ours = []
for _ in range(5):
    began = time.perf_counter()
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    ours.append(time.perf_counter() - began)
ours_s = min(ours)
passes = out.count('"AosTime"')

print('skyfield find_events: %d satellites, %d rises, %.3f s' % (len(sats), rises, skyfield_s))
print('aostrack-cli upcoming: %d passes, %.3f s (best of %d, whole process)' % (passes, ours_s, len(ours)))
print('ratio: %.0f times faster' % (skyfield_s / ours_s))
