#pragma once
// The two theories behind OrbitModel and the station they are seen from.
// Each propagator answers the same questions of one element set: where the
// satellite is in the earth-fixed frame at an instant, its full state seen
// from the station, and how far out and how fast it can go over a span of
// days. The station's horizon frame and the look angles are worked out once,
// in ObserverGeometry, for both.
#include "orbit/ElementSet.h"
#include "orbit/SatelliteState.h"
#include "orbit/Sgp4.h"
#include "orbit/Station.h"

#include <array>
#include <chrono>
#include <optional>

namespace aostrack {

// The station's horizon frame (unit vectors up, east, north and its position
// O, km, all earth-fixed) and the antenna axis in the orbit-plane frame.
struct ObserverGeometry {
    // On Plan13's ellipsoid, or on WGS-84 itself when wgs84 is set (SGP4:
    // Plan13's polar radius is 33 m longer, which would cost SGP4 some
    // thousandths of a degree low in the sky).
    ObserverGeometry(const Station& station, const Attitude& attitude, bool wgs84);

    // The station-to-satellite vector and the look angles along it.
    struct Sight {
        double Rv[3]; // R = S - O, km
        double Range; // |R|, km
        double R[3]; // R / |R|
        double Azimuth; // degrees
        double Elevation;
    };
    // Range vector, range and unit vector only: the part every caller needs,
    // shared so that the searches' sine of the elevation is SightAt's.
    void RangeOf(const double earthFixed[3], Sight& v) const;
    Sight SightAt(const double earthFixed[3]) const;
    // Distance of the horizon plane from the earth's centre, km.
    double HorizonPlaneKm() const;

    double Up[3] = {}, East[3] = {}, North[3] = {}, O[3] = {};
    double Axis[3] = {};
};

// How the plane holding the orbit moves over a span of days: its normal
// turns about the pole no faster than TurnRadPerSec (keeping its angle from
// the pole), and every position lies within WobbleRad of the plane.
struct OrbitPlaneMotion {
    double TurnRadPerSec = 0;
    double WobbleRad = 0;
};

// Semi-major axis (km) of a mean motion (rev/day) by Kepler's third law, with
// Plan13's constants.
double Plan13SemiMajorAxis(double meanMotion);

// A Keplerian ellipse with secular J2 drift of node and perigee and a linear
// drag term, worked in degrees.
class Plan13Propagator {
public:
    explicit Plan13Propagator(const ElementSet& elements);
    std::array<double, 3> EarthFixedPosition(std::chrono::sys_seconds instant) const;
    SatelliteState Compute(std::chrono::sys_seconds instant, double tunedFreqKHz,
        const ObserverGeometry& observer) const;
    double ElapsedDays(std::chrono::sys_seconds instant) const;
    double MaxEarthFixedSpeed(double fromDays, double toDays) const;
    double MaxEarthFixedAcceleration(double fromDays, double toDays) const;
    double MaxDirectionTurnRate(double fromDays, double toDays) const;
    double LeastOrbitRadius(double fromDays, double toDays) const;
    double GreatestOrbitRadius(double fromDays, double toDays) const;
    // The greatest angle (degrees, 0..90) between orbit plane and equator.
    double SteepestInclination(double fromDays, double toDays) const;
    // The orbit plane's unit normal in the earth-fixed frame: every position
    // lies in that plane. It turns about the pole as the earth turns under
    // the drifting node, keeping its angle from the pole.
    std::array<double, 3> EarthFixedOrbitNormal(std::chrono::sys_seconds instant) const;
    std::optional<OrbitPlaneMotion> PlaneMotion(double fromDays, double toDays) const;

private:
    struct Orbit;
    // positionOnly leaves out what the earth-fixed position does not need
    // (orbit number, phase, radius).
    void Propagate(std::chrono::sys_seconds instant, Orbit& o, bool positionOnly) const;

    ElementSet m_el;
    double m_cosI = 0, m_sinI = 0;
    double m_meanMotionDegDay = 0, m_meanMotionDegSec = 0;
    double m_a = 0, m_b = 0;
    double m_nodeRate = 0, m_perigeeRate = 0;
    double m_epochDayWhole = 0; // epoch day number truncated toward zero
    double m_epochDayFrac = 0; // FracPart of the epoch day number
    double m_dragFactor = 0; // DC = -2 Decay / (3 MeanMotion)
};

// SGP4/SDP4, its TEME frame turned into the earth-fixed one by the IAU 1982
// mean sidereal angle (UT1 taken as UTC, no polar motion).
class Sgp4Propagator {
public:
    // Throws Sgp4Error for a set the theory refuses at its epoch.
    explicit Sgp4Propagator(const ElementSet& elements);
    std::array<double, 3> EarthFixedPosition(std::chrono::sys_seconds instant) const;
    SatelliteState Compute(std::chrono::sys_seconds instant, double tunedFreqKHz,
        const ObserverGeometry& observer) const;
    double ElapsedDays(std::chrono::sys_seconds instant) const;
    double MaxEarthFixedSpeed(double fromDays, double toDays) const;
    double MaxEarthFixedAcceleration(double fromDays, double toDays) const;
    double MaxDirectionTurnRate(double fromDays, double toDays) const;
    double LeastOrbitRadius(double fromDays, double toDays) const;
    double GreatestOrbitRadius(double fromDays, double toDays) const;
    double SteepestInclination(double fromDays, double toDays) const;
    // Near the earth: the mean orbit plane, about which the short-period
    // terms tilt the true one a little; nothing in deep space, where the
    // lunar-solar terms move it further.
    std::array<double, 3> EarthFixedOrbitNormal(std::chrono::sys_seconds instant) const;
    std::optional<OrbitPlaneMotion> PlaneMotion(double fromDays, double toDays) const;

    TemeState Teme(std::chrono::sys_seconds instant) const;
    const Sgp4& Theory() const { return m_sgp4; }

private:
    struct Orbit;
    Orbit Propagate(std::chrono::sys_seconds instant) const;
    struct Extent;
    Extent ExtentOver(double fromDays, double toDays) const;

    Sgp4 m_sgp4;
    double m_epochRev = 0;
};

} // namespace aostrack
