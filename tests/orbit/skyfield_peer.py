# Reference values for the orbit tests from an independent SGP4 peer.
# Needs the Debian package python3-skyfield; run with /usr/bin/python3.
# Prints look angles of ISS and ES'HAIL 2 over 52N 13E on 2024-02-12.
from skyfield.api import EarthSatellite, load, wgs84
ts = load.timescale(builtin=True)
lines = open(__import__('os').path.join(__import__('os').path.dirname(__file__), 'data', 'amateur.txt')).read().splitlines()
sats = {}
for i,l in enumerate(lines):
    if l.startswith('1 ') and i>0 and lines[i+1].startswith('2 '):
        sats[lines[i-1].strip()] = EarthSatellite(l, lines[i+1], lines[i-1].strip(), ts)
st = wgs84.latlon(52.0, 13.0, elevation_m=100)
for name in ["ISS (ZARYA)", "ES'HAIL 2"]:
    s = sats[name]
    for (h,m,sec) in [(12,0,0),(12,25,0),(12,27,0)]:
        t = ts.utc(2024,2,12,h,m,sec)
        alt, az, dist = (s - st).at(t).altaz()
        sp = wgs84.subpoint_of(s.at(t))
        _,_,_,_,_,rr = (s-st).at(t).frame_latlon_and_rates(st)
        print(name, h,m, "az %.4f el %.4f rng %.3f rr %.4f lat %.4f lon %.4f h %.3f" % (az.degrees, alt.degrees, dist.km, rr.km_per_s, sp.latitude.degrees, sp.longitude.degrees, sp.elevation.km))
    t0 = ts.utc(2024,2,12,12,0,0); t1 = ts.utc(2024,2,13,12,0,0)
    tt, ev = s.find_events(st, t0, t1, altitude_degrees=0.0)
    for ti, e in zip(tt, ev):
        print("  ", e, ti.utc_strftime('%Y-%m-%d %H:%M:%S'))
print("gmst", ts.utc(2024,2,12).gmst*15, ts.utc(2000,1,1,12).gmst*15)
s = sats["ISS (ZARYA)"]
for (h,m) in [(12,19),(12,24),(12,30)]:
    t = ts.utc(2024,2,12,h,m,0)
    alt, az, dist = (s - st).at(t).altaz()
    print("ISS", h, m, "az %.3f el %.3f" % (az.degrees, alt.degrees))
