#include "orbit/Engine.h"

#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace aostrack {

using namespace std::chrono;

namespace {

// Model constants (Plan13 values; changing any of them changes the results
// that operators compare with their other tools).
constexpr double EarthRadius = 6378.137;      // RE, equatorial radius, km
constexpr double GM = 398600.0;               // km^3/s^2
constexpr double J2 = 0.00108263;             // second zonal harmonic
constexpr double SecondsPerRadianDay = 13750.98708; // 86400 / 2pi, rounded as Plan13 has it
constexpr double EarthRateDegSec = 360.98564736629 / 86400.0;
constexpr double KeplerTolerance = 0.0001;    // radians
// Equatorial radius squared and a polar radius of 6356.785 km squared, km^2.
constexpr double XX = 40680631.59076899;
constexpr double ZZ = 40408715.536225;
constexpr double GeodeticFactor = 0.993305525; // 1 - f^2-ish factor of the geodetic latitude
constexpr double PathLossConstant = 32.4;      // dB, for MHz and km
// Sun: low-precision ephemeris counted from 1989 December 31, 0h UT (day number 4382).
constexpr double SunOriginDay = 4382.0;
constexpr double SunMeanAnomaly0 = 356.6349;
constexpr double SunMeanAnomalyRate = 0.98560027;
constexpr double SunMeanLongitude0 = 279.4033;
constexpr double TropicalYear = 365.242197;
constexpr double Obliquity = 23.4406;
constexpr double ShadowRadius = 6378.137; // cylindrical shadow, no penumbra

constexpr long long DayNumberUnixOffset = 2922; // 1978-01-01 is day 2922 after 1970-01-01

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

} // namespace

namespace {
// Kepler's equation by bisection-safeguarded Newton on the bracket [0, 2 pi]
// (E - e sin E - M grows monotonically for e < 1), for the rare very
// eccentric orbits where plain Newton from E = M keeps oscillating.
double SolveKeplerBracketed(double m, double ecc)
{
    constexpr double twoPi = 2 * 3.14159265358979323846;
    double lo = 0, hi = twoPi;
    double e = std::clamp(m, lo, hi);
    for (int round = 0; round < 200; ++round) {
        const double f = e - ecc * std::sin(e) - m;
        if (f > 0)
            hi = e;
        else
            lo = e;
        const double fp = 1.0 - ecc * std::cos(e);
        double next = e - f / fp;
        if (!(next > lo && next < hi))
            next = (lo + hi) / 2; // Newton left the bracket: halve it
        if (std::fabs(next - e) < 1e-12 || hi - lo < 1e-12)
            return next;
        e = next;
    }
    return e;
}
} // namespace

double SolveKepler(double meanAnomaly, double eccentricity)
{
    if (!std::isfinite(meanAnomaly) || !(eccentricity >= 0.0 && eccentricity < 1.0))
        throw OrbitError("Kepler's equation has no solution for eccentricity "
                         + std::to_string(eccentricity) + " at mean anomaly " + std::to_string(meanAnomaly));
    // Newton's method on E - e sin E = M, in radians, from E = M.
    const double m = meanAnomaly / DegPerRad;
    double e = m;
    for (int round = 0; round < KeplerMaxRounds; ++round) {
        const double d = (e - eccentricity * std::sin(e) - m) / (1.0 - eccentricity * std::cos(e));
        e -= d;
        if (std::fabs(d) < KeplerTolerance)
            return e * DegPerRad;
    }
    // Newton from the mean anomaly oscillates for some eccentricities above
    // about 0.98; solve on a bracket instead of looping for ever.
    return SolveKeplerBracketed(m, eccentricity) * DegPerRad;
}

// State of the orbit at one instant (the engine's UpdateOrbitState results).
struct OrbitModel::Orbit {
    std::int32_t CalcDayNumber = 0;
    double DayFraction = 0;
    double T = 0;
    double NodeNow = 0, PerigeeNow = 0;
    double cosNode = 0, sinNode = 0, cosPerigee = 0, sinPerigee = 0;
    double M = 0;
    std::int32_t OrbitNumber = 0;
    double A = 0, B = 0;
    double G = 0, cosG = 0, sinG = 0; // cos(-G), sin(-G)
    double E = 0, sinE = 0, cosE = 0;
    std::int32_t MAPhase = 0;
    double OrbitRadius = 0;
    // Orbit plane to celestial frame, rows CX, CY, CZ.
    double CX[3] = {}, CY[3] = {}, CZ[3] = {};
    double SAT[3] = {};
    double Sg[3] = {};
};

OrbitModel::OrbitModel(const ElementSet& elements, const Station& station, const Attitude& attitude)
    : m_el(elements), m_station(station), m_attitude(attitude)
{
    if (!(elements.MeanMotion > 0.0) || !std::isfinite(elements.MeanMotion))
        throw OrbitError("no usable element set: mean motion is "
                         + std::to_string(elements.MeanMotion) + " rev/day");
    if (!(elements.Eccentricity >= 0.0 && elements.Eccentricity < 1.0))
        throw OrbitError("no usable element set: eccentricity " + std::to_string(elements.Eccentricity)
                         + " is not between 0 and 1");

    // InitOrbitConstants
    m_cosLat = CosDeg(station.StationLat);
    m_sinLat = SinDeg(station.StationLat);
    m_cosLon = CosDeg(station.StationLon);
    m_sinLon = SinDeg(station.StationLon);
    m_cosI = CosDeg(elements.Inclination);
    m_sinI = SinDeg(elements.Inclination);
    m_meanMotionDegDay = 360.0 * elements.MeanMotion;
    m_meanMotionDegSec = m_meanMotionDegDay / 86400.0;
    const double nRadSec = elements.MeanMotion / SecondsPerRadianDay;
    m_a = RealPower(GM / (nRadSec * nRadSec), 1.0 / 3.0);
    const double e = elements.Eccentricity;
    m_b = m_a * std::sqrt(1.0 - e * e);
    // Secular J2 drift of node and perigee, degrees per day.
    const double p = EarthRadius * m_a / (m_b * m_b);
    const double precessionRate = 360.0 * elements.MeanMotion * 1.5 * J2 * (p * p);
    m_nodeRate = -precessionRate * m_cosI;
    m_perigeeRate = precessionRate * (5.0 * (m_cosI * m_cosI) - 1.0) / 2.0;
    const double epochDay = EpochDayNumber(elements.Epoch);
    m_epochDayWhole = IntPart(epochDay);
    m_epochDayFrac = FracPart(epochDay);
    m_dragFactor = -2.0 * elements.Decay / (3.0 * elements.MeanMotion);

    // Station on the ellipsoid and its horizon frame (geocentric earth-fixed).
    const double d = std::sqrt(XX * (m_cosLat * m_cosLat) + ZZ * (m_sinLat * m_sinLat));
    const double rx = XX / d + station.StationHeight;
    const double rz = ZZ / d + station.StationHeight;
    m_up[0] = m_cosLat * m_cosLon;
    m_up[1] = m_cosLat * m_sinLon;
    m_up[2] = m_sinLat;
    m_east[0] = -m_sinLon;
    m_east[1] = m_cosLon;
    m_east[2] = 0.0;
    m_north[0] = -m_sinLat * m_cosLon;
    m_north[1] = -m_sinLat * m_sinLon;
    m_north[2] = m_cosLat;
    m_o[0] = rx * m_up[0];
    m_o[1] = rx * m_up[1];
    m_o[2] = rz * m_up[2];

    // Antenna axis in the orbit-plane frame. The usual axis (both angles 0)
    // needs no trigonometry: cos(+-0) is 1 and sin(+-0) is +-0 exactly.
    const auto cosSinDeg = [](double x, double& c, double& s) {
        if (x == 0.0) {
            c = 1.0;
            s = x;
        } else {
            c = CosDeg(x);
            s = SinDeg(x);
        }
    };
    double cosAttLat, sinAttLat, cosAttLon, sinAttLon;
    cosSinDeg(attitude.AttitudeLat, cosAttLat, sinAttLat);
    cosSinDeg(attitude.AttitudeLon, cosAttLon, sinAttLon);
    m_axis[0] = -cosAttLat * cosAttLon;
    m_axis[1] = -cosAttLat * sinAttLon;
    m_axis[2] = -sinAttLat;
}

void OrbitModel::Propagate(sys_seconds instant, Orbit& o) const
{
    // The computation instant as day number and UT fraction of the day.
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const double hour = static_cast<double>(secOfDay / 3600);
    const double minute = static_cast<double>((secOfDay / 60) % 60);
    const double second = static_cast<double>(secOfDay % 60);
    o.CalcDayNumber = static_cast<std::int32_t>(day.time_since_epoch().count() - DayNumberUnixOffset);
    o.DayFraction = (hour + minute / 60.0 + second / 3600.0) / 24.0;

    // Days since the epoch.
    o.T = (o.CalcDayNumber - m_epochDayWhole) + o.DayFraction - m_epochDayFrac;
    const double t = o.T;

    // Linear drag: the mean motion grows, the orbit shrinks.
    const double dt = m_dragFactor * t / 2.0;
    const double km = 1.0 - 3.0 * dt;
    const double kd = 1.0 + 4.0 * dt;
    const double kdp = 1.0 - 7.0 * dt;

    // Node and perigee drifted by J2.
    o.NodeNow = Norm360(m_el.RAAN + m_nodeRate * t * kdp);
    o.PerigeeNow = Norm360(m_el.ArgPerigee + m_perigeeRate * t * kdp);
    o.cosNode = CosDeg(o.NodeNow);
    o.sinNode = SinDeg(o.NodeNow);
    o.cosPerigee = CosDeg(o.PerigeeNow);
    o.sinPerigee = SinDeg(o.PerigeeNow);

    o.M = Norm360(m_el.EpochMeanAnomaly + m_meanMotionDegDay * t * km);
    o.OrbitNumber = IntPart(m_el.MeanMotion * t + m_el.EpochRev);
    o.A = m_a * kd;
    o.B = m_b * kd;

    o.G = SiderealAngle(o.CalcDayNumber, o.DayFraction);
    o.cosG = CosDeg(-o.G);
    o.sinG = SinDeg(-o.G);

    o.E = SolveKepler(o.M, m_el.Eccentricity);
    o.sinE = SinDeg(o.E);
    o.cosE = CosDeg(o.E);
    o.MAPhase = IntPart(256.0 * o.M / 360.0);
    o.OrbitRadius = o.A * (1.0 - m_el.Eccentricity * o.cosE);

    // Orbit plane to the celestial frame.
    const double cw = o.cosPerigee, sw = o.sinPerigee;
    const double cq = o.cosNode, sq = o.sinNode;
    const double ci = m_cosI, si = m_sinI;
    o.CX[0] = cw * cq - sw * ci * sq;
    o.CX[1] = -sw * cq - cw * ci * sq;
    o.CX[2] = si * sq;
    o.CY[0] = cw * sq + sw * ci * cq;
    o.CY[1] = -sw * sq + cw * ci * cq;
    o.CY[2] = -si * cq;
    o.CZ[0] = sw * si;
    o.CZ[1] = cw * si;
    o.CZ[2] = ci;

    const double sx = o.A * (o.cosE - m_el.Eccentricity);
    const double sy = o.B * o.sinE;
    o.SAT[0] = sx * o.CX[0] + sy * o.CX[1];
    o.SAT[1] = sx * o.CY[0] + sy * o.CY[1];
    o.SAT[2] = sx * o.CZ[0] + sy * o.CZ[1];

    // Celestial to earth-fixed: turn by -G about the pole.
    o.Sg[0] = o.SAT[0] * o.cosG - o.SAT[1] * o.sinG;
    o.Sg[1] = o.SAT[0] * o.sinG + o.SAT[1] * o.cosG;
    o.Sg[2] = o.SAT[2];
}

// The station-to-satellite vector and the look angles along it.
struct OrbitModel::Sight {
    double Rv[3];   // R = Sg - O, km
    double Range;   // |R|, km
    double R[3];    // R / |R|
    double Azimuth; // degrees
    double Elevation;
};

OrbitModel::Sight OrbitModel::SightOf(const Orbit& o) const
{
    Sight v;
    v.Rv[0] = o.Sg[0] - m_o[0];
    v.Rv[1] = o.Sg[1] - m_o[1];
    v.Rv[2] = o.Sg[2] - m_o[2];
    v.Range = std::sqrt(v.Rv[0] * v.Rv[0] + v.Rv[1] * v.Rv[1] + v.Rv[2] * v.Rv[2]);
    v.R[0] = v.Rv[0] / v.Range;
    v.R[1] = v.Rv[1] / v.Range;
    v.R[2] = v.Rv[2] / v.Range;
    const double u = Dot(v.R, m_up);
    const double eComp = v.R[0] * m_east[0] + v.R[1] * m_east[1];
    const double nComp = Dot(v.R, m_north);
    v.Azimuth = ArcTan2Deg(eComp, nComp);
    v.Elevation = ArcSinDeg(u);
    return v;
}

SatelliteState OrbitModel::Compute(sys_seconds instant, double tunedFreqKHz) const
{
    Orbit o;
    Propagate(instant, o);
    const double ecc = m_el.Eccentricity;

    SatelliteState s;
    s.DayFraction = o.DayFraction;
    s.MeanAnomaly = o.M;
    s.MAPhase = o.MAPhase;
    s.OrbitNumber = o.OrbitNumber;
    s.OrbitRadius = o.OrbitRadius;
    s.SatHeight = o.OrbitRadius - 6378.137;
    s.EccAnomaly = o.E;
    s.NodeNow = o.NodeNow;
    s.PerigeeNow = o.PerigeeNow;
    s.ElapsedDays = o.T;
    s.SiderealNow = o.G;
    s.CalcDayNumber = o.CalcDayNumber;

    // Velocity in the orbit plane (km x degrees per second).
    const double n = m_meanMotionDegSec;
    const double q = 1.0 - ecc * o.cosE;
    const double vx = -o.A * o.sinE * n / q;
    const double vy = o.B * o.cosE * n / q;
    double vel[3] = {vx * o.CX[0] + vy * o.CX[1], vx * o.CY[0] + vy * o.CY[1],
                     vx * o.CZ[0] + vy * o.CZ[1]};

    // Antenna axis in the celestial frame.
    const double ax = m_axis[0], ay = m_axis[1], az = m_axis[2];
    const double ant[3] = {ax * o.CX[0] + ay * o.CX[1] + az * o.CX[2],
                           ax * o.CY[0] + ay * o.CY[1] + az * o.CY[2],
                           ax * o.CZ[0] + ay * o.CZ[1] + az * o.CZ[2]};

    const double vg[3] = {vel[0] * o.cosG - vel[1] * o.sinG, vel[0] * o.sinG + vel[1] * o.cosG,
                          vel[2]};

    // Station velocity from the earth's rotation.
    const double vo[3] = {-m_o[1] * EarthRateDegSec, m_o[0] * EarthRateDegSec, 0.0};

    // Range vector and look angles.
    const Sight sight = SightOf(o);
    const double range = sight.Range;
    const double* r = sight.R;
    s.SatRange = range;
    s.SatAzimuth = sight.Azimuth;
    s.SatElevation = sight.Elevation;

    // Sub-satellite point: geocentric to geodetic latitude.
    const double psi = ArcSinDeg(o.Sg[2] / o.OrbitRadius);
    s.SubSatLat = ArcTanDeg(TanDeg(psi) / GeodeticFactor);
    const double lambda = ArcTan2Deg(o.Sg[1], o.Sg[0]);
    s.SubSatLon = lambda <= 180.0 ? lambda : lambda - 360.0;

    s.RangeRate = (r[0] * (vg[0] - vo[0]) + r[1] * (vg[1] - vo[1]) + r[2] * vg[2]) / DegPerRad;
    s.PathLoss = 20.0 * Log10(tunedFreqKHz / 1000.0) + PathLossConstant + 20.0 * Log10(range);

    // Sun: low-precision ephemeris, mean anomaly and longitude not reduced.
    const double sunLon = SunEclipticLongitude(o.CalcDayNumber, o.DayFraction);
    static const double cosObliquity = CosDeg(Obliquity);
    static const double sinObliquity = SinDeg(Obliquity);
    const double sinSunLon = SinDeg(sunLon);
    const double sun[3] = {CosDeg(sunLon), sinSunLon * cosObliquity, sinSunLon * sinObliquity};
    const double sunG[3] = {sun[0] * o.cosG - sun[1] * o.sinG, sun[0] * o.sinG + sun[1] * o.cosG,
                            sun[2]};
    s.SunElevation = ArcSinDeg(Dot(sunG, m_up));

    // Cylindrical earth shadow: on the night side and within one earth radius
    // of the earth-sun axis.
    s.InEclipse = InEarthShadow({o.SAT[0], o.SAT[1], o.SAT[2]}, {sun[0], sun[1], sun[2]}, o.OrbitRadius);
    s.MayBeVisible = MayBeVisibleAt(s.SatElevation, s.SunElevation);
    s.IlluminationText = IlluminationTextFor(s.MayBeVisible, s.InEclipse);

    // Sun above the plane normal to the antenna axis.
    s.SunAngle = ArcSinDeg(-Dot(ant, sun));
    s.Illumination = s.InEclipse ? 0.0 : CosDeg(s.SunAngle);
    return s;
}

OrbitModel::Horizon OrbitModel::Look(sys_seconds instant) const
{
    Orbit o;
    Propagate(instant, o);
    // The same look angles as Compute's.
    const Sight sight = SightOf(o);
    Horizon hz;
    hz.SatAzimuth = sight.Azimuth;
    hz.SatElevation = sight.Elevation;
    hz.AboveHorizonKm = Dot(sight.Rv, m_up);
    return hz;
}

double OrbitModel::ElapsedDays(sys_seconds instant) const
{
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const auto dayNumber = static_cast<double>(day.time_since_epoch().count() - DayNumberUnixOffset);
    return (dayNumber - m_epochDayWhole) + secOfDay / 86400.0 - m_epochDayFrac;
}

double OrbitModel::MaxEarthFixedSpeed(double fromDays, double toDays) const
{
    // Bound of |d Sg / dt| for the model's own motion: the orbit-plane
    // velocity (mean anomaly and drag shrink), the drift of node and perigee
    // turning the plane, and the earth's rotation under it.
    const double e = m_el.Eccentricity;
    auto maxAbsLinear = [&](double f0, double f1) { return std::max(std::fabs(f0), std::fabs(f1)); };
    const double dc = m_dragFactor;
    // d(T KM)/dT = 1 - 3 DC T; d(T KDP)/dT = 1 - 7 DC T; KD = 1 + 2 DC T.
    const double mRate = 360.0 * m_el.MeanMotion
                         * maxAbsLinear(1 - 3 * dc * fromDays, 1 - 3 * dc * toDays); // deg/day
    const double driftFactor = maxAbsLinear(1 - 7 * dc * fromDays, 1 - 7 * dc * toDays);
    const double aMax = m_a * maxAbsLinear(1 + 2 * dc * fromDays, 1 + 2 * dc * toDays);
    const double aRate = std::fabs(2.0 * m_a * dc); // km/day
    const double rMax = aMax * (1.0 + e);

    constexpr double degPerDayToRadPerSec = 1.0 / (DegPerRad * 86400.0);
    const double eRate = mRate / (1.0 - e) * degPerDayToRadPerSec; // rad/s
    const double planeSpeed = aRate / 86400.0 * (1.0 + e) + aMax * eRate;
    const double turnRate = ((std::fabs(m_nodeRate) + std::fabs(m_perigeeRate)) * driftFactor + 361.0)
                            * degPerDayToRadPerSec;
    const double bound = planeSpeed + turnRate * rMax;
    // Safety factor for rounding in the bound itself.
    return 1.25 * bound + 0.1;
}

double OrbitModel::MaxEarthFixedAcceleration(double fromDays, double toDays) const
{
    // The orbit-plane position is p = A q(M), q the ellipse of unit semi-major
    // axis, so p'' = 2 A' q_M M' + A q_MM M'^2 + A q_M M'' (A is linear in
    // time). The drift of node and perigee turns the plane (SAT = R p) and the
    // earth turns under it (Sg = Rz(-G) SAT); each turn adds its Coriolis and
    // centripetal terms. Bounds: |q| <= 1 + e, |q_M| <= sqrt((1 + e) / (1 - e)),
    // |q_MM| <= 1 / (1 - e)^2 (Kepler's r^-2 law at perigee).
    const double e = m_el.Eccentricity;
    const double dc = m_dragFactor;
    auto maxAbsLinear
        = [&](double f0, double f1) { return std::max(std::fabs(f0), std::fabs(f1)); };
    const double kdFrom = 1 + 2 * dc * fromDays, kdTo = 1 + 2 * dc * toDays;
    if (!(kdFrom > 0 && kdTo > 0))
        return HUGE_VAL; // the drag term has shrunk the orbit to nothing: no bound
    constexpr double degPerDayToRadPerSec = 1.0 / (DegPerRad * 86400.0);
    constexpr double perDaySq = 1.0 / (86400.0 * 86400.0);
    const double aMax = m_a * std::max(kdFrom, kdTo);
    const double aRate = std::fabs(2.0 * m_a * dc) / 86400.0; // km/s
    const double mRate = 360.0 * m_el.MeanMotion
        * maxAbsLinear(1 - 3 * dc * fromDays, 1 - 3 * dc * toDays) * degPerDayToRadPerSec; // rad/s
    const double mAccel
        = 3.0 * 360.0 * m_el.MeanMotion * std::fabs(dc) * perDaySq / DegPerRad; // rad/s^2
    const double qM = std::sqrt((1.0 + e) / (1.0 - e));
    const double qMM = 1.0 / ((1.0 - e) * (1.0 - e));
    const double rMax = aMax * (1.0 + e);
    const double pSpeed = aRate * (1.0 + e) + aMax * qM * mRate;
    const double pAccel
        = 2.0 * aRate * qM * mRate + aMax * qMM * mRate * mRate + aMax * qM * mAccel;

    const double drift = std::fabs(m_nodeRate) + std::fabs(m_perigeeRate);
    const double turn
        = drift * maxAbsLinear(1 - 7 * dc * fromDays, 1 - 7 * dc * toDays) * degPerDayToRadPerSec;
    const double turnAccel = drift * 7.0 * std::fabs(dc) * perDaySq / DegPerRad;
    const double satSpeed = pSpeed + turn * rMax;
    const double satAccel = pAccel + 2.0 * turn * pSpeed + (turn * turn + turnAccel) * rMax;

    const double earth = 361.0 * degPerDayToRadPerSec;
    const double bound = satAccel + 2.0 * earth * satSpeed + earth * earth * rMax;
    // Safety factor for rounding in the bound itself.
    return 1.25 * bound + 1e-4;
}

double SunEclipticLongitude(std::int32_t dayNumber, double dayFraction)
{
    // Days since 1989 December 31, 0h UT; mean anomaly and longitude not reduced.
    const double dSun = dayNumber + dayFraction - SunOriginDay;
    const double ms = SunMeanAnomaly0 + SunMeanAnomalyRate * dSun;
    const double l = SunMeanLongitude0 + 360.0 * dSun / TropicalYear;
    // Equation of centre, two terms.
    return l + 1.9151 * SinDeg(ms) + 0.02 * SinDeg(2.0 * ms);
}

bool InEarthShadow(const std::array<double, 3>& sat, const std::array<double, 3>& sunUnit, double orbitRadius)
{
    // Angle from the anti-sun direction and distance from the earth-sun axis.
    const double c = -(sat[0] * sunUnit[0] + sat[1] * sunUnit[1] + sat[2] * sunUnit[2]) / orbitRadius;
    // Day side (angle of 90 degrees or more, also a NaN): no shadow, and no
    // need for the distance from the axis.
    if (!(c > 0.0))
        return false;
    const double beta = ArcCosDeg(c);
    const double h = SinDeg(beta) * orbitRadius;
    return beta < 90.0 && h < ShadowRadius;
}

bool MayBeVisibleAt(double satElevation, double sunElevation)
{
    return satElevation > 0.0 && sunElevation < -10.0;
}

std::string_view IlluminationTextFor(bool mayBeVisible, bool inEclipse)
{
    // Eclipse wins over visibility.
    if (inEclipse)
        return IlluminationEclipse;
    if (mayBeVisible)
        return IlluminationVisible;
    return IlluminationSunlight;
}

SatelliteState ComputeSatellite(const ElementSet& elements, const Station& station, sys_seconds instant,
                                double tunedFreqKHz, const Attitude& attitude)
{
    return OrbitModel(elements, station, attitude).Compute(instant, tunedFreqKHz);
}

} // namespace aostrack
