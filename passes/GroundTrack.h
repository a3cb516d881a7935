#pragma once
// Where the satellite is over the earth: the sub-satellite point on WGS-84,
// the ground track over a span of time, and the footprint (the ground from
// which the satellite stands at 0 degrees elevation).
#include "orbit/Engine.h"

#include <array>
#include <chrono>
#include <vector>

namespace aostrack {

// A place on the map: degrees east (-180..180) and north (-90..90).
struct GeoPoint {
    double Longitude = 0;
    double Latitude = 0;
    bool operator==(const GeoPoint&) const = default;
};

// The sub-satellite point at one instant.
struct GroundPoint {
    std::chrono::sys_seconds Time {};
    double Latitude = 0; // degrees north, geodetic on WGS-84
    double Longitude = 0; // degrees east, above -180 to 180
    double HeightKm = 0; // above the WGS-84 ellipsoid
    double FootprintKm = 0; // footprint radius along the ground
    bool operator==(const GroundPoint&) const = default;
};

// The sphere the footprint is worked on: the equatorial radius.
inline constexpr double FootprintEarthRadius = 6378.137; // km
// Points of a footprint ring (the last is not repeated).
inline constexpr int FootprintRingPoints = 120;

// Geodetic latitude, longitude and height on WGS-84 of an earth-fixed
// position (km); the height goes into HeightKm, Time and FootprintKm stay 0.
GroundPoint GeodeticOf(const std::array<double, 3>& earthFixedKm);

// Angular radius of the footprint, degrees: acos(R / (R + h)); 0 for a
// height of 0 or below.
double FootprintAngle(double heightKm);
// The same along the ground, km.
double FootprintRadiusKm(double heightKm);

// The footprint around centre as a great-circle ring of `points` places,
// counter-clockwise seen from above, longitudes -180..180.
std::vector<GeoPoint> FootprintRing(
    GeoPoint centre, double heightKm, int points = FootprintRingPoints);

// The sub-satellite point of model at instant. Throws as OrbitModel::Compute.
GroundPoint GroundPointAt(const OrbitModel& model, std::chrono::sys_seconds instant);

// Points from `from` to `to` (both included when the step lands on it) every
// step. A step of 0 or less gives the point at `from` alone. Throws as
// OrbitModel::Compute (a set that decays within the span, say).
std::vector<GroundPoint> GroundTrackOf(const OrbitModel& model, std::chrono::sys_seconds from,
    std::chrono::sys_seconds to, std::chrono::seconds step);

// One revolution of the satellite, from the mean motion of its elements.
std::chrono::seconds OrbitalPeriod(const ElementSet& elements);

} // namespace aostrack
