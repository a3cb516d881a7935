#pragma once
// Geometry of the world map (equirectangular, longitude -180..180 across,
// latitude -90..90 up): lines and rings cut at the antimeridian, the sun's
// sub-point, day and night, and the land of the map.
#include "passes/GroundTrack.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace aostrack {

// A line split where it crosses the antimeridian: each crossing ends one
// piece at +-180 and starts the next at -+180 with the latitude interpolated
// between the two points, so no piece jumps more than 180 degrees.
std::vector<std::vector<GeoPoint>> SplitAtAntimeridian(const std::vector<GeoPoint>& line);

// A ring on the sphere (not closed, as FootprintRing gives it) as closed
// rings within the map, counter-clockwise: one ring, or two where it crosses
// the antimeridian; a ring around a pole closes along the map's top or bottom
// edge. Empty for a ring of no area (fewer than 3 distinct places).
std::vector<std::vector<GeoPoint>> MapPolygons(const std::vector<GeoPoint>& ring);

// The place where the sun stands at the zenith at the instant, from the
// engine's low-precision sun (a few hundredths of a degree).
GeoPoint SubsolarPoint(std::chrono::sys_seconds instant);
// Elevation of the sun (degrees) at place when it stands at the zenith of
// subsolar; no refraction.
double SunElevationAt(GeoPoint subsolar, GeoPoint place);

// Light on the ground for the night shading of the map. Twilight runs from
// sunset until the sun is TwilightDepth below the horizon (nautical
// twilight: the grey line of HF operators, and when the horizon fades).
enum class Daylight : std::uint8_t { Day, Twilight, Night };
inline constexpr double TwilightDepth = 12.0; // degrees
Daylight DaylightAt(GeoPoint subsolar, GeoPoint place);
// columns x rows cells covering the map row by row from the north-west
// corner, each judged at its centre.
std::vector<Daylight> DaylightGrid(GeoPoint subsolar, int columns, int rows);

// The land of the map: closed rings (outer coasts and lakes alike; filled
// with the odd-even rule).
struct LandData {
    std::vector<std::vector<GeoPoint>> Rings;
    std::size_t PointCount() const;
};
// Reads data/land-50m.bin as scripts/land-data.py writes it. Nothing, with
// the reason in *why, for a file of another kind, cut short, with trailing
// bytes, a ring of fewer than 4 points or a place off the map.
std::optional<LandData> DecodeLandData(std::string_view bytes, std::string* why = nullptr);

} // namespace aostrack
