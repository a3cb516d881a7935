#pragma once
// The orbit engine: a Plan13-style Keplerian ellipse with secular J2 drift of
// node and perigee and a linear drag term, worked in degrees, or the SGP4/SDP4
// theory the element sets are fitted with; both with a low-precision sun and a
// cylindrical earth shadow.
#include "orbit/ElementSet.h"
#include "orbit/OrbitError.h"
#include "orbit/Propagators.h"
#include "orbit/SatelliteState.h"
#include "orbit/Sgp4.h"
#include "orbit/Station.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace aostrack {

// Which theory predicts the satellite. Plan13 is the default; SGP4 is the
// element producers' own model (kilometres closer, seconds earlier AOS).
enum class OrbitModelKind { Plan13, Sgp4 };
// "Plan13" or "SGP4", as the data panel shows it.
std::string_view OrbitModelName(OrbitModelKind kind);
// "plan13"/"PLAN13" or "sgp4"/"SGP4" (any case, blanks around ignored);
// nothing for any other text.
std::optional<OrbitModelKind> ParseOrbitModel(std::string_view text);

// Everything about the satellite at the UTC instant (whole seconds). The
// path loss is for tunedFreqKHz (0: frequency term left out).
// Throws OrbitError for an element set it cannot propagate. Works out the
// constants of the element set and station at every call: a caller that asks
// about the same satellite again and again holds an OrbitModel instead.
SatelliteState ComputeSatellite(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds instant, double tunedFreqKHz = 0, const Attitude& attitude = {});

// Eccentric anomaly (degrees) for mean anomaly meanAnomaly (degrees, 0..360)
// by Newton's method from E = M to 0.0001 rad. When Newton has not settled
// after KeplerMaxRounds (very eccentric orbits), a bracketed solution is
// returned instead. Throws OrbitError for an eccentricity outside 0..1 or a
// mean anomaly that is not a number.
inline constexpr int KeplerMaxRounds = 50;
double SolveKepler(double meanAnomaly, double eccentricity);
// A bound (radians) of the error SolveKepler leaves in E below e = 0.9.
// Newton stops on a step below its tolerance t; E is then within
// t (1 + e) / (1 - e) of the root (the slope 1 - e cos E lies between 1 - e
// and 1 + e), and that last step leaves at most e / (2 (1 - e)) times the
// square of it (the curvature e sin E over twice the slope): 3e-10 rad at
// e = 0.1, 1.6e-5 rad at e = 0.9.
double KeplerResidualRad(double eccentricity);

// Sun: ecliptic longitude (degrees, not reduced) of the low-precision
// ephemeris at day number + UT day fraction.
double SunEclipticLongitude(std::int32_t dayNumber, double dayFraction);

// Cylindrical earth shadow: sat is the satellite's geocentric position (km),
// sunUnit the unit vector toward the sun, orbitRadius |sat|. True on the night
// side within 6378.137 km of the earth-sun axis.
bool InEarthShadow(
    const std::array<double, 3>& sat, const std::array<double, 3>& sunUnit, double orbitRadius);
// Visible by eye: satellite above 0 deg while the sun is below -10 deg.
bool MayBeVisibleAt(double satElevation, double sunElevation);
// One of the three illumination texts (static storage); eclipse wins over
// visibility.
std::string_view IlluminationTextFor(bool mayBeVisible, bool inEclipse);

// The same computation with the per-satellite and per-station constants
// worked out once, for stepped searches. Results are identical to
// ComputeSatellite's for the same inputs. This is the seam the pass searches
// take: a propagator of either theory (the satellite's earth-fixed position
// and the bounds of its motion) seen from the station's horizon frame; the
// look angles are worked out once, whatever the theory.
class OrbitModel {
public:
    // Plan13. Throws OrbitError for an element set it cannot propagate.
    OrbitModel(const ElementSet& elements, const Station& station, const Attitude& attitude = {});
    // The chosen theory. Throws OrbitError (Sgp4Error for a set SGP4 refuses
    // at its epoch) for an element set it cannot propagate.
    OrbitModel(const ElementSet& elements, const Station& station, OrbitModelKind kind,
        const Attitude& attitude = {});

    // Every field of the state. With SGP4 the earth-fixed frame is TEME
    // turned by the IAU 1982 mean sidereal angle (UT1 taken as UTC, no polar
    // motion); throws Sgp4Error when the theory cannot reach the instant
    // (decayed, say).
    SatelliteState Compute(std::chrono::sys_seconds instant, double tunedFreqKHz = 0) const;

    // The satellite in the earth-fixed frame (km; x toward Greenwich on the
    // equator, z toward the north pole), the position the sub-satellite point
    // and the look angles come from. Throws as Compute does.
    std::array<double, 3> EarthFixedPosition(std::chrono::sys_seconds instant) const;

    // SGP4 only (nothing for Plan13): the TEME position and velocity.
    std::optional<TemeState> Teme(std::chrono::sys_seconds instant) const;
    OrbitModelKind Kind() const { return m_kind; }

    // Azimuth and elevation (degrees, the same values Compute gives) plus the
    // height of the satellite above the station's horizon plane
    // (km, (S - O) . Up), for searches; skips the sun and the rates.
    struct Horizon {
        double SatElevation = 0;
        double SatAzimuth = 0;
        double AboveHorizonKm = 0;
    };
    Horizon Look(std::chrono::sys_seconds instant) const;
    // Look's values from a position EarthFixedPosition gave, without a second
    // propagation.
    Horizon LookAt(const std::array<double, 3>& earthFixed) const;
    // For stepped searches that need neither angle: the sine of the elevation
    // (ArcSinDeg of it is Look's SatElevation, bit for bit, so the two have
    // the same sign) and the height above the horizon plane.
    struct Height {
        double SinElevation = 0;
        double AboveHorizonKm = 0;
        double RangeKm = 0;
    };
    Height HeightAt(const std::array<double, 3>& earthFixed) const;
    // HeightAt's AboveHorizonKm alone (the same value), without the range.
    double AboveHorizonKmAt(const std::array<double, 3>& earthFixed) const
    {
        const double* o = m_observer.O;
        const double* up = m_observer.Up;
        return (earthFixed[0] - o[0]) * up[0] + (earthFixed[1] - o[1]) * up[1]
            + (earthFixed[2] - o[2]) * up[2];
    }

    // Upper bound (km/s) of how fast the satellite can move in the earth-fixed
    // frame between the epoch-relative days fromDays and toDays.
    double MaxEarthFixedSpeed(double fromDays, double toDays) const;
    // Upper bound (km/s^2) of the satellite's acceleration in the earth-fixed
    // frame over the same span: how fast that speed itself can change.
    // Infinite (no bound) where none can be shown: a resonant deep-space set
    // on SGP4, or a span the theory cannot reach.
    double MaxEarthFixedAcceleration(double fromDays, double toDays) const;
    // Upper bound (rad/s) of how fast the direction of the earth-fixed
    // position turns over the span; infinite where none is known.
    double MaxDirectionTurnRate(double fromDays, double toDays) const;

    // True when the satellite cannot come above the station's horizon plane
    // at any time between the epoch-relative days fromDays and toDays: its
    // orbit plane is too flat to carry it high enough in latitude. False
    // whenever that cannot be shown.
    bool NeverAboveHorizon(double fromDays, double toDays) const;

    // Least and greatest distance of the satellite from the earth's centre
    // over the span (km): 0 and infinity where they cannot be bounded.
    double LeastOrbitRadius(double fromDays, double toDays) const;
    double GreatestOrbitRadius(double fromDays, double toDays) const;
    // The station's horizon plane: its upward unit normal and its distance
    // from the earth's centre (km), so that the height above it is
    // S . Zenith() - HorizonPlaneKm().
    std::array<double, 3> Zenith() const
    {
        return { m_observer.Up[0], m_observer.Up[1], m_observer.Up[2] };
    }
    double HorizonPlaneKm() const;
    // The station itself, earth-fixed, km.
    std::array<double, 3> StationKm() const
    {
        return { m_observer.O[0], m_observer.O[1], m_observer.O[2] };
    }
    // How the plane that holds the orbit (within PlaneMotion's wobble) moves
    // over the span; nothing where no such plane is known (SGP4 in deep
    // space). Its earth-fixed unit normal at an instant is the second.
    std::optional<OrbitPlaneMotion> PlaneMotion(double fromDays, double toDays) const;
    std::array<double, 3> EarthFixedOrbitNormal(std::chrono::sys_seconds instant) const;

    // Days from the epoch to the instant (negative before it).
    double ElapsedDays(std::chrono::sys_seconds instant) const;

    // Semi-major axis of the element set without drag, km.
    double SemiMajorAxis() const { return m_a; }
    // The SGP4 theory of the set; null for Plan13.
    const Sgp4* Sgp4Theory() const;
    const ElementSet& Elements() const { return m_el; }
    const Station& StationPosition() const { return m_station; }

    using Propagator = std::variant<Plan13Propagator, Sgp4Propagator>;

private:
    ElementSet m_el;
    Station m_station;
    OrbitModelKind m_kind = OrbitModelKind::Plan13;
    Propagator m_propagator;
    ObserverGeometry m_observer;
    double m_a = 0; // Plan13's semi-major axis, for either theory
};

} // namespace aostrack
