#!/usr/bin/python3
# Regenerates the SGP4 reference values the tests compare with (run with the
# Debian python3, which has python3-sgp4 and python3-skyfield):
#   tests/orbit/data/sgp4-ver.tle   the verification element sets (name line =
#                                   catalogue number, then the two lines)
#   tests/orbit/data/sgp4-ver.csv   catno,minutes,error,x,y,z,vx,vy,vz (TEME km,
#                                   km/s; error 0 or the SGP4 error code) at every
#                                   step of each set's own start/stop/step
#   tests/orbit/data/sgp4-skyfield.csv  look angles of real sets from skyfield
#   tests/passes/data/sgp4-passes.csv   rise/set times of real sets from skyfield
#   tests/app/data/sgp4-state.csv   catno,utc,x,y,z,vx,vy,vz: TEME of every
#                                   verification set at a whole UTC second
#                                   (what 'aostrack-cli state --model sgp4' gives)
import math
import os
import sys

from sgp4.api import Satrec, WGS72

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ver = '/usr/lib/python3/dist-packages/sgp4/SGP4-VER.TLE'
orbit_data = os.path.join(root, 'tests', 'orbit', 'data')
passes_data = os.path.join(root, 'tests', 'passes', 'data')


def verification():
    lines = [l.rstrip('\n') for l in open(ver) if not l.startswith('#')]
    tle_out = []
    csv_out = ['catno,minutes,error,x,y,z,vx,vy,vz']
    i = 0
    while i + 1 < len(lines):
        l1, l2 = lines[i], lines[i + 1]
        i += 2
        if not (l1.startswith('1 ') and l2.startswith('2 ')):
            continue
        start, stop, step = (float(x) for x in l2[69:].split())
        l2 = l2[:69]
        sat = Satrec.twoline2rv(l1, l2, WGS72)
        catno = l1[2:7].strip()
        seen = sum(1 for n in tle_out[::3] if n.split('#')[0] == catno)
        if seen:
            catno += '#%d' % (seen + 1)  # a second set of the same satellite
        tle_out += [catno, l1, l2]
        times = [0.0]
        t = start
        while (step > 0 and t <= stop + 1e-9) or (step < 0 and t >= stop - 1e-9):
            if t != 0.0:
                times.append(t)
            t += step
        if times[-1] != stop:
            times.append(stop)
        for t in times:
            e, r, v = sat.sgp4_tsince(t)
            if e != 0:
                csv_out.append('%s,%.8f,%d,0,0,0,0,0,0' % (catno, t, e))
                break  # the theory gives nothing past an error
            csv_out.append('%s,%.8f,0,%.9f,%.9f,%.9f,%.12f,%.12f,%.12f' % ((catno, t) + r + v))
    open(os.path.join(orbit_data, 'sgp4-ver.tle'), 'w').write('\n'.join(tle_out) + '\n')
    # Whole seconds: the epoch rounded up to the minute, then 1 h 23 min 7 s.
    from sgp4.api import jday
    state_out = ['catno,utc,x,y,z,vx,vy,vz']
    for k in range(0, len(tle_out), 3):
        catno, l1, l2 = tle_out[k:k + 3]
        sat = Satrec.twoline2rv(l1, l2, WGS72)
        epoch = sat.jdsatepoch + sat.jdsatepochF
        unix = (epoch - 2440587.5) * 86400.0
        t = (math.floor(unix / 60.0) + 1) * 60 + 4987
        days, rem = divmod(int(t), 86400)
        jd = 2440587.5 + days
        fr = rem / 86400.0
        e, r, v = sat.sgp4(jd, fr)
        if e != 0:
            continue
        import datetime
        utc = datetime.datetime.fromtimestamp(t, datetime.timezone.utc).strftime('%Y-%m-%dT%H:%M:%SZ')
        state_out.append('%s,%s,%.9f,%.9f,%.9f,%.12f,%.12f,%.12f' % ((catno, utc) + r + v))
    app_data = os.path.join(root, 'tests', 'app', 'data')
    os.makedirs(app_data, exist_ok=True)
    open(os.path.join(app_data, 'sgp4-state.csv'), 'w').write('\n'.join(state_out) + '\n')
    open(os.path.join(orbit_data, 'sgp4-ver.csv'), 'w').write('\n'.join(csv_out) + '\n')


def real_sets():
    from skyfield.api import EarthSatellite, load, wgs84
    ts = load.timescale(builtin=True)
    lines = open(os.path.join(orbit_data, 'amateur.txt')).read().splitlines()
    sats = {}
    for i, l in enumerate(lines):
        if l.startswith('1 ') and i > 0 and i + 1 < len(lines) and lines[i + 1].startswith('2 '):
            sats[lines[i - 1].strip()] = EarthSatellite(l, lines[i + 1], lines[i - 1].strip(), ts)
    # Station as in the engine tests: 52 N 13 E, 100 m.
    st = wgs84.latlon(52.0, 13.0, elevation_m=100)
    names = ['ISS (ZARYA)', 'OSCAR 7 (AO-7)', 'SAUDISAT 1C (SO-50)', 'PHASE 3B (AO-10)', "ES'HAIL 2",
             'JAS-2 (FO-29)', 'RS-44 & BREEZE-KM R/B']
    out = ['name,utc,azimuth,elevation,range,rangerate']
    for name in names:
        s = sats[name]
        for minute in range(0, 24 * 60, 37):
            t = ts.utc(2024, 2, 12, 12, minute, 0)
            topo = (s - st).at(t)
            alt, az, dist = topo.altaz()
            _, _, _, _, _, rr = topo.frame_latlon_and_rates(st)
            out.append('%s,%s,%.6f,%.6f,%.6f,%.6f' % (name, t.utc_strftime('%Y-%m-%dT%H:%M:%SZ'),
                                                       az.degrees, alt.degrees, dist.km, rr.km_per_s))
    open(os.path.join(orbit_data, 'sgp4-skyfield.csv'), 'w').write('\n'.join(out) + '\n')

    # Rise and set refined by bisection to a millisecond (find_events itself
    # stops at about half a second), with the pass's highest elevation.
    def altitude(s, t):
        return (s - st).at(t).altaz()[0].degrees

    def refine(s, t, rising):
        lo, hi = t - 3.0 / 86400, t + 3.0 / 86400
        for _ in range(40):
            mid = ts.tt_jd((lo.tt + hi.tt) / 2)
            if (altitude(s, mid) > 0) == rising:
                hi = mid
            else:
                lo = mid
        return hi

    out = ['name,rise,set,maxel']
    for name in ['ISS (ZARYA)', 'SAUDISAT 1C (SO-50)', 'OSCAR 7 (AO-7)', 'JAS-2 (FO-29)', 'FUNCUBE-1 (AO-73)']:
        s = sats[name]
        t0 = ts.utc(2024, 2, 12, 12, 0, 0)
        t1 = ts.utc(2024, 2, 13, 12, 0, 0)
        tt, ev = s.find_events(st, t0, t1, altitude_degrees=0.0)
        events = list(zip(tt, ev))
        for k in range(len(events) - 2):
            (ta, ea), (tc, ec), (tb, eb) = events[k:k + 3]
            if (ea, ec, eb) != (0, 1, 2):
                continue
            rise = refine(s, ta, True)
            set_ = refine(s, tb, False)
            out.append('%s,%s,%s,%.3f' % (name, rise.utc_strftime('%Y-%m-%dT%H:%M:%S.%fZ'),
                                           set_.utc_strftime('%Y-%m-%dT%H:%M:%S.%fZ'), altitude(s, tc)))
    open(os.path.join(passes_data, 'sgp4-passes.csv'), 'w').write('\n'.join(out) + '\n')


verification()
real_sets()
