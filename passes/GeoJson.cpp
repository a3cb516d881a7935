#include "passes/GeoJson.h"

#include "orbit/TimeText.h"
#include "passes/MapGeometry.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace aostrack {

using namespace std::chrono;

namespace {

// Fixed decimals with a full stop whatever the C locale says; a tenth of a
// metre is more than any map needs.
std::string Number(double value, int decimals = 6)
{
    if (!std::isfinite(value))
        return "null";
    char text[64];
    const auto done
        = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, done.ptr);
}

std::string Quoted(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string Position(const GeoPoint& p)
{
    return "[" + Number(p.Longitude) + "," + Number(p.Latitude) + "]";
}

std::string PositionList(const std::vector<GeoPoint>& points)
{
    std::string out = "[";
    for (size_t i = 0; i < points.size(); ++i)
        out += (i ? "," : "") + Position(points[i]);
    return out + "]";
}

std::string Feature(const std::string& geometry, const std::string& properties)
{
    return "{\"type\":\"Feature\",\"geometry\":" + geometry + ",\"properties\":{" + properties
        + "}}";
}

std::string TrackGeometry(const std::vector<GroundPoint>& track)
{
    std::vector<GeoPoint> line;
    line.reserve(track.size());
    for (const GroundPoint& g : track)
        line.push_back({ g.Longitude, g.Latitude });
    std::string lines;
    for (const auto& piece : SplitAtAntimeridian(line)) {
        // A lone point (a track of one step) is still a line of two positions.
        lines += (lines.empty() ? "" : ",")
            + PositionList(
                piece.size() == 1 ? std::vector<GeoPoint> { piece[0], piece[0] } : piece);
    }
    return "{\"type\":\"MultiLineString\",\"coordinates\":[" + lines + "]}";
}

std::string FootprintGeometry(const GroundPoint& at)
{
    const auto polygons = MapPolygons(FootprintRing({ at.Longitude, at.Latitude }, at.HeightKm));
    if (polygons.empty())
        return "null";
    if (polygons.size() == 1)
        return "{\"type\":\"Polygon\",\"coordinates\":[" + PositionList(polygons[0]) + "]}";
    std::string parts;
    for (const auto& ring : polygons)
        parts += (parts.empty() ? "[" : ",[") + PositionList(ring) + "]";
    return "{\"type\":\"MultiPolygon\",\"coordinates\":[" + parts + "]}";
}

} // namespace

std::string GroundTrackGeoJson(const GroundTrackExport& data)
{
    const std::string who = "\"Name\":" + Quoted(data.Name)
        + ",\"CatalogNumber\":" + std::to_string(data.CatalogNumber);
    std::string features;
    if (!data.Track.empty()) {
        const GroundPoint& first = data.Track.front();
        features += Feature(TrackGeometry(data.Track),
            "\"Feature\":\"GroundTrack\"," + who
                + ",\"Start\":" + Quoted(UtcInstantString(first.Time))
                + ",\"End\":" + Quoted(UtcInstantString(data.Track.back().Time)));
        features += ","
            + Feature(FootprintGeometry(first),
                "\"Feature\":\"Footprint\"," + who
                    + ",\"Time\":" + Quoted(UtcInstantString(first.Time)) + ",\"Latitude\":"
                    + Number(first.Latitude) + ",\"Longitude\":" + Number(first.Longitude)
                    + ",\"HeightKm\":" + Number(first.HeightKm, 3)
                    + ",\"FootprintKm\":" + Number(first.FootprintKm, 3));
        features += ",";
    }
    double lon = std::fmod(data.Where.StationLon, 360.0);
    if (lon > 180.0)
        lon -= 360.0;
    else if (lon < -180.0)
        lon += 360.0;
    features += Feature(
        "{\"type\":\"Point\",\"coordinates\":" + Position({ lon, data.Where.StationLat }) + "}",
        "\"Feature\":\"Station\",\"HeightKm\":" + Number(data.Where.StationHeight, 3));
    return "{\"type\":\"FeatureCollection\",\"features\":[" + features + "]}\n";
}

} // namespace aostrack
