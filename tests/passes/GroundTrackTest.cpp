// The world map's geometry: sub-satellite points against skyfield, the
// footprint by its formula and its rings at the equator, round a pole and
// across the date line, the sun's sub-point on known dates, and the GeoJSON
// that mapping tools read.
#include "passes/GroundTrack.h"
#include "TleFile.h"
#include "passes/GeoJson.h"
#include "passes/MapGeometry.h"

#include "orbit/TimeText.h"
#include "orbit/Tle.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <fstream>
#include <sstream>

namespace aostrack {
namespace {

using namespace std::chrono;

constexpr double Pi = 3.14159265358979323846;

ElementSet Elements(const std::string& name)
{
    static const TleLoad load
        = LoadTleFile(std::string(AOSTRACK_SOURCE_DIR) + "/tests/orbit/data/amateur.txt");
    for (int i = 1; i <= load.SatCount; ++i)
        if (load.Table.Record(i).SatName == name)
            return load.Table.Record(i).Elements;
    throw std::runtime_error("no " + name);
}

double LonDifference(double a, double b)
{
    return std::fabs(std::remainder(a - b, 360.0));
}

// Great-circle angle between two places, degrees.
double Angle(GeoPoint a, GeoPoint b)
{
    const double r = Pi / 180;
    const double c = std::sin(a.Latitude * r) * std::sin(b.Latitude * r)
        + std::cos(a.Latitude * r) * std::cos(b.Latitude * r)
            * std::cos((a.Longitude - b.Longitude) * r);
    return std::acos(std::clamp(c, -1.0, 1.0)) / r;
}

TEST(GroundTrack, SubSatellitePointsAgreeWithSkyfield)
{
    // skyfield's wgs84.subpoint works through GCRS and ITRS with UT1;
    // the engine turns TEME by the mean sidereal angle with UT1 = UTC.
    // 0.01 degrees and 0.1 km cover the difference.
    std::ifstream csv(
        std::string(AOSTRACK_SOURCE_DIR) + "/tests/passes/data/skyfield_groundtrack.csv");
    std::string line;
    std::getline(csv, line);
    int rows = 0;
    while (std::getline(csv, line)) {
        std::stringstream fields(line);
        std::string name, cell;
        std::getline(fields, name, ',');
        double v[4];
        for (double& x : v) {
            std::getline(fields, cell, ',');
            x = std::stod(cell);
        }
        const OrbitModel model(Elements(name), Station {}, OrbitModelKind::Sgp4);
        const GroundPoint g = GroundPointAt(model, sys_seconds { seconds { (long long)v[0] } });
        SCOPED_TRACE(line);
        EXPECT_NEAR(g.Latitude, v[1], 0.01);
        EXPECT_LT(LonDifference(g.Longitude, v[2]), 0.01);
        EXPECT_NEAR(g.HeightKm, v[3], 0.1);
        ++rows;
    }
    EXPECT_EQ(rows, 24);
}

TEST(GroundTrack, PointsAgreeWithTheEnginesSubSatellitePoint)
{
    // SGP4: the same WGS-84 conversion as the data panel's. Plan13's panel
    // takes the geodetic latitude of the ground below the geocentric
    // direction, which differs from the normal through the satellite by at
    // most e^2 sin(2 lat) / 2 x h / (R + h): 0.02 degrees up to 1000 km,
    // more for AO-10's apogee.
    struct Case {
        const char* name;
        OrbitModelKind kind;
        double tolerance;
    } cases[] = {
        { "ISS (ZARYA)", OrbitModelKind::Sgp4, 1e-9 },
        { "PHASE 3B (AO-10)", OrbitModelKind::Sgp4, 1e-9 },
        { "ISS (ZARYA)", OrbitModelKind::Plan13, 0.02 },
        { "PHASE 3B (AO-10)", OrbitModelKind::Plan13, 0.2 },
    };
    const sys_seconds noon = sys_days { 2024y / February / 12 } + 12h;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OrbitModel model(Elements(c.name), Station { 48.1, 11.6, 0.5 }, c.kind);
        const auto track = GroundTrackOf(model, noon, noon + 6h, 20min);
        ASSERT_EQ(track.size(), 19u);
        for (const GroundPoint& g : track) {
            const SatelliteState s = model.Compute(g.Time);
            EXPECT_NEAR(g.Latitude, s.SubSatLat, c.tolerance);
            EXPECT_LT(LonDifference(g.Longitude, s.SubSatLon), c.tolerance);
            EXPECT_NEAR(g.FootprintKm, FootprintRadiusKm(g.HeightKm), 1e-9);
        }
    }
}

TEST(GroundTrack, FootprintRadiusFromHeight)
{
    // acos(R / (R + h)) on R = 6378.137 km, worked by hand.
    struct Case {
        double heightKm, angle, km;
    } cases[] = {
        { 0, 0, 0 }, // on the ground: no footprint
        { -5, 0, 0 }, // a decayed or bad height is no footprint either
        { 400, 19.782069, 2202.1298 }, // the ISS
        { 800, 27.308339, 3039.9504 }, // a sun-synchronous orbit
        { 35786, 81.299512, 9050.2203 }, // geostationary
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(FootprintAngle(c.heightKm), c.angle, 1e-6) << c.heightKm;
        EXPECT_NEAR(FootprintRadiusKm(c.heightKm), c.km, 1e-4) << c.heightKm;
    }
}

// What every ring of the map must be: closed, on the map, counter-clockwise,
// no edge longer than half the map.
void ExpectMapRing(const std::vector<GeoPoint>& ring)
{
    ASSERT_GE(ring.size(), 4u);
    EXPECT_EQ(ring.front(), ring.back());
    double area = 0;
    for (size_t i = 0; i + 1 < ring.size(); ++i) {
        EXPECT_LE(std::fabs(ring[i].Longitude), 180.0);
        EXPECT_LE(std::fabs(ring[i].Latitude), 90.0);
        EXPECT_LE(std::fabs(ring[i + 1].Longitude - ring[i].Longitude), 180.0);
        area += ring[i].Longitude * ring[i + 1].Latitude - ring[i + 1].Longitude * ring[i].Latitude;
    }
    EXPECT_GT(area, 0);
}

TEST(GroundTrack, FootprintRingsOnTheMap)
{
    struct Case {
        const char* what;
        GeoPoint centre;
        double heightKm;
        size_t rings;
        int poleLatitude; // the map edge the ring closes along, 0 for none
    } cases[] = {
        { "equator", { 10, 0 }, 400, 1, 0 },
        { "north pole inside", { 30, 80 }, 2000, 1, 90 },
        { "south pole inside, near the date line", { -170, -85 }, 800, 1, -90 },
        { "across the date line", { 179, 0 }, 400, 2, 0 },
        { "geostationary over Greenwich", { 0, 0 }, 35786, 1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto ring = FootprintRing(c.centre, c.heightKm);
        ASSERT_EQ(ring.size(), 120u);
        for (const GeoPoint& p : ring)
            EXPECT_NEAR(Angle(p, c.centre), FootprintAngle(c.heightKm), 1e-9);
        const auto polygons = MapPolygons(ring);
        ASSERT_EQ(polygons.size(), c.rings);
        int poleCorners = 0;
        for (const auto& polygon : polygons) {
            ExpectMapRing(polygon);
            for (size_t i = 0; i + 1 < polygon.size(); ++i) {
                const GeoPoint& p = polygon[i];
                if (std::fabs(p.Latitude) == 90) {
                    ++poleCorners;
                } else if (std::fabs(p.Longitude) != 180) { // not a cut
                    EXPECT_NEAR(Angle(p, c.centre), FootprintAngle(c.heightKm), 1e-9);
                }
            }
        }
        if (c.poleLatitude != 0) {
            EXPECT_EQ(poleCorners, 5); // -180 to 180 along the pole in quarters
            for (const auto& polygon : polygons) {
                for (const GeoPoint& p : polygon) {
                    if (std::fabs(p.Latitude) == 90) {
                        EXPECT_EQ(p.Latitude, c.poleLatitude);
                    }
                }
            }
        } else {
            EXPECT_EQ(poleCorners, 0);
        }
    }
}

TEST(GroundTrack, LinesCutAtTheAntimeridian)
{
    struct Case {
        const char* what;
        std::vector<GeoPoint> line;
        std::vector<std::vector<GeoPoint>> pieces;
    } cases[] = {
        { "eastward over 180", { { 170, 0 }, { -170, 10 } },
            { { { 170, 0 }, { 180, 5 } }, { { -180, 5 }, { -170, 10 } } } },
        { "westward over -180", { { -175, -4 }, { 175, 0 }, { 165, 2 } },
            { { { -175, -4 }, { -180, -2 } }, { { 180, -2 }, { 175, 0 }, { 165, 2 } } } },
        { "no crossing", { { -10, 0 }, { 10, 1 } }, { { { -10, 0 }, { 10, 1 } } } },
        { "a lone point", { { 5, 5 } }, { { { 5, 5 } } } },
        { "starting on the cut", { { 180, 0 }, { -179, 1 } }, { { { -180, 0 }, { -179, 1 } } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto pieces = SplitAtAntimeridian(c.line);
        ASSERT_EQ(pieces.size(), c.pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_EQ(pieces[i].size(), c.pieces[i].size());
            for (size_t k = 0; k < pieces[i].size(); ++k) {
                EXPECT_NEAR(pieces[i][k].Longitude, c.pieces[i][k].Longitude, 1e-9);
                EXPECT_NEAR(pieces[i][k].Latitude, c.pieces[i][k].Latitude, 1e-9);
            }
        }
    }
}

TEST(GroundTrack, SubsolarPointOnKnownDates)
{
    // Declination and equation of time of the almanac (NOAA's solar
    // formulae); the engine's low-precision sun is good to a few hundredths.
    struct Case {
        sys_seconds when;
        double latitude, longitude;
    } cases[] = {
        { sys_days { 2024y / February / 12 } + 12h, -13.766, 3.557 }, // EoT -14.2 min
        { sys_days { 2024y / March / 20 } + 3h + 6min, 0.000, 135.350 }, // equinox
        { sys_days { 2024y / June / 20 } + 20h + 51min, 23.439, -132.303 }, // solstice
        { sys_days { 2024y / December / 21 } + 9h + 21min, -23.439, 39.317 }, // solstice
        { sys_days { 2026y / September / 1 }, 8.347, 180.044 }, // on the date line
    };
    for (const Case& c : cases) {
        const GeoPoint sun = SubsolarPoint(c.when);
        EXPECT_NEAR(sun.Latitude, c.latitude, 0.05) << UtcInstantString(c.when);
        EXPECT_LT(LonDifference(sun.Longitude, c.longitude), 0.05) << UtcInstantString(c.when);
        EXPECT_LE(std::fabs(sun.Longitude), 180.0);
    }
    // Day, the grey line and night around the June solstice's sub-point.
    const GeoPoint sun { -132.303, 23.439 };
    struct Light {
        GeoPoint place;
        Daylight light;
    } lights[] = {
        { sun, Daylight::Day }, { { 47.697, -23.439 }, Daylight::Night }, // the antisolar point
        { { -132.303, 23.439 - 95 }, Daylight::Twilight }, // 5 degrees below
        { { -132.303, 23.439 - 105 }, Daylight::Night }, // 15 degrees below
        { { 0, 90 }, Daylight::Day }, // midnight sun
    };
    for (const Light& l : lights)
        EXPECT_EQ(DaylightAt(sun, l.place), l.light)
            << l.place.Longitude << " " << l.place.Latitude;
    const auto grid = DaylightGrid(sun, 360, 180);
    EXPECT_EQ(grid[179 * 360 + 227], Daylight::Night); // near the south pole, row by row
}

QJsonObject Geometry(const QJsonObject& collection, const QString& feature)
{
    for (const QJsonValue f : collection[QStringLiteral("features")].toArray())
        if (f[QStringLiteral("properties")][QStringLiteral("Feature")].toString() == feature)
            return f[QStringLiteral("geometry")].toObject();
    return {};
}

void ExpectJsonRing(const QJsonArray& ring)
{
    std::vector<GeoPoint> points;
    for (const QJsonValue p : ring) {
        ASSERT_EQ(p.toArray().size(), 2);
        points.push_back({ p[0].toDouble(), p[1].toDouble() });
    }
    ExpectMapRing(points);
}

TEST(GroundTrack, GeoJsonThatMappingToolsRead)
{
    struct Case {
        const char* name;
        sys_seconds from;
        minutes span;
        const char* footprintType;
        int trackPieces;
    } cases[] = {
        // Over Munich: one footprint ring, the track over the date line once.
        { "ISS (ZARYA)", sys_days { 2024y / February / 12 } + 12h + 24min, 100min, "Polygon", 2 },
        // Over the Pacific with the footprint across the date line.
        { "ISS (ZARYA)", sys_days { 2024y / February / 12 } + 18h + 10min, 10min, "MultiPolygon",
            2 },
        // AO-10 near apogee: the footprint holds the north pole.
        { "PHASE 3B (AO-10)", sys_days { 2024y / February / 12 } + 19h, 60min, "Polygon", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(UtcInstantString(c.from));
        const OrbitModel model(Elements(c.name), Station {}, OrbitModelKind::Sgp4);
        GroundTrackExport data;
        data.Name = "name with \"quotes\"";
        data.CatalogNumber = 25544;
        data.Track = GroundTrackOf(model, c.from, c.from + c.span, 60s);
        data.Where = { 48.1, 371.6, 0.5 }; // east longitude written past 360
        QJsonParseError error;
        const QJsonDocument doc
            = QJsonDocument::fromJson(QByteArray::fromStdString(GroundTrackGeoJson(data)), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        const QJsonObject root = doc.object();
        EXPECT_EQ(root[QStringLiteral("type")].toString(), QStringLiteral("FeatureCollection"));
        ASSERT_EQ(root[QStringLiteral("features")].toArray().size(), 3);

        const QJsonObject track = Geometry(root, QStringLiteral("GroundTrack"));
        EXPECT_EQ(track[QStringLiteral("type")].toString(), QStringLiteral("MultiLineString"));
        const QJsonArray lines = track[QStringLiteral("coordinates")].toArray();
        EXPECT_EQ(lines.size(), c.trackPieces);
        int positions = 0;
        for (const QJsonValue line : lines) {
            const QJsonArray points = line.toArray();
            ASSERT_GE(points.size(), 2);
            for (qsizetype i = 0; i < points.size(); ++i, ++positions) {
                EXPECT_LE(std::fabs(points[i][0].toDouble()), 180.0);
                if (i > 0) {
                    EXPECT_LE(
                        std::fabs(points[i][0].toDouble() - points[i - 1][0].toDouble()), 180.0);
                }
            }
        }
        EXPECT_EQ(positions, static_cast<int>(data.Track.size()) + 2 * (c.trackPieces - 1));

        const QJsonObject footprint = Geometry(root, QStringLiteral("Footprint"));
        EXPECT_EQ(footprint[QStringLiteral("type")].toString(), QLatin1String(c.footprintType));
        const QJsonArray coordinates = footprint[QStringLiteral("coordinates")].toArray();
        if (footprint[QStringLiteral("type")].toString() == QStringLiteral("Polygon")) {
            ASSERT_EQ(coordinates.size(), 1);
            ExpectJsonRing(coordinates[0].toArray());
        } else {
            ASSERT_EQ(coordinates.size(), 2);
            for (const QJsonValue polygon : coordinates)
                ExpectJsonRing(polygon[0].toArray());
        }
        const QJsonObject station = Geometry(root, QStringLiteral("Station"));
        EXPECT_NEAR(station[QStringLiteral("coordinates")][0].toDouble(), 11.6, 1e-9);
        EXPECT_NEAR(station[QStringLiteral("coordinates")][1].toDouble(), 48.1, 1e-9);
    }
}

TEST(GroundTrack, LandFileDecodesAndDamageIsRefused)
{
    QFile file(QStringLiteral(AOSTRACK_SOURCE_DIR "/data/land-50m.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const std::string good(bytes.constData(), static_cast<size_t>(bytes.size()));
    const auto land = DecodeLandData(good);
    ASSERT_TRUE(land);
    EXPECT_EQ(land->Rings.size(), 1421u);
    EXPECT_EQ(land->PointCount(), 60353u);

    auto patched = [&](size_t at, std::string with) {
        return good.substr(0, at) + with + good.substr(at + with.size());
    };
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        { "another kind of file", "{\"type\":\"Topology\"}", "not a land file" },
        { "cut short", good.substr(0, good.size() - 1), "header promises" },
        { "a byte too many", good + '\0', "header promises" },
        { "a ring of three points", patched(16, std::string("\3\0\0\0", 4)), "bad point count" },
        // First point's longitude 0x7fff: 327.67 degrees.
        { "off the map", patched(16 + 4 * 1421, "\xff\x7f"), "off the map" },
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_FALSE(DecodeLandData(c.bytes, &why)) << c.what;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
    }
}

} // namespace
} // namespace aostrack
