# Writes data/skyfield_groundtrack.csv: sub-satellite points by SGP4 and
# skyfield's wgs84.subpoint (skyfield 1.45, builtin UT1 tables) of a low
# orbit (ISS) and a highly eccentric one (AO-10) of ../orbit/data/amateur.txt,
# for GroundTrackTest.cpp. Needs python3-skyfield; run with /usr/bin/python3.
import os
from skyfield.api import EarthSatellite, load, wgs84

here = os.path.dirname(os.path.abspath(__file__))
ts = load.timescale(builtin=True)
lines = [l.rstrip() for l in open(os.path.join(here, '..', 'orbit', 'data', 'amateur.txt'))]
cases = [('ISS (ZARYA)', 0, 600, 12), ('PHASE 3B (AO-10)', 0, 5400, 12)]
with open(os.path.join(here, 'data', 'skyfield_groundtrack.csv'), 'w') as out:
    out.write('name,unix_seconds,latitude,longitude,height_km\n')
    for name, start, step, count in cases:
        i = [l.strip() for l in lines].index(name)
        sat = EarthSatellite(lines[i + 1], lines[i + 2], name, ts)
        for k in range(count):
            # From 2024-02-12 12:00 UTC (counting from 1970 in ts.utc would
            # add the leap seconds since then).
            offset = start + k * step
            seconds = 1707739200 + offset
            t = ts.utc(2024, 2, 12, 12, 0, offset)
            p = wgs84.subpoint(sat.at(t))
            out.write('%s,%d,%.6f,%.6f,%.4f\n' % (name, seconds, p.latitude.degrees,
                                                 p.longitude.degrees, p.elevation.km))
