#include "orbit/Propagators.h"

#include "orbit/Engine.h"
#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

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
// Equatorial radius squared and a polar radius of 6356.785 km squared, km^2.
constexpr double XX = 40680631.59076899;
constexpr double ZZ = 40408715.536225;
constexpr double GeodeticFactor = 0.993305525; // 1 - f^2-ish factor of the geodetic latitude
constexpr double PathLossConstant = 32.4; // dB, for MHz and km
constexpr double Obliquity = 23.4406; // of the sun's ecliptic, degrees

constexpr long long DayNumberUnixOffset = 2922; // 1978-01-01 is day 2922 after 1970-01-01

// Earth rotation rate, rad/s (the value of the TEME to earth-fixed turn).
constexpr double EarthRateRadSec = 7.292115146706979e-5;
constexpr double JulianDateOfUnixEpoch = 2440587.5;

double Dot(const double a[3], const double b[3])
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

} // namespace

ObserverGeometry::ObserverGeometry(const Station& station, const Attitude& attitude, bool wgs84)
{
    const double cosLat = CosDeg(station.StationLat);
    const double sinLat = SinDeg(station.StationLat);
    const double cosLon = CosDeg(station.StationLon);
    const double sinLon = SinDeg(station.StationLon);
    // Station on the ellipsoid and its horizon frame (geocentric earth-fixed).
    const double d = std::sqrt(XX * (cosLat * cosLat) + ZZ * (sinLat * sinLat));
    const double rx = XX / d + station.StationHeight;
    const double rz = ZZ / d + station.StationHeight;
    Up[0] = cosLat * cosLon;
    Up[1] = cosLat * sinLon;
    Up[2] = sinLat;
    East[0] = -sinLon;
    East[1] = cosLon;
    East[2] = 0.0;
    North[0] = -sinLat * cosLon;
    North[1] = -sinLat * sinLon;
    North[2] = cosLat;
    O[0] = rx * Up[0];
    O[1] = rx * Up[1];
    O[2] = rz * Up[2];

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
    Axis[0] = -cosAttLat * cosAttLon;
    Axis[1] = -cosAttLat * sinAttLon;
    Axis[2] = -sinAttLat;

    if (wgs84) {
        // The station on the WGS-84 ellipsoid itself (a = 6378.137 km,
        // f = 1 / 298.257223563).
        constexpr double a = 6378.137;
        constexpr double f = 1.0 / 298.257223563;
        constexpr double e2 = f * (2.0 - f);
        const double n = a / std::sqrt(1.0 - e2 * sinLat * sinLat);
        const double h = station.StationHeight;
        O[0] = (n + h) * cosLat * cosLon;
        O[1] = (n + h) * cosLat * sinLon;
        O[2] = (n * (1.0 - e2) + h) * sinLat;
    }
}

// Range vector, range and unit vector: the part of the sight every caller
// needs, shared so that the searches' sine of the elevation is Look's.
void ObserverGeometry::RangeOf(const double sg[3], Sight& v) const
{
    v.Rv[0] = sg[0] - O[0];
    v.Rv[1] = sg[1] - O[1];
    v.Rv[2] = sg[2] - O[2];
    v.Range = std::sqrt(v.Rv[0] * v.Rv[0] + v.Rv[1] * v.Rv[1] + v.Rv[2] * v.Rv[2]);
    v.R[0] = v.Rv[0] / v.Range;
    v.R[1] = v.Rv[1] / v.Range;
    v.R[2] = v.Rv[2] / v.Range;
}

ObserverGeometry::Sight ObserverGeometry::SightAt(const double sg[3]) const
{
    Sight v;
    RangeOf(sg, v);
    const double u = Dot(v.R, Up);
    const double eComp = v.R[0] * East[0] + v.R[1] * East[1];
    const double nComp = Dot(v.R, North);
    v.Azimuth = ArcTan2Deg(eComp, nComp);
    v.Elevation = ArcSinDeg(u);
    return v;
}

double ObserverGeometry::HorizonPlaneKm() const
{
    return Dot(O, Up);
}

double Plan13SemiMajorAxis(double meanMotion)
{
    const double nRadSec = meanMotion / SecondsPerRadianDay;
    return RealPower(GM / (nRadSec * nRadSec), 1.0 / 3.0);
}

Plan13Propagator::Plan13Propagator(const ElementSet& elements)
    : m_el(elements)
{
    m_cosI = CosDeg(elements.Inclination);
    m_sinI = SinDeg(elements.Inclination);
    m_meanMotionDegDay = 360.0 * elements.MeanMotion;
    m_meanMotionDegSec = m_meanMotionDegDay / 86400.0;
    m_a = Plan13SemiMajorAxis(elements.MeanMotion);
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
}

// State of the orbit at one instant (the engine's UpdateOrbitState results).
struct Plan13Propagator::Orbit {
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

void Plan13Propagator::Propagate(sys_seconds instant, Orbit& o, bool positionOnly) const
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
    if (!positionOnly)
        o.OrbitNumber = IntPart(m_el.MeanMotion * t + m_el.EpochRev);
    o.A = m_a * kd;
    o.B = m_b * kd;

    o.G = SiderealAngle(o.CalcDayNumber, o.DayFraction);
    o.cosG = CosDeg(-o.G);
    o.sinG = SinDeg(-o.G);

    o.E = SolveKepler(o.M, m_el.Eccentricity);
    o.sinE = SinDeg(o.E);
    o.cosE = CosDeg(o.E);
    if (!positionOnly) {
        o.MAPhase = IntPart(256.0 * o.M / 360.0);
        o.OrbitRadius = o.A * (1.0 - m_el.Eccentricity * o.cosE);
    }

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

std::array<double, 3> Plan13Propagator::EarthFixedOrbitNormal(sys_seconds instant) const
{
    // Propagate's node and sidereal angle, without the Kepler solution.
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const double dayNumber
        = static_cast<double>(day.time_since_epoch().count() - DayNumberUnixOffset);
    const double dayFraction = static_cast<double>(secOfDay) / 86400.0;
    const double t = (dayNumber - m_epochDayWhole) + dayFraction - m_epochDayFrac;
    const double kdp = 1.0 - 7.0 * (m_dragFactor * t / 2.0);
    const double node = m_el.RAAN + m_nodeRate * t * kdp;
    const double g = SiderealAngle(dayNumber, dayFraction);
    // The third column of Propagate's plane-to-celestial matrix, turned by -G.
    const double nx = m_sinI * SinDeg(node), ny = -m_sinI * CosDeg(node);
    const double cg = CosDeg(-g), sg = SinDeg(-g);
    return { nx * cg - ny * sg, nx * sg + ny * cg, m_cosI };
}

std::optional<OrbitPlaneMotion> Plan13Propagator::PlaneMotion(double fromDays, double toDays) const
{
    // The normal keeps its angle i from the pole and turns about it at the
    // earth's rate less the node's: at most their sum. The node's rate
    // carries the drag factor's growth, d/dt (t kdp) = 1 - 7 DC t.
    const double reach = std::max(std::fabs(fromDays), std::fabs(toDays));
    const double nodeDegDay = std::fabs(m_nodeRate) * (1.0 + 7.0 * std::fabs(m_dragFactor) * reach);
    const double degDay = 360.98564736629 * 1.0001 + nodeDegDay;
    return OrbitPlaneMotion { degDay * (std::numbers::pi / 180.0) / 86400.0, 0.0 };
}

// The station-to-satellite vector and the look angles along it.
std::array<double, 3> Plan13Propagator::EarthFixedPosition(sys_seconds instant) const
{
    Orbit o;
    Propagate(instant, o, true);
    return { o.Sg[0], o.Sg[1], o.Sg[2] };
}

SatelliteState Plan13Propagator::Compute(
    sys_seconds instant, double tunedFreqKHz, const ObserverGeometry& observer) const
{
    Orbit o;
    Propagate(instant, o, false);
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
    const double ax = observer.Axis[0], ay = observer.Axis[1], az = observer.Axis[2];
    const double ant[3] = { ax * o.CX[0] + ay * o.CX[1] + az * o.CX[2],
        ax * o.CY[0] + ay * o.CY[1] + az * o.CY[2], ax * o.CZ[0] + ay * o.CZ[1] + az * o.CZ[2] };

    const double vg[3]
        = { vel[0] * o.cosG - vel[1] * o.sinG, vel[0] * o.sinG + vel[1] * o.cosG, vel[2] };

    // Station velocity from the earth's rotation.
    const double vo[3] = { -observer.O[1] * EarthRateDegSec, observer.O[0] * EarthRateDegSec, 0.0 };

    // Range vector and look angles.
    const ObserverGeometry::Sight sight = observer.SightAt(o.Sg);
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
    s.SunElevation = ArcSinDeg(Dot(sunG, observer.Up));

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

double Plan13Propagator::ElapsedDays(sys_seconds instant) const
{
    const sys_days day = floor<days>(instant);
    const long long secOfDay = (instant - day).count();
    const auto dayNumber
        = static_cast<double>(day.time_since_epoch().count() - DayNumberUnixOffset);
    return (dayNumber - m_epochDayWhole) + secOfDay / 86400.0 - m_epochDayFrac;
}

double Plan13Propagator::MaxEarthFixedSpeed(double fromDays, double toDays) const
{
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

double Plan13Propagator::MaxDirectionTurnRate(double fromDays, double toDays) const
{
    // In the orbit plane the position (A (cos E - e), B sin E) turns at
    // (x y' - y x') / r^2 = A B M' / r^2 (A and B scale alike with drag, so
    // their change adds nothing), at most M' sqrt(1 - e^2) / (1 - e)^2 at
    // perigee. The plane's drift (node, perigee) and the earth's turn add at
    // most their own rates; 1 % more for rounding.
    const double e = m_el.Eccentricity;
    const double dc = m_dragFactor;
    auto maxAbsLinear
        = [&](double f0, double f1) { return std::max(std::fabs(f0), std::fabs(f1)); };
    const double mRate = 360.0 * m_el.MeanMotion
        * maxAbsLinear(1 - 3 * dc * fromDays, 1 - 3 * dc * toDays); // deg/day
    const double driftFactor = maxAbsLinear(1 - 7 * dc * fromDays, 1 - 7 * dc * toDays);
    const double inPlane = mRate * std::sqrt(1.0 - e * e) / ((1.0 - e) * (1.0 - e));
    const double degDay
        = inPlane + (std::fabs(m_nodeRate) + std::fabs(m_perigeeRate)) * driftFactor + 361.0;
    return 1.01 * degDay / (DegPerRad * 86400.0);
}

double Plan13Propagator::MaxEarthFixedAcceleration(double fromDays, double toDays) const
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

// Plan13: r = A (1 - e cos E) with A = a (1 + 2 DC T), linear in time.
double Plan13Propagator::GreatestOrbitRadius(double fromDays, double toDays) const
{
    const double kdFrom = 1 + 2 * m_dragFactor * fromDays, kdTo = 1 + 2 * m_dragFactor * toDays;
    if (!(kdFrom > 0 && kdTo > 0))
        return HUGE_VAL;
    return m_a * std::max(kdFrom, kdTo) * (1.0 + m_el.Eccentricity);
}

double Plan13Propagator::LeastOrbitRadius(double fromDays, double toDays) const
{
    const double kdFrom = 1 + 2 * m_dragFactor * fromDays, kdTo = 1 + 2 * m_dragFactor * toDays;
    if (!(kdFrom > 0 && kdTo > 0))
        return 0.0;
    return m_a * std::min(kdFrom, kdTo) * (1.0 - m_el.Eccentricity);
}

namespace {
// The angle (degrees, 0..90) between the equator and a plane of that
// inclination.
double Steepness(double inclinationDeg)
{
    const double i = std::fabs(Norm360(inclinationDeg + 180.0) - 180.0);
    return std::min(i, 180.0 - i);
}
} // namespace

double Plan13Propagator::SteepestInclination(double, double) const
{
    return Steepness(m_el.Inclination); // Plan13 turns the plane only about the pole
}

// SGP4: the TEME state turned into the earth-fixed frame, and the mean
// elements for the orbit fields of the state.
struct Sgp4Propagator::Orbit {
    double Minutes = 0;
    Sgp4Result Result;
    double SiderealRad = 0;
    double Sg[3] = {}; // earth-fixed position, km
    double Vg[3] = {}; // earth-fixed velocity (relative to the rotating earth), km/s
};

Sgp4Propagator::Sgp4Propagator(const ElementSet& elements)
    : m_sgp4(elements)
    , m_epochRev(elements.EpochRev)
{
}

namespace {

// TEME turned into the earth-fixed frame by the sidereal angle.
struct EarthTurn {
    double SiderealRad = 0;
    double Cos = 0, Sin = 0;
    explicit EarthTurn(sys_seconds instant)
        : SiderealRad(
            GreenwichSidereal1982(static_cast<double>(instant.time_since_epoch().count()) / 86400.0
                + JulianDateOfUnixEpoch))
        , Cos(std::cos(SiderealRad))
        , Sin(std::sin(SiderealRad))
    {
    }
    void Turn(const std::array<double, 3>& r, double sg[3]) const
    {
        sg[0] = Cos * r[0] + Sin * r[1];
        sg[1] = -Sin * r[0] + Cos * r[1];
        sg[2] = r[2];
    }
};

} // namespace

Sgp4Propagator::Orbit Sgp4Propagator::Propagate(sys_seconds instant) const
{
    Orbit o;
    o.Minutes = m_sgp4.MinutesSinceEpoch(instant);
    o.Result = m_sgp4.Propagate(o.Minutes);
    const EarthTurn turn(instant);
    o.SiderealRad = turn.SiderealRad;
    const double c = turn.Cos, s = turn.Sin;
    const auto& v = o.Result.Teme.VelocityKmPerSec;
    turn.Turn(o.Result.Teme.PositionKm, o.Sg);
    o.Vg[0] = c * v[0] + s * v[1] + EarthRateRadSec * o.Sg[1];
    o.Vg[1] = -s * v[0] + c * v[1] - EarthRateRadSec * o.Sg[0];
    o.Vg[2] = v[2];
    return o;
}

std::array<double, 3> Sgp4Propagator::EarthFixedPosition(sys_seconds instant) const
{
    std::array<double, 3> sg;
    EarthTurn(instant).Turn(m_sgp4.PositionKm(m_sgp4.MinutesSinceEpoch(instant)), sg.data());
    return sg;
}

TemeState Sgp4Propagator::Teme(sys_seconds instant) const
{
    return m_sgp4.Teme(m_sgp4.MinutesSinceEpoch(instant));
}

double Sgp4Propagator::ElapsedDays(sys_seconds instant) const
{
    return m_sgp4.MinutesSinceEpoch(instant) / 1440.0;
}

SatelliteState Sgp4Propagator::Compute(
    sys_seconds instant, double tunedFreqKHz, const ObserverGeometry& observer) const
{
    const Orbit o = Propagate(instant);
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
    s.OrbitNumber = IntPart(m_epochRev + mean.RevolutionsSinceEpoch);
    s.NodeNow = Norm360(mean.Node * DegPerRad);
    s.PerigeeNow = Norm360(mean.ArgPerigee * DegPerRad);
    s.EccAnomaly = SolveKepler(s.MeanAnomaly, std::clamp(mean.Eccentricity, 0.0, 0.999999));
    s.OrbitRadius = std::sqrt(teme[0] * teme[0] + teme[1] * teme[1] + teme[2] * teme[2]);
    s.SatHeight = s.OrbitRadius - 6378.137;

    const ObserverGeometry::Sight sight = observer.SightAt(o.Sg);
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
    s.SunElevation = ArcSinDeg(Dot(sunG, observer.Up));
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
    const double ant[3]
        = { Dot(observer.Axis, cx), Dot(observer.Axis, cy), Dot(observer.Axis, cz) };
    s.SunAngle = ArcSinDeg(-Dot(ant, sun));
    s.Illumination = s.InEclipse ? 0.0 : CosDeg(s.SunAngle);
    return s;
}

// The extremes of SGP4's orbit over a span of days: the least and greatest
// mean semi-major axis (km) and the greatest eccentricity with room for the
// periodic terms. Not Valid when the theory gives up within the span.
// The extremes of SGP4's orbit over a span of days: the least and greatest
// mean semi-major axis (km) and the greatest eccentricity with room for the
// periodic terms. Not Valid when the theory gives up within the span.
struct Sgp4Propagator::Extent {
    bool Valid = false;
    double AMin = 0, AMax = 0, EMax = 0;
};

Sgp4Propagator::Extent Sgp4Propagator::ExtentOver(double fromDays, double toDays) const
{
    // SGP4's state is a Keplerian ellipse of the mean elements plus periodic
    // terms: the short-period J2 terms change radius and speed by about
    // 1.5 J2 / p^2 (below 0.2 %), the long-period J3 and lunar-solar terms
    // move the eccentricity by less than 0.001 near the earth and 0.02 in
    // deep space. The mean a and e change slowly (drag polynomial, secular
    // lunar-solar rates), so their extremes over the span are taken at its
    // ends and middle.
    Extent x { true, 1e300, 0, 0 };
    for (const double d : { fromDays, (fromDays + toDays) / 2, toDays }) {
        Sgp4MeanElements mean;
        try {
            mean = m_sgp4.MeanElements(d * 1440.0);
        } catch (const OrbitError&) {
            return {}; // the theory gives up within the span
        }
        x.AMin = std::min(x.AMin, mean.SemiMajorAxisEr * wgs72::EarthRadius);
        x.AMax = std::max(x.AMax, mean.SemiMajorAxisEr * wgs72::EarthRadius);
        x.EMax = std::max(x.EMax, mean.Eccentricity);
    }
    x.EMax = std::min(x.EMax + (m_sgp4.IsDeepSpace() ? 0.02 : 0.001), 0.999);
    return x;
}

double Sgp4Propagator::MaxEarthFixedSpeed(double fromDays, double toDays) const
{
    // The earth-fixed velocity is the TEME velocity turned, less earth
    // rotation x radius, so |v_ef| <= |v_teme| + w_E r. An ellipse is fastest
    // at perigee, sqrt(mu / p) (1 + e), and its radius is at most a (1 + e);
    // every term gets 1 % more than the periodics can add.
    const Extent x = ExtentOver(fromDays, toDays);
    if (!x.Valid)
        return std::numeric_limits<double>::infinity();
    const double pMin = x.AMin * (1.0 - x.EMax * x.EMax);
    const double speed = std::sqrt(wgs72::Mu / pMin) * (1.0 + x.EMax) * 1.01;
    const double rMax = x.AMax * (1.0 + x.EMax) * 1.01;
    const double bound = speed + EarthRateRadSec * rMax;
    // Safety factor for rounding in the bound itself, as for Plan13.
    return 1.25 * bound + 0.1;
}

double Sgp4Propagator::MaxEarthFixedAcceleration(double fromDays, double toDays) const
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
    if (m_sgp4.IsResonant())
        return std::numeric_limits<double>::infinity();
    const Extent x = ExtentOver(fromDays, toDays);
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

double Sgp4Propagator::MaxDirectionTurnRate(double fromDays, double toDays) const
{
    // Near the earth the direction of the position turns as the mean
    // ellipse's does, at most n sqrt(1 - e^2) / (1 - e)^2 at perigee (n from
    // the least semi-major axis), give or take the J2 secular rates (below
    // 0.3 %) and the short-period term of the argument of latitude (about
    // J2 / p^2 at twice the orbital rate, below 0.3 %), taken as 5 %; the
    // earth's turn adds its own rate. Deep space is left to the speed bound.
    if (m_sgp4.IsDeepSpace())
        return HUGE_VAL;
    const Extent x = ExtentOver(fromDays, toDays);
    if (!x.Valid)
        return HUGE_VAL;
    const double e = x.EMax;
    const double n = std::sqrt(wgs72::Mu / (x.AMin * x.AMin * x.AMin)); // rad/s
    return 1.05 * n * std::sqrt(1.0 - e * e) / ((1.0 - e) * (1.0 - e)) + EarthRateRadSec * 1.0001;
}

// The orbit's greatest radius over the span (km, with room for the periodic
// terms on SGP4); infinite where it cannot be bounded.
// With room for the periodic terms; infinite where it cannot be bounded.
double Sgp4Propagator::GreatestOrbitRadius(double fromDays, double toDays) const
{
    const Extent x = ExtentOver(fromDays, toDays);
    return x.Valid ? x.AMax * (1.0 + x.EMax) * 1.01 : HUGE_VAL;
}

double Sgp4Propagator::LeastOrbitRadius(double fromDays, double toDays) const
{
    const Extent x = ExtentOver(fromDays, toDays);
    return x.Valid ? std::max(x.AMin * (1.0 - x.EMax) * 0.99, 0.0) : 0.0;
}

std::array<double, 3> Sgp4Propagator::EarthFixedOrbitNormal(sys_seconds instant) const
{
    const double node = m_sgp4.MeanNode(m_sgp4.MinutesSinceEpoch(instant));
    const double i = m_sgp4.Inclination();
    const std::array<double, 3> teme { std::sin(i) * std::sin(node), -std::sin(i) * std::cos(node),
        std::cos(i) };
    std::array<double, 3> n;
    EarthTurn(instant).Turn(teme, n.data());
    return n;
}

std::optional<OrbitPlaneMotion> Sgp4Propagator::PlaneMotion(double fromDays, double toDays) const
{
    // Near the earth every position is r U with U in the plane of node
    // xnode and inclination xinc, which the short-period J2 terms move from
    // the mean plane by dOmega = 1.5 k cos i sin 2u and di = 1.5 k cos i
    // sin i cos 2u, k = J2 / (2 p^2) in earth radii. The unit normal moves
    // by 1 per radian of i and by sin i per radian of Omega, in directions
    // at right angles, so along the straight path in (i, Omega) the true
    // normal stays within sqrt(di^2 + (sin i + |di|)^2 dOmega^2) <= A (sin i
    // + A) of the mean one, A = 1.5 k |cos i|, with p at least a_min (1 -
    // e_max^2). (The positions stray from the mean plane by up to A sin i.)
    // The mean plane turns about the pole at the earth's rate less the
    // node's drift. Deep space is left out: the lunar-solar terms tilt its
    // plane by more.
    if (m_sgp4.IsDeepSpace())
        return std::nullopt;
    const Extent x = ExtentOver(fromDays, toDays);
    if (!x.Valid)
        return std::nullopt;
    const double pEr = x.AMin * (1.0 - x.EMax * x.EMax) / wgs72::EarthRadius;
    const double k = 0.5 * wgs72::J2 / (pEr * pEr);
    const double i = m_sgp4.Inclination();
    const double tilt = 1.5 * k * std::fabs(std::cos(i));
    // Safety factor for the bound's own rounding and the periodic terms'
    // share of p, as for the other bounds.
    const double wobble = 1.25 * tilt * (std::fabs(std::sin(i)) + tilt);
    const double reachMin = std::max(std::fabs(fromDays), std::fabs(toDays)) * 1440.0;
    const double turn = EarthRateRadSec * 1.0001 + m_sgp4.MeanNodeRateBound(reachMin) / 60.0;
    return OrbitPlaneMotion { turn, wobble + 1e-9 };
}

double Sgp4Propagator::SteepestInclination(double fromDays, double toDays) const
{
    // SGP4's mean inclination changes linearly over days (lunar-solar
    // secular rates in deep space; constant near the earth), so its ends and
    // middle bound it; the periodic terms (short-period J2 below 0.1 deg,
    // lunar-solar ones below a few tenths) get a margin of 0.5 deg near the
    // earth and 2 deg in deep space.
    double steepest = 0;
    for (const double d : { fromDays, (fromDays + toDays) / 2, toDays }) {
        try {
            steepest = std::max(
                steepest, Steepness(m_sgp4.MeanElements(d * 1440.0).Inclination * DegPerRad));
        } catch (const OrbitError&) {
            return 90.0;
        }
    }
    return std::min(steepest + (m_sgp4.IsDeepSpace() ? 2.0 : 0.5), 90.0);
}

} // namespace aostrack
