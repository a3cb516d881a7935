# Writes data/skyfield_amateur.csv: SGP4 positions (skyfield 1.45) of every
# satellite of data/amateur.txt seen from 52N 13E 100 m at four instants of
# 2024-02-12, for the peer comparison in EngineTest.cpp.
# Needs the Debian package python3-skyfield; run with /usr/bin/python3.
import os
from skyfield.api import EarthSatellite, load, wgs84

here = os.path.dirname(os.path.abspath(__file__))
ts = load.timescale(builtin=True)
lines = open(os.path.join(here, 'data', 'amateur.txt')).read().splitlines()
station = wgs84.latlon(52.0, 13.0, elevation_m=100)
with open(os.path.join(here, 'data', 'skyfield_amateur.csv'), 'w') as out:
    out.write('record,hour,azimuth,elevation,range_km,sublat,sublon,height_km\n')
    record = 0
    for i, line in enumerate(lines):
        if line.startswith('1 ') or line.startswith('2 ') or not line.strip():
            continue
        record += 1
        sat = EarthSatellite(lines[i + 1], lines[i + 2], line.strip(), ts)
        for hour in (0, 6, 12, 18):
            t = ts.utc(2024, 2, 12, hour)
            alt, az, dist = (sat - station).at(t).altaz()
            sub = wgs84.geographic_position_of(sat.at(t))
            out.write('%d,%d,%.4f,%.4f,%.3f,%.4f,%.4f,%.3f\n' % (
                record, hour, az.degrees, alt.degrees, dist.km,
                sub.latitude.degrees, sub.longitude.degrees, sub.elevation.km))
