#include "orbit/Engine.h"

#include "orbit/ElementCheck.h"
#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace aostrack {

using namespace std::chrono;

namespace {

constexpr double KeplerTolerance = 0.0001; // radians
// Sun: low-precision ephemeris counted from 1989 December 31, 0h UT (day number 4382).
constexpr double SunOriginDay = 4382.0;
constexpr double SunMeanAnomaly0 = 356.6349;
constexpr double SunMeanAnomalyRate = 0.98560027;
constexpr double SunMeanLongitude0 = 279.4033;
constexpr double TropicalYear = 365.242197;
constexpr double ShadowRadius = 6378.137; // cylindrical shadow, no penumbra

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

double KeplerResidualRad(double eccentricity)
{
    const double e = std::clamp(eccentricity, 0.0, 0.9);
    const double before = KeplerTolerance * (1.0 + e) / (1.0 - e);
    return e / (2.0 * (1.0 - e)) * before * before;
}

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

namespace {

// The element set, once checked, so that no caller's path (a hand-edited set,
// another format) propagates absurd numbers.
const ElementSet& Checked(const ElementSet& elements)
{
    if (!(elements.MeanMotion > 0.0) || !std::isfinite(elements.MeanMotion))
        throw OrbitError("no usable element set: mean motion is "
            + std::to_string(elements.MeanMotion) + " rev/day");
    if (!(elements.Eccentricity >= 0.0 && elements.Eccentricity < 1.0))
        throw OrbitError("no usable element set: eccentricity "
            + std::to_string(elements.Eccentricity) + " is not between 0 and 1");
    if (const auto fault = CheckElementSet(elements))
        throw OrbitError("no usable element set: " + fault->Field + " " + fault->Reason);
    return elements;
}

OrbitModel::Propagator MakePropagator(const ElementSet& elements, OrbitModelKind kind)
{
    if (kind == OrbitModelKind::Sgp4)
        return Sgp4Propagator(elements);
    return Plan13Propagator(elements);
}

} // namespace

OrbitModel::OrbitModel(const ElementSet& elements, const Station& station, OrbitModelKind kind,
    const Attitude& attitude)
    : m_el(Checked(elements))
    , m_station(station)
    , m_kind(kind)
    , m_propagator(MakePropagator(m_el, kind))
    , m_observer(station, attitude, kind == OrbitModelKind::Sgp4)
    , m_a(Plan13SemiMajorAxis(elements.MeanMotion))
{
}

SatelliteState OrbitModel::Compute(sys_seconds instant, double tunedFreqKHz) const
{
    return std::visit(
        [&](const auto& p) { return p.Compute(instant, tunedFreqKHz, m_observer); }, m_propagator);
}

std::array<double, 3> OrbitModel::EarthFixedPosition(sys_seconds instant) const
{
    return std::visit([&](const auto& p) { return p.EarthFixedPosition(instant); }, m_propagator);
}

std::optional<TemeState> OrbitModel::Teme(sys_seconds instant) const
{
    if (const auto* sgp4 = std::get_if<Sgp4Propagator>(&m_propagator))
        return sgp4->Teme(instant);
    return std::nullopt;
}

const Sgp4* OrbitModel::Sgp4Theory() const
{
    const auto* sgp4 = std::get_if<Sgp4Propagator>(&m_propagator);
    return sgp4 ? &sgp4->Theory() : nullptr;
}

OrbitModel::Horizon OrbitModel::Look(sys_seconds instant) const
{
    return LookAt(EarthFixedPosition(instant));
}

OrbitModel::Horizon OrbitModel::LookAt(const std::array<double, 3>& earthFixed) const
{
    const ObserverGeometry::Sight sight = m_observer.SightAt(earthFixed.data());
    Horizon hz;
    hz.SatAzimuth = sight.Azimuth;
    hz.SatElevation = sight.Elevation;
    hz.AboveHorizonKm = Dot(sight.Rv, m_observer.Up);
    return hz;
}

OrbitModel::Height OrbitModel::HeightAt(const std::array<double, 3>& earthFixed) const
{
    ObserverGeometry::Sight v;
    m_observer.RangeOf(earthFixed.data(), v);
    return { Dot(v.R, m_observer.Up), Dot(v.Rv, m_observer.Up), v.Range };
}

double OrbitModel::ElapsedDays(sys_seconds instant) const
{
    return std::visit([&](const auto& p) { return p.ElapsedDays(instant); }, m_propagator);
}

double OrbitModel::MaxEarthFixedSpeed(double fromDays, double toDays) const
{
    return std::visit(
        [&](const auto& p) { return p.MaxEarthFixedSpeed(fromDays, toDays); }, m_propagator);
}

double OrbitModel::MaxDirectionTurnRate(double fromDays, double toDays) const
{
    return std::visit(
        [&](const auto& p) { return p.MaxDirectionTurnRate(fromDays, toDays); }, m_propagator);
}

double OrbitModel::MaxEarthFixedAcceleration(double fromDays, double toDays) const
{
    return std::visit(
        [&](const auto& p) { return p.MaxEarthFixedAcceleration(fromDays, toDays); }, m_propagator);
}

std::optional<OrbitPlaneMotion> OrbitModel::PlaneMotion(double fromDays, double toDays) const
{
    return std::visit([&](const auto& p) { return p.PlaneMotion(fromDays, toDays); }, m_propagator);
}

std::array<double, 3> OrbitModel::EarthFixedOrbitNormal(sys_seconds instant) const
{
    return std::visit(
        [&](const auto& p) { return p.EarthFixedOrbitNormal(instant); }, m_propagator);
}

double OrbitModel::GreatestOrbitRadius(double fromDays, double toDays) const
{
    return std::visit(
        [&](const auto& p) { return p.GreatestOrbitRadius(fromDays, toDays); }, m_propagator);
}

double OrbitModel::LeastOrbitRadius(double fromDays, double toDays) const
{
    return std::visit(
        [&](const auto& p) { return p.LeastOrbitRadius(fromDays, toDays); }, m_propagator);
}

double OrbitModel::HorizonPlaneKm() const
{
    return m_observer.HorizonPlaneKm();
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
    const double stationLat = ArcSinDeg(std::fabs(m_observer.Up[2]));
    const double steepest = std::visit(
        [&](const auto& p) { return p.SteepestInclination(fromDays, toDays); }, m_propagator);
    const double gap = stationLat - steepest;
    if (!(gap > 0))
        return false;
    const double rMax = GreatestOrbitRadius(fromDays, toDays);
    const double marginKm = 2.0 * (1.0 + 4e-6 * rMax);
    return rMax * CosDeg(std::min(gap, 90.0)) < HorizonPlaneKm() - marginKm;
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
