#pragma once
// The ground track, footprint and station as GeoJSON (RFC 7946) for mapping
// tools: WGS-84 longitude and latitude in degrees, lines and rings cut at the
// antimeridian, outer rings counter-clockwise.
#include "orbit/Station.h"
#include "passes/GroundTrack.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace aostrack {

struct GroundTrackExport {
    std::string Name;
    std::int64_t CatalogNumber = 0;
    std::vector<GroundPoint> Track; // the first point's footprint is written
    Station Where;
};

// A FeatureCollection of three features: "GroundTrack" (MultiLineString,
// properties Name, CatalogNumber, Start, End), "Footprint" at the first
// point (Polygon, or MultiPolygon where it crosses the antimeridian; null
// geometry without a track or for a height of 0 or below; properties Name,
// CatalogNumber, Time, Latitude, Longitude, HeightKm, FootprintKm) and
// "Station" (Point, property HeightKm). Times are "YYYY-MM-DDTHH:MM:SSZ".
std::string GroundTrackGeoJson(const GroundTrackExport& data);

} // namespace aostrack
