#include "passes/GroundTrack.h"

#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cmath>

namespace aostrack {

using namespace std::chrono;

namespace {
constexpr double Wgs84A = 6378.137; // km
constexpr double Wgs84F = 1.0 / 298.257223563;
constexpr double Wgs84E2 = Wgs84F * (2.0 - Wgs84F);
constexpr double Pi = 3.14159265358979323846;

double WrapLongitude(double lon)
{
    lon = std::fmod(lon + 180.0, 360.0);
    if (lon < 0)
        lon += 360.0;
    return lon - 180.0;
}
} // namespace

GroundPoint GeodeticOf(const std::array<double, 3>& r)
{
    // Fixed-point iteration of the geodetic latitude, as the SGP4 engine
    // does for its sub-satellite point (well below a metre after five rounds).
    const double p = std::hypot(r[0], r[1]);
    double lat = std::atan2(r[2], p * (1.0 - Wgs84E2));
    for (int round = 0; round < 5; ++round) {
        const double sinLat = std::sin(lat);
        const double n = Wgs84A / std::sqrt(1.0 - Wgs84E2 * sinLat * sinLat);
        lat = std::atan2(r[2] + n * Wgs84E2 * sinLat, p);
    }
    const double sinLat = std::sin(lat);
    GroundPoint g;
    g.Latitude = lat * DegPerRad;
    const double lon = std::atan2(r[1], r[0]) * DegPerRad;
    g.Longitude = lon <= -180.0 ? lon + 360.0 : lon;
    // Distance along the normal, stable at the poles as well as the equator.
    g.HeightKm
        = p * std::cos(lat) + r[2] * sinLat - Wgs84A * std::sqrt(1.0 - Wgs84E2 * sinLat * sinLat);
    return g;
}

double FootprintAngle(double heightKm)
{
    if (!(heightKm > 0))
        return 0;
    return std::acos(FootprintEarthRadius / (FootprintEarthRadius + heightKm)) * 180.0 / Pi;
}

double FootprintRadiusKm(double heightKm)
{
    return FootprintAngle(heightKm) * Pi / 180.0 * FootprintEarthRadius;
}

std::vector<GeoPoint> FootprintRing(GeoPoint centre, double heightKm, int points)
{
    const double rho = FootprintAngle(heightKm) * Pi / 180.0;
    const double lat0 = centre.Latitude * Pi / 180.0;
    const double sinLat0 = std::sin(lat0), cosLat0 = std::cos(lat0);
    const double sinRho = std::sin(rho), cosRho = std::cos(rho);
    std::vector<GeoPoint> ring;
    ring.reserve(static_cast<size_t>(std::max(points, 0)));
    for (int k = 0; k < points; ++k) {
        // Bearings north, west, south, east: counter-clockwise on the map.
        const double bearing = -2.0 * Pi * k / points;
        const double sinLat
            = std::clamp(sinLat0 * cosRho + cosLat0 * sinRho * std::cos(bearing), -1.0, 1.0);
        const double dLon
            = std::atan2(std::sin(bearing) * sinRho * cosLat0, cosRho - sinLat0 * sinLat);
        ring.push_back({ WrapLongitude(centre.Longitude + dLon * 180.0 / Pi),
            std::asin(sinLat) * 180.0 / Pi });
    }
    return ring;
}

GroundPoint GroundPointAt(const OrbitModel& model, sys_seconds instant)
{
    GroundPoint g = GeodeticOf(model.EarthFixedPosition(instant));
    g.Time = instant;
    g.FootprintKm = FootprintRadiusKm(g.HeightKm);
    return g;
}

std::vector<GroundPoint> GroundTrackOf(
    const OrbitModel& model, sys_seconds from, sys_seconds to, seconds step)
{
    std::vector<GroundPoint> track;
    if (step <= seconds::zero()) {
        track.push_back(GroundPointAt(model, from));
        return track;
    }
    for (sys_seconds t = from; t <= to; t += step)
        track.push_back(GroundPointAt(model, t));
    return track;
}

seconds OrbitalPeriod(const ElementSet& elements)
{
    if (!(elements.MeanMotion > 0))
        return seconds { 86400 };
    return seconds { static_cast<long long>(std::lround(86400.0 / elements.MeanMotion)) };
}

} // namespace aostrack
