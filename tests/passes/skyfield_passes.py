# Writes data/skyfield_passes.csv: the first pass after 2024-02-12 12:00 UT
# of every satellite of ../orbit/data/amateur.txt over 52N 13E 100 m by SGP4
# (skyfield 1.45): rise, culmination and set as seconds after 12:00 and the
# culmination elevation, for the peer comparison in PassesTest.cpp.
# Needs the Debian package python3-skyfield; run with /usr/bin/python3.
import os
from skyfield.api import EarthSatellite, load, wgs84

here = os.path.dirname(os.path.abspath(__file__))
ts = load.timescale(builtin=True)
lines = open(os.path.join(here, '..', 'orbit', 'data', 'amateur.txt')).read().splitlines()
station = wgs84.latlon(52.0, 13.0, elevation_m=100)
t0 = ts.utc(2024, 2, 12, 12)
t1 = ts.utc(2024, 2, 13, 2)
os.makedirs(os.path.join(here, 'data'), exist_ok=True)
with open(os.path.join(here, 'data', 'skyfield_passes.csv'), 'w') as out:
    out.write('record,rise_s,culmination_s,set_s,max_elevation\n')
    record = 0
    for i, line in enumerate(lines):
        if line.startswith('1 ') or line.startswith('2 ') or not line.strip():
            continue
        record += 1
        sat = EarthSatellite(lines[i + 1], lines[i + 2], line.strip(), ts)
        times, events = sat.find_events(station, t0, t1, altitude_degrees=0.0)
        rise = culm = None
        for t, e in zip(times, events):
            secs = round((t.tt - t0.tt) * 86400.0, 1)
            if e == 0:
                rise, culm = secs, None
            elif e == 1 and rise is not None:
                culm = (secs, (sat - station).at(t).altaz()[0].degrees)
            elif e == 2 and rise is not None and culm is not None:
                out.write('%d,%.1f,%.1f,%.1f,%.3f\n' % (record, rise, culm[0], secs, culm[1]))
                break
