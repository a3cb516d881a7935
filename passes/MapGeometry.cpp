#include "passes/MapGeometry.h"

#include "orbit/Engine.h"
#include "orbit/TimeAngle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace aostrack {

using namespace std::chrono;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double Rad = Pi / 180.0;
// Obliquity of the ecliptic as the engine's sun has it.
constexpr double Obliquity = 23.4406;
constexpr long long DayNumberUnixOffset = 2922; // 1978-01-01 is day 2922 after 1970-01-01

// Longitude step from a to b the short way round, -180..180.
double LongitudeStep(double a, double b)
{
    double d = std::fmod(b - a, 360.0);
    if (d > 180.0)
        d -= 360.0;
    else if (d < -180.0)
        d += 360.0;
    return d;
}

// Sutherland-Hodgman against one vertical line: keeps x >= edge (keepAbove)
// or x <= edge. A ring crosses a meridian at most twice (a small circle
// meets a great circle in two points), so no piece is lost.
std::vector<GeoPoint> ClipAt(const std::vector<GeoPoint>& polygon, double edge, bool keepAbove)
{
    std::vector<GeoPoint> out;
    const auto inside
        = [&](const GeoPoint& p) { return keepAbove ? p.Longitude >= edge : p.Longitude <= edge; };
    for (size_t i = 0; i < polygon.size(); ++i) {
        const GeoPoint& a = polygon[i];
        const GeoPoint& b = polygon[(i + 1) % polygon.size()];
        if (inside(a))
            out.push_back(a);
        if (inside(a) != inside(b)) {
            const double t = (edge - a.Longitude) / (b.Longitude - a.Longitude);
            out.push_back({ edge, a.Latitude + t * (b.Latitude - a.Latitude) });
        }
    }
    return out;
}

double SignedArea(const std::vector<GeoPoint>& ring)
{
    double sum = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const GeoPoint& a = ring[i];
        const GeoPoint& b = ring[(i + 1) % ring.size()];
        sum += a.Longitude * b.Latitude - b.Longitude * a.Latitude;
    }
    return sum / 2;
}

// A ring round a pole, which meets every meridian once: from where it
// crosses the antimeridian once round the map, then along the pole's edge.
std::vector<GeoPoint> PolarCap(const std::vector<GeoPoint>& ring, double poleLat, bool eastward)
{
    const size_t n = ring.size();
    size_t cut = 0; // the step from ring[cut] to the next crosses +-180
    while (cut < n && std::fabs(ring[(cut + 1) % n].Longitude - ring[cut].Longitude) <= 180.0)
        ++cut;
    const GeoPoint& a = ring[cut % n];
    const GeoPoint& b = ring[(cut + 1) % n];
    const double edge = eastward ? 180.0 : -180.0;
    const double bLon = b.Longitude + (eastward ? -360.0 : 360.0);
    const double t = bLon == a.Longitude ? 0.0 : (edge - a.Longitude) / (bLon - a.Longitude);
    const double lat = a.Latitude + t * (b.Latitude - a.Latitude);
    std::vector<GeoPoint> cap { { -edge, lat } };
    for (size_t k = 1; k <= n; ++k)
        cap.push_back(ring[(cut + k) % n]);
    cap.push_back({ edge, lat });
    // Along the pole in quarter turns, so that no edge spans more than half
    // the map (a reader of the ring would take it the other way round).
    for (int quarter = 0; quarter <= 4; ++quarter)
        cap.push_back({ edge - (edge > 0 ? 90.0 : -90.0) * quarter, poleLat });
    cap.erase(std::unique(cap.begin(), cap.end()), cap.end());
    if (SignedArea(cap) < 0)
        std::reverse(cap.begin(), cap.end());
    cap.push_back(cap.front());
    return cap;
}

std::uint32_t ReadU32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint32_t>(u[0]) | static_cast<std::uint32_t>(u[1]) << 8
        | static_cast<std::uint32_t>(u[2]) << 16 | static_cast<std::uint32_t>(u[3]) << 24;
}

std::int16_t ReadI16(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(u[0] | u[1] << 8));
}

std::optional<LandData> Refuse(std::string* why, std::string reason)
{
    if (why)
        *why = std::move(reason);
    return std::nullopt;
}

} // namespace

std::vector<std::vector<GeoPoint>> SplitAtAntimeridian(const std::vector<GeoPoint>& line)
{
    std::vector<std::vector<GeoPoint>> pieces;
    if (line.empty())
        return pieces;
    pieces.push_back({ line.front() });
    for (size_t i = 1; i < line.size(); ++i) {
        const GeoPoint& a = line[i - 1];
        const GeoPoint& b = line[i];
        const double d = b.Longitude - a.Longitude;
        if (std::fabs(d) > 180.0) {
            // Eastward over +180 (d < -180) or westward over -180.
            const double edge = d < 0 ? 180.0 : -180.0;
            const double bLon = b.Longitude + (d < 0 ? 360.0 : -360.0);
            const double t = (edge - a.Longitude) / (bLon - a.Longitude);
            const double lat = a.Latitude + t * (b.Latitude - a.Latitude);
            if (pieces.back().back() != GeoPoint { edge, lat })
                pieces.back().push_back({ edge, lat });
            if (pieces.back().size() < 2)
                pieces.pop_back();
            pieces.push_back({ { -edge, lat } });
        }
        if (pieces.back().back() != b)
            pieces.back().push_back(b);
    }
    if (pieces.back().size() < 2 && pieces.size() > 1)
        pieces.pop_back();
    return pieces;
}

std::vector<std::vector<GeoPoint>> MapPolygons(const std::vector<GeoPoint>& ring)
{
    std::vector<std::vector<GeoPoint>> out;
    if (ring.size() < 3)
        return out;
    // Unwrapped: longitudes continue past +-180 instead of jumping.
    std::vector<GeoPoint> polygon;
    polygon.reserve(ring.size() + 3);
    polygon.push_back(ring.front());
    double meanZ = std::sin(ring.front().Latitude * Rad);
    for (size_t i = 1; i < ring.size(); ++i) {
        const double lon
            = polygon.back().Longitude + LongitudeStep(ring[i - 1].Longitude, ring[i].Longitude);
        polygon.push_back({ lon, ring[i].Latitude });
        meanZ += std::sin(ring[i].Latitude * Rad);
    }
    const double end
        = polygon.back().Longitude + LongitudeStep(ring.back().Longitude, ring.front().Longitude);
    if (std::fabs(end - polygon.front().Longitude) > 180.0)
        return { PolarCap(ring, meanZ > 0 ? 90.0 : -90.0, end > polygon.front().Longitude) };
    double lo = polygon.front().Longitude, hi = lo;
    for (const GeoPoint& p : polygon) {
        lo = std::min(lo, p.Longitude);
        hi = std::max(hi, p.Longitude);
    }
    // The copies one turn east and west bring back what lies past an edge.
    for (const double shift : { -360.0, 0.0, 360.0 }) {
        if (hi + shift <= -180.0 || lo + shift >= 180.0)
            continue;
        std::vector<GeoPoint> moved = polygon;
        for (GeoPoint& p : moved)
            p.Longitude += shift;
        std::vector<GeoPoint> piece = ClipAt(ClipAt(moved, -180.0, true), 180.0, false);
        piece.erase(std::unique(piece.begin(), piece.end()), piece.end());
        while (piece.size() > 1 && piece.front() == piece.back())
            piece.pop_back();
        const double area = SignedArea(piece);
        if (piece.size() < 3 || std::fabs(area) < 1e-9)
            continue;
        if (area < 0)
            std::reverse(piece.begin(), piece.end());
        piece.push_back(piece.front());
        out.push_back(std::move(piece));
    }
    return out;
}

GeoPoint SubsolarPoint(sys_seconds instant)
{
    const sys_days day = floor<days>(instant);
    const auto dayNumber
        = static_cast<std::int32_t>(day.time_since_epoch().count() - DayNumberUnixOffset);
    const double dayFraction = static_cast<double>((instant - day).count()) / 86400.0;
    const double sunLon = SunEclipticLongitude(dayNumber, dayFraction) * Rad;
    const double eps = Obliquity * Rad;
    const double declination = std::asin(std::sin(sunLon) * std::sin(eps));
    const double rightAscension
        = std::atan2(std::sin(sunLon) * std::cos(eps), std::cos(sunLon)) / Rad;
    const double sidereal = SiderealAngle(dayNumber, dayFraction);
    return { LongitudeStep(0.0, rightAscension - sidereal), declination / Rad };
}

double SunElevationAt(GeoPoint subsolar, GeoPoint place)
{
    const double d = subsolar.Latitude * Rad, lat = place.Latitude * Rad;
    const double h = (place.Longitude - subsolar.Longitude) * Rad;
    const double s = std::sin(lat) * std::sin(d) + std::cos(lat) * std::cos(d) * std::cos(h);
    return std::asin(std::clamp(s, -1.0, 1.0)) / Rad;
}

Daylight DaylightAt(GeoPoint subsolar, GeoPoint place)
{
    const double elevation = SunElevationAt(subsolar, place);
    if (elevation >= 0)
        return Daylight::Day;
    return elevation >= -TwilightDepth ? Daylight::Twilight : Daylight::Night;
}

std::vector<Daylight> DaylightGrid(GeoPoint subsolar, int columns, int rows)
{
    std::vector<Daylight> grid;
    if (columns <= 0 || rows <= 0)
        return grid;
    grid.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
    // sin(elevation) = sin(lat) sin(dec) + cos(lat) cos(dec) cos(hour angle):
    // the hour-angle factor per column and the latitude terms per row.
    const double d = subsolar.Latitude * Rad;
    std::vector<double> cosHour(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c) {
        const double lon = -180.0 + (c + 0.5) * 360.0 / columns;
        cosHour[static_cast<size_t>(c)] = std::cos((lon - subsolar.Longitude) * Rad);
    }
    const double twilight = std::sin(-TwilightDepth * Rad);
    for (int r = 0; r < rows; ++r) {
        const double lat = (90.0 - (r + 0.5) * 180.0 / rows) * Rad;
        const double a = std::sin(lat) * std::sin(d), b = std::cos(lat) * std::cos(d);
        for (int c = 0; c < columns; ++c) {
            const double s = a + b * cosHour[static_cast<size_t>(c)];
            grid.push_back(
                s >= 0 ? Daylight::Day : (s >= twilight ? Daylight::Twilight : Daylight::Night));
        }
    }
    return grid;
}

std::size_t LandData::PointCount() const
{
    std::size_t n = 0;
    for (const auto& ring : Rings)
        n += ring.size();
    return n;
}

std::optional<LandData> DecodeLandData(std::string_view bytes, std::string* why)
{
    constexpr std::string_view magic = "AOSLAND1";
    constexpr size_t header = 16;
    if (bytes.size() < header || bytes.substr(0, magic.size()) != magic)
        return Refuse(why, "not a land file (it does not begin with AOSLAND1)");
    const std::uint64_t ringCount = ReadU32(bytes.data() + 8);
    const std::uint64_t pointCount = ReadU32(bytes.data() + 12);
    const std::uint64_t expected = header + 4 * ringCount + 4 * pointCount;
    if (bytes.size() != expected)
        return Refuse(why,
            "size " + std::to_string(bytes.size()) + " bytes where its header promises "
                + std::to_string(expected));
    LandData land;
    land.Rings.resize(ringCount);
    const char* sizes = bytes.data() + header;
    const char* points = sizes + 4 * ringCount;
    std::uint64_t used = 0;
    for (std::uint64_t r = 0; r < ringCount; ++r) {
        const std::uint64_t n = ReadU32(sizes + 4 * r);
        if (n < 4 || used + n > pointCount)
            return Refuse(why, "ring " + std::to_string(r + 1) + " has a bad point count");
        std::vector<GeoPoint>& ring = land.Rings[r];
        ring.resize(n);
        for (std::uint64_t i = 0; i < n; ++i, ++used) {
            const std::int16_t lon = ReadI16(points + 4 * used);
            const std::int16_t lat = ReadI16(points + 4 * used + 2);
            if (lon < -18000 || lon > 18000 || lat < -9000 || lat > 9000)
                return Refuse(why, "point " + std::to_string(used + 1) + " lies off the map");
            ring[i] = { lon / 100.0, lat / 100.0 };
        }
    }
    if (used != pointCount)
        return Refuse(why, "the rings hold fewer points than the header says");
    return land;
}

} // namespace aostrack
