#!/usr/bin/python3
# Writes a full table of 15000 generated LEO element sets (300 to 1500 km,
# nearly circular, any inclination, epochs in the week before 2024-02-12) and
# times `aostrack-cli upcoming` on them for the example station, 24 hours:
# the whole process, wall time, best of three.
# Usage: scripts/upcoming-15000.py [build-dir] [file to keep the sets in]
import os
import random
import subprocess
import sys
import tempfile
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'build')
path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(tempfile.gettempdir(), 'aostrack-leo-15000.txt')


def checksum(line):
    return sum(int(c) if c.isdigit() else 1 if c == '-' else 0 for c in line) % 10


def element_lines(k, rng):
    number = 80000 + k
    epoch = 24036.0 + 7.0 * rng.random()
    incl = 180.0 * rng.random()
    raan = 360.0 * rng.random()
    ecc = 0.02 * rng.random() * rng.random()
    argp = 360.0 * rng.random()
    ma = 360.0 * rng.random()
    mm = 12.2 + 3.8 * rng.random()
    l1 = '1 %05dU 24001A   %14.8f  .00001000  00000-0  10000-3 0  999' % (number, epoch)
    l2 = '2 %05d %8.4f %8.4f %07d %8.4f %8.4f %11.8f 1000' % (
        number, incl, raan, round(ecc * 1e7), argp, ma, mm)
    return l1 + str(checksum(l1)), l2 + str(checksum(l2))


rng = random.Random(15000)
with open(path, 'w') as out:
    for k in range(15000):
        l1, l2 = element_lines(k, rng)
        out.write('LEO %05d\n%s\n%s\n' % (k, l1, l2))

cli = os.path.join(build, 'bin', 'aostrack-cli')
args = [cli, 'upcoming', '--tle', path, '--lat', '48.1371', '--lon', '11.5754',
        '--height', '0.519', '--from', '2024-02-12T12:00:00Z']
walls = []
for _ in range(3):
    began = time.perf_counter()
    out = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    walls.append(time.perf_counter() - began)
print('aostrack-cli upcoming on 15000 LEO sets: %d lines, %.2f s wall (best of 3; %s)'
      % (out.count('\n'), min(walls), ', '.join('%.2f' % w for w in walls)))
