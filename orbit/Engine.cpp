#include "orbit/Engine.h"

#include "orbit/ElementCheck.h"
#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

namespace aostrack {

using namespace std::chrono;

namespace {

// Model constants (Plan13 values; changing any of them changes the results
// that operators compare with their other tools).
constexpr double EarthRadius = 6378.137; // RE, equatorial radius, km
constexpr double GM = 398600.0; // km^3/s^2
constexpr double J2 = 0.00108263; // second zonal harmonic
constexpr double SecondsPerRadianDay = 13750.98708; // 86400 / 2pi, rounded as Plan13 has it
constexpr double EarthRateDegSec = 360.98564736629 / 86400.0;
constexpr double KeplerTolerance = 0.0001; // radians
// Equatorial radius squared and a polar radius of 6356.785 km squared, km^2.
constexpr double XX = 40680631.59076899;
constexpr double ZZ = 40408715.536225;
constexpr double GeodeticFactor = 0.993305525; // 1 - f^2-ish factor of the geodetic latitude
constexpr double PathLossConstant = 32.4; // dB, for MHz and km
// Sun: low-precision ephemeris counted from 1989 December 31, 0h UT (day number 4382).
constexpr double SunOriginDay = 4382.0;
constexpr double SunMeanAnomaly0 = 356.6349;
constexpr double SunMeanAnomalyRate = 0.98560027;
constexpr double SunMeanLongitude0 = 279.4033;
constexpr double TropicalYear = 365.242197;
constexpr double Obliquity = 23.4406;
constexpr double ShadowRadius = 6378.137; // cylindrical shadow, no penumbra

constexpr long long DayNumberUnixOffset = 2922; // 1978-01-01 is day 2922 after 1970-01-01

double Dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

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

// SGP4: the TEME state turned into the earth-fixed frame, and the mean
// elements for the orbit fields of the state.
struct OrbitModel::Sgp4Orbit {
    double Minutes = 0;
    Sgp4Result Result;
    double SiderealRad = 0;
    double Sg[3] = {}; // earth-fixed position, km
    double Vg[3] = {}; // earth-fixed velocity (relative to the rotating earth), km/s
};

namespace {
// Earth rotation rate, rad/s (the value of the TEME to earth-fixed turn).
constexpr double EarthRateRadSec = 7.292115146706979e-5;
constexpr double JulianDateOfUnixEpoch = 2440587.5;
} // namespace

std::string_view OrbitModelName(OrbitModelKind kind)
{
    return kind == OrbitModelKind::Sgp4 ? "SGP4" : "Plan13";
}

std::optional<OrbitModelKind> ParseOrbitModel(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "plan13")
        return OrbitModelKind::Plan13;
    if (lower == "sgp4")
        return OrbitModelKind::Sgp4;
    return std::nullopt;
}

OrbitModel::OrbitModel(const ElementSet& elements, const Station& station, const Attitude& attitude)
    : OrbitModel(elements, station, OrbitModelKind::Plan13, attitude)
{
}

OrbitModel::OrbitModel(const ElementSet& elements, const Station& station, OrbitModelKind kind,
    const Attitude& attitude)
    : m_el(elements)
    , m_station(station)
    , m_attitude(attitude)
    , m_kind(kind)
{
    if (!(elements.MeanMotion > 0.0) || !std::isfinite(elements.MeanMotion))
        throw OrbitError("no usable element set: mean motion is "
            + std::to_string(elements.MeanMotion) + " rev/day");
    if (!(elements.Eccentricity >= 0.0 && elements.Eccentricity < 1.0))
        throw OrbitError("no usable element set: eccentricity "
            + std::to_string(elements.Eccentricity) + " is not between 0 and 1");
    // The rest of the plausibility check, so that no caller's path (a
    // hand-edited set, another format) propagates absurd numbers.
    if (const auto fault = CheckElementSet(elements))
        throw OrbitError("no usable element set: " + fault->Field + " " + fault->Reason);

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
    // Whole days kept as a double: a damaged epoch must not overflow the
    // day difference of every propagation.
    m_epochDayWhole = std::trunc(epochDay);
    m_epochDayFrac = std::fabs(epochDay - m_epochDayWhole);
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

    if (kind == OrbitModelKind::Sgp4) {
        m_sgp4.emplace(elements);
        // The station on the WGS-84 ellipsoid itself (a = 6378.137 km,
        // f = 1 / 298.257223563): Plan13's polar radius is 33 m longer, which
        // would cost SGP4 some thousandths of a degree low in the sky.
        constexpr double a = 6378.137;
        constexpr double f = 1.0 / 298.257223563;
        constexpr double e2 = f * (2.0 - f);
        const double n = a / std::sqrt(1.0 - e2 * m_sinLat * m_sinLat);
        const double h = station.StationHeight;
        m_o[0] = (n + h) * m_cosLat * m_cosLon;
        m_o[1] = (n + h) * m_cosLat * m_sinLon;
        m_o[2] = (n * (1.0 - e2) + h) * m_sinLat;
    }
}

void OrbitModel::Propagate(sys_seconds instant, Orbit& o) const
{
    // The computation instant as day number and UT fraction of the day.
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const double hour = static_cast<double>(secOfDay / 3600);
    const double minute = static_cast<double>((secOfDay / 60) % 60);
    const double second = static_cast<double>(secOfDay % 60);
    o.CalcDayNumber
        = static_cast<std::int32_t>(day.time_since_epoch().count() - DayNumberUnixOffset);
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
    double Rv[3]; // R = Sg - O, km
    double Range; // |R|, km
    double R[3]; // R / |R|
    double Azimuth; // degrees
    double Elevation;
};

OrbitModel::Sight OrbitModel::SightOf(const Orbit& o) const
{
    return SightAt(o.Sg);
}

// Range vector, range and unit vector: the part of the sight every caller
// needs, shared so that the searches' sine of the elevation is Look's.
void OrbitModel::RangeOf(const double sg[3], Sight& v) const
{
    v.Rv[0] = sg[0] - m_o[0];
    v.Rv[1] = sg[1] - m_o[1];
    v.Rv[2] = sg[2] - m_o[2];
    v.Range = std::sqrt(v.Rv[0] * v.Rv[0] + v.Rv[1] * v.Rv[1] + v.Rv[2] * v.Rv[2]);
    v.R[0] = v.Rv[0] / v.Range;
    v.R[1] = v.Rv[1] / v.Range;
    v.R[2] = v.Rv[2] / v.Range;
}

OrbitModel::Sight OrbitModel::SightAt(const double sg[3]) const
{
    Sight v;
    RangeOf(sg, v);
    const double u = Dot(v.R, m_up);
    const double eComp = v.R[0] * m_east[0] + v.R[1] * m_east[1];
    const double nComp = Dot(v.R, m_north);
    v.Azimuth = ArcTan2Deg(eComp, nComp);
    v.Elevation = ArcSinDeg(u);
    return v;
}

SatelliteState OrbitModel::Compute(sys_seconds instant, double tunedFreqKHz) const
{
    if (m_sgp4)
        return ComputeSgp4(instant, tunedFreqKHz);
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
    double vel[3]
        = { vx * o.CX[0] + vy * o.CX[1], vx * o.CY[0] + vy * o.CY[1], vx * o.CZ[0] + vy * o.CZ[1] };

    // Antenna axis in the celestial frame.
    const double ax = m_axis[0], ay = m_axis[1], az = m_axis[2];
    const double ant[3] = { ax * o.CX[0] + ay * o.CX[1] + az * o.CX[2],
        ax * o.CY[0] + ay * o.CY[1] + az * o.CY[2], ax * o.CZ[0] + ay * o.CZ[1] + az * o.CZ[2] };

    const double vg[3]
        = { vel[0] * o.cosG - vel[1] * o.sinG, vel[0] * o.sinG + vel[1] * o.cosG, vel[2] };

    // Station velocity from the earth's rotation.
    const double vo[3] = { -m_o[1] * EarthRateDegSec, m_o[0] * EarthRateDegSec, 0.0 };

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
    const double sun[3] = { CosDeg(sunLon), sinSunLon * cosObliquity, sinSunLon * sinObliquity };
    const double sunG[3]
        = { sun[0] * o.cosG - sun[1] * o.sinG, sun[0] * o.sinG + sun[1] * o.cosG, sun[2] };
    s.SunElevation = ArcSinDeg(Dot(sunG, m_up));

    // Cylindrical earth shadow: on the night side and within one earth radius
    // of the earth-sun axis.
    s.InEclipse = InEarthShadow(
        { o.SAT[0], o.SAT[1], o.SAT[2] }, { sun[0], sun[1], sun[2] }, o.OrbitRadius);
    s.MayBeVisible = MayBeVisibleAt(s.SatElevation, s.SunElevation);
    s.IlluminationText = IlluminationTextFor(s.MayBeVisible, s.InEclipse);

    // Sun above the plane normal to the antenna axis.
    s.SunAngle = ArcSinDeg(-Dot(ant, sun));
    s.Illumination = s.InEclipse ? 0.0 : CosDeg(s.SunAngle);
    return s;
}

OrbitModel::Horizon OrbitModel::Look(sys_seconds instant) const
{
    if (m_sgp4) {
        const Sgp4Orbit o = PropagateSgp4(instant);
        const Sight sight = SightAt(o.Sg);
        Horizon hz;
        hz.SatAzimuth = sight.Azimuth;
        hz.SatElevation = sight.Elevation;
        hz.AboveHorizonKm = Dot(sight.Rv, m_up);
        return hz;
    }
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

OrbitModel::Horizon OrbitModel::LookAt(const std::array<double, 3>& earthFixed) const
{
    const Sight sight = SightAt(earthFixed.data());
    Horizon hz;
    hz.SatAzimuth = sight.Azimuth;
    hz.SatElevation = sight.Elevation;
    hz.AboveHorizonKm = Dot(sight.Rv, m_up);
    return hz;
}

OrbitModel::Height OrbitModel::HeightAt(const std::array<double, 3>& earthFixed) const
{
    Sight v;
    RangeOf(earthFixed.data(), v);
    return { Dot(v.R, m_up), Dot(v.Rv, m_up) };
}

double OrbitModel::ElapsedDays(sys_seconds instant) const
{
    if (m_sgp4)
        return m_sgp4->MinutesSinceEpoch(instant) / 1440.0;
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const auto dayNumber
        = static_cast<double>(day.time_since_epoch().count() - DayNumberUnixOffset);
    return (dayNumber - m_epochDayWhole) + secOfDay / 86400.0 - m_epochDayFrac;
}

double OrbitModel::MaxEarthFixedSpeed(double fromDays, double toDays) const
{
    if (m_sgp4)
        return MaxEarthFixedSpeedSgp4(fromDays, toDays);
    // Bound of |d Sg / dt| for the model's own motion: the orbit-plane
    // velocity (mean anomaly and drag shrink), the drift of node and perigee
    // turning the plane, and the earth's rotation under it.
    const double e = m_el.Eccentricity;
    auto maxAbsLinear
        = [&](double f0, double f1) { return std::max(std::fabs(f0), std::fabs(f1)); };
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
    const double turnRate
        = ((std::fabs(m_nodeRate) + std::fabs(m_perigeeRate)) * driftFactor + 361.0)
        * degPerDayToRadPerSec;
    const double bound = planeSpeed + turnRate * rMax;
    // Safety factor for rounding in the bound itself.
    return 1.25 * bound + 0.1;
}

double OrbitModel::MaxEarthFixedAcceleration(double fromDays, double toDays) const
{
    if (m_sgp4)
        return MaxEarthFixedAccelerationSgp4(fromDays, toDays);
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

OrbitModel::Sgp4Orbit OrbitModel::PropagateSgp4(sys_seconds instant) const
{
    Sgp4Orbit o;
    o.Minutes = m_sgp4->MinutesSinceEpoch(instant);
    o.Result = m_sgp4->Propagate(o.Minutes);
    const double jd
        = static_cast<double>(instant.time_since_epoch().count()) / 86400.0 + JulianDateOfUnixEpoch;
    o.SiderealRad = GreenwichSidereal1982(jd);
    const double c = std::cos(o.SiderealRad), s = std::sin(o.SiderealRad);
    const auto& r = o.Result.Teme.PositionKm;
    const auto& v = o.Result.Teme.VelocityKmPerSec;
    o.Sg[0] = c * r[0] + s * r[1];
    o.Sg[1] = -s * r[0] + c * r[1];
    o.Sg[2] = r[2];
    o.Vg[0] = c * v[0] + s * v[1] + EarthRateRadSec * o.Sg[1];
    o.Vg[1] = -s * v[0] + c * v[1] - EarthRateRadSec * o.Sg[0];
    o.Vg[2] = v[2];
    return o;
}

std::array<double, 3> OrbitModel::EarthFixedPosition(sys_seconds instant) const
{
    if (m_sgp4) {
        const Sgp4Orbit o = PropagateSgp4(instant);
        return { o.Sg[0], o.Sg[1], o.Sg[2] };
    }
    Orbit o;
    Propagate(instant, o);
    return { o.Sg[0], o.Sg[1], o.Sg[2] };
}

std::optional<TemeState> OrbitModel::Teme(sys_seconds instant) const
{
    if (!m_sgp4)
        return std::nullopt;
    return m_sgp4->Teme(m_sgp4->MinutesSinceEpoch(instant));
}

SatelliteState OrbitModel::ComputeSgp4(sys_seconds instant, double tunedFreqKHz) const
{
    const Sgp4Orbit o = PropagateSgp4(instant);
    const Sgp4MeanElements& mean = o.Result.Mean;
    const auto& teme = o.Result.Teme.PositionKm;

    SatelliteState s;
    const sys_days day = floor<days>(instant);
    s.CalcDayNumber
        = static_cast<std::int32_t>(day.time_since_epoch().count() - DayNumberUnixOffset);
    s.DayFraction = static_cast<double>((instant - day).count()) / 86400.0;
    s.ElapsedDays = o.Minutes / 1440.0;
    s.SiderealNow = o.SiderealRad * DegPerRad;
    s.MeanAnomaly = Norm360(mean.MeanAnomaly * DegPerRad);
    s.MAPhase = std::min<std::int32_t>(IntPart(256.0 * s.MeanAnomaly / 360.0), 255);
    s.OrbitNumber = IntPart(m_el.EpochRev + mean.RevolutionsSinceEpoch);
    s.NodeNow = Norm360(mean.Node * DegPerRad);
    s.PerigeeNow = Norm360(mean.ArgPerigee * DegPerRad);
    s.EccAnomaly = SolveKepler(s.MeanAnomaly, std::clamp(mean.Eccentricity, 0.0, 0.999999));
    s.OrbitRadius = std::sqrt(teme[0] * teme[0] + teme[1] * teme[1] + teme[2] * teme[2]);
    s.SatHeight = s.OrbitRadius - 6378.137;

    const Sight sight = SightAt(o.Sg);
    s.SatRange = sight.Range;
    s.SatAzimuth = sight.Azimuth;
    s.SatElevation = sight.Elevation;
    // The station does not move in the earth-fixed frame.
    s.RangeRate = Dot(sight.R, o.Vg);
    s.PathLoss = 20.0 * Log10(tunedFreqKHz / 1000.0) + PathLossConstant + 20.0 * Log10(sight.Range);

    // Sub-satellite point: geodetic latitude on WGS-84 by fixed-point
    // iteration (converges to well below a metre in a few rounds).
    {
        constexpr double a = 6378.137;
        constexpr double f = 1.0 / 298.257223563;
        constexpr double e2 = f * (2.0 - f);
        const double p = std::hypot(o.Sg[0], o.Sg[1]);
        double lat = std::atan2(o.Sg[2], p * (1.0 - e2));
        for (int round = 0; round < 5; ++round) {
            const double sinLat = std::sin(lat);
            const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
            lat = std::atan2(o.Sg[2] + n * e2 * sinLat, p);
        }
        s.SubSatLat = lat * DegPerRad;
        const double lon = std::atan2(o.Sg[1], o.Sg[0]) * DegPerRad;
        s.SubSatLon = lon <= -180.0 ? lon + 360.0 : lon;
    }

    // Sun: the same low-precision ephemeris; its equinox of date stands in
    // for TEME's (they differ by less than the ephemeris' own error).
    const double sunLon = SunEclipticLongitude(s.CalcDayNumber, s.DayFraction);
    static const double cosObliquity = CosDeg(Obliquity);
    static const double sinObliquity = SinDeg(Obliquity);
    const double sinSunLon = SinDeg(sunLon);
    const double sun[3] = { CosDeg(sunLon), sinSunLon * cosObliquity, sinSunLon * sinObliquity };
    const double cg = std::cos(o.SiderealRad), sg = std::sin(o.SiderealRad);
    const double sunG[3] = { cg * sun[0] + sg * sun[1], -sg * sun[0] + cg * sun[1], sun[2] };
    s.SunElevation = ArcSinDeg(Dot(sunG, m_up));
    s.InEclipse
        = InEarthShadow({ teme[0], teme[1], teme[2] }, { sun[0], sun[1], sun[2] }, s.OrbitRadius);
    s.MayBeVisible = MayBeVisibleAt(s.SatElevation, s.SunElevation);
    s.IlluminationText = IlluminationTextFor(s.MayBeVisible, s.InEclipse);

    // Antenna axis: the orbit-plane frame of the mean node, perigee and
    // inclination, as Plan13 builds it from its own.
    const double cw = std::cos(mean.ArgPerigee), sw = std::sin(mean.ArgPerigee);
    const double cq = std::cos(mean.Node), sq = std::sin(mean.Node);
    const double ci = std::cos(mean.Inclination), si = std::sin(mean.Inclination);
    const double cx[3] = { cw * cq - sw * ci * sq, -sw * cq - cw * ci * sq, si * sq };
    const double cy[3] = { cw * sq + sw * ci * cq, -sw * sq + cw * ci * cq, -si * cq };
    const double cz[3] = { sw * si, cw * si, ci };
    const double ant[3] = { Dot(m_axis, cx), Dot(m_axis, cy), Dot(m_axis, cz) };
    s.SunAngle = ArcSinDeg(-Dot(ant, sun));
    s.Illumination = s.InEclipse ? 0.0 : CosDeg(s.SunAngle);
    return s;
}

// The extremes of SGP4's orbit over a span of days: the least and greatest
// mean semi-major axis (km) and the greatest eccentricity with room for the
// periodic terms. Not Valid when the theory gives up within the span.
struct OrbitModel::Sgp4Extent {
    bool Valid = false;
    double AMin = 0, AMax = 0, EMax = 0;
};

OrbitModel::Sgp4Extent OrbitModel::ExtentSgp4(double fromDays, double toDays) const
{
    // SGP4's state is a Keplerian ellipse of the mean elements plus periodic
    // terms: the short-period J2 terms change radius and speed by about
    // 1.5 J2 / p^2 (below 0.2 %), the long-period J3 and lunar-solar terms
    // move the eccentricity by less than 0.001 near the earth and 0.02 in
    // deep space. The mean a and e change slowly (drag polynomial, secular
    // lunar-solar rates), so their extremes over the span are taken at its
    // ends and middle.
    Sgp4Extent x { true, 1e300, 0, 0 };
    for (const double d : { fromDays, (fromDays + toDays) / 2, toDays }) {
        Sgp4MeanElements mean;
        try {
            mean = m_sgp4->Propagate(d * 1440.0).Mean;
        } catch (const OrbitError&) {
            return {}; // the theory gives up within the span
        }
        x.AMin = std::min(x.AMin, mean.SemiMajorAxisEr * wgs72::EarthRadius);
        x.AMax = std::max(x.AMax, mean.SemiMajorAxisEr * wgs72::EarthRadius);
        x.EMax = std::max(x.EMax, mean.Eccentricity);
    }
    x.EMax = std::min(x.EMax + (m_sgp4->IsDeepSpace() ? 0.02 : 0.001), 0.999);
    return x;
}

double OrbitModel::MaxEarthFixedSpeedSgp4(double fromDays, double toDays) const
{
    // The earth-fixed velocity is the TEME velocity turned, less earth
    // rotation x radius, so |v_ef| <= |v_teme| + w_E r. An ellipse is fastest
    // at perigee, sqrt(mu / p) (1 + e), and its radius is at most a (1 + e);
    // every term gets 1 % more than the periodics can add.
    const Sgp4Extent x = ExtentSgp4(fromDays, toDays);
    if (!x.Valid)
        return std::numeric_limits<double>::infinity();
    const double pMin = x.AMin * (1.0 - x.EMax * x.EMax);
    const double speed = std::sqrt(wgs72::Mu / pMin) * (1.0 + x.EMax) * 1.01;
    const double rMax = x.AMax * (1.0 + x.EMax) * 1.01;
    const double bound = speed + EarthRateRadSec * rMax;
    // Safety factor for rounding in the bound itself, as for Plan13.
    return 1.25 * bound + 0.1;
}

double OrbitModel::MaxEarthFixedAccelerationSgp4(double fromDays, double toDays) const
{
    // The earth-fixed position is the TEME one turned at the earth's rate w
    // about z, r_ef = R r, so a_ef = R (a - 2 w x v + w x (w x r)) and
    //   |a_ef| <= |a| + 2 w |v| + w^2 r.
    // The TEME acceleration of SGP4's position, term by term:
    // - the ellipse of the mean elements run at the mean anomaly's rate:
    //   Kepler's mu / r^2, at most mu / r_min^2 with r_min = a_min (1 - e_max);
    //   the theory's mean motion differs from Kepler's by the J2 secular
    //   rate (below 0.2 %, below 0.4 % on the acceleration);
    // - the turning of that ellipse by the secular node and perigee rates
    //   (below 1e-6 rad/s): 2 rate v + rate^2 r, below 0.3 % of mu / r^2
    //   anywhere below the geostationary ring;
    // - the short-period J2 terms of radius and argument of latitude (below
    //   1 km at twice the orbital rate): (2 n)^2 x 1 km, below 0.1 %;
    // - the drag polynomial and the lunar-solar terms change over hours to
    //   months: their second derivatives are many orders smaller.
    // Together below 1 % of mu / r_min^2, taken as 5 %; r_min loses a further
    // 1 % for the periodic change of radius. A resonant deep-space set is
    // left without a bound: its mean motion is integrated in 720-minute steps,
    // and at each step the theory's velocity jumps a little, so no
    // acceleration bounds the change of its earth-fixed speed.
    if (m_sgp4->IsResonant())
        return std::numeric_limits<double>::infinity();
    const Sgp4Extent x = ExtentSgp4(fromDays, toDays);
    if (!x.Valid)
        return std::numeric_limits<double>::infinity();
    const double rMin = x.AMin * (1.0 - x.EMax) * 0.99;
    const double rMax = x.AMax * (1.0 + x.EMax) * 1.01;
    const double pMin = x.AMin * (1.0 - x.EMax * x.EMax);
    const double speed = std::sqrt(wgs72::Mu / pMin) * (1.0 + x.EMax) * 1.01;
    const double w = EarthRateRadSec * 1.0001;
    const double bound = 1.05 * wgs72::Mu / (rMin * rMin) + 2.0 * w * speed + w * w * rMax;
    // Safety factor for rounding in the bound itself, as for Plan13.
    return 1.25 * bound + 1e-4;
}

// The orbit's greatest radius over the span (km, with room for the periodic
// terms on SGP4); infinite where it cannot be bounded.
double OrbitModel::GreatestOrbitRadius(double fromDays, double toDays) const
{
    const double e = m_el.Eccentricity;
    if (m_sgp4) {
        const Sgp4Extent x = ExtentSgp4(fromDays, toDays);
        return x.Valid ? x.AMax * (1.0 + x.EMax) * 1.01 : HUGE_VAL;
    }
    // Plan13: r = A (1 - e cos E) with A = a (1 + 2 DC T), linear in time.
    const double kdFrom = 1 + 2 * m_dragFactor * fromDays, kdTo = 1 + 2 * m_dragFactor * toDays;
    if (!(kdFrom > 0 && kdTo > 0))
        return HUGE_VAL;
    return m_a * std::max(kdFrom, kdTo) * (1.0 + e);
}

double OrbitModel::LeastOrbitRadius(double fromDays, double toDays) const
{
    const double e = m_el.Eccentricity;
    if (m_sgp4) {
        const Sgp4Extent x = ExtentSgp4(fromDays, toDays);
        return x.Valid ? std::max(x.AMin * (1.0 - x.EMax) * 0.99, 0.0) : 0.0;
    }
    const double kdFrom = 1 + 2 * m_dragFactor * fromDays, kdTo = 1 + 2 * m_dragFactor * toDays;
    if (!(kdFrom > 0 && kdTo > 0))
        return 0.0;
    return m_a * std::min(kdFrom, kdTo) * (1.0 - e);
}

double OrbitModel::HorizonPlaneKm() const
{
    return Dot(m_o, m_up);
}

// The greatest angle (degrees, 0..90) between the orbit plane and the
// equator over the span; 90 where it cannot be bounded.
double OrbitModel::SteepestInclination(double fromDays, double toDays) const
{
    auto steepness = [](double inclinationDeg) {
        const double i = std::fabs(Norm360(inclinationDeg + 180.0) - 180.0);
        return std::min(i, 180.0 - i);
    };
    if (!m_sgp4)
        return steepness(m_el.Inclination); // Plan13 turns the plane only about the pole
    // SGP4's mean inclination changes linearly over days (lunar-solar
    // secular rates in deep space; constant near the earth), so its ends and
    // middle bound it; the periodic terms (short-period J2 below 0.1 deg,
    // lunar-solar ones below a few tenths) get a margin of 0.5 deg near the
    // earth and 2 deg in deep space.
    double steepest = 0;
    for (const double d : { fromDays, (fromDays + toDays) / 2, toDays }) {
        try {
            steepest = std::max(
                steepest, steepness(m_sgp4->Propagate(d * 1440.0).Mean.Inclination * DegPerRad));
        } catch (const OrbitError&) {
            return 90.0;
        }
    }
    return std::min(steepest + (m_sgp4->IsDeepSpace() ? 2.0 : 0.5), 90.0);
}

bool OrbitModel::NeverAboveHorizon(double fromDays, double toDays) const
{
    // Above the horizon plane means S . up > O . up. The satellite's unit
    // position has a z component of sin i sin u (u its argument of latitude,
    // the earth turning only about z), so its latitude never exceeds the
    // steepest inclination; the station's up vector has the station's
    // latitude. The angle between the two is then at least the difference of
    // the latitudes, and S . up <= r_max cos(that difference). Below the
    // plane by more than twice the skip's Kepler margin, the satellite stays
    // below at every second.
    const double e = m_el.Eccentricity;
    if (e >= 0.9)
        return false; // Newton's error bound too loose there
    const double stationLat = ArcSinDeg(std::fabs(m_up[2]));
    const double gap = stationLat - SteepestInclination(fromDays, toDays);
    if (!(gap > 0))
        return false;
    const double rMax = GreatestOrbitRadius(fromDays, toDays);
    const double marginKm = 2.0 * (1.0 + 4e-6 * rMax);
    return rMax * CosDeg(std::min(gap, 90.0)) < Dot(m_o, m_up) - marginKm;
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

bool InEarthShadow(
    const std::array<double, 3>& sat, const std::array<double, 3>& sunUnit, double orbitRadius)
{
    // Angle from the anti-sun direction and distance from the earth-sun axis.
    const double c
        = -(sat[0] * sunUnit[0] + sat[1] * sunUnit[1] + sat[2] * sunUnit[2]) / orbitRadius;
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

SatelliteState ComputeSatellite(const ElementSet& elements, const Station& station,
    sys_seconds instant, double tunedFreqKHz, const Attitude& attitude)
{
    return OrbitModel(elements, station, attitude).Compute(instant, tunedFreqKHz);
}

} // namespace aostrack
