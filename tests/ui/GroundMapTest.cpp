// The world map widget under the offscreen platform: it paints at the
// smallest, a usual and a wide size with land and sea where they belong and
// the night side darker, and a click on a dot chooses that satellite.
#include "ui/GroundMap.h"
#include "core/LandFile.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

const LandData& Land()
{
    static const LandData land
        = LoadLandFile(QStringLiteral(AOSTRACK_SOURCE_DIR "/data/land-50m.bin")).Value();
    return land;
}

QImage Paint(GroundMap& map)
{
    QImage image(map.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    map.render(&image);
    return image;
}

QColor At(const QImage& image, const GroundMap& map, GeoPoint place)
{
    return image.pixelColor(map.Project(place).toPoint());
}

TEST(GroundMap, PaintsLandSeaAndNightAtThreeSizes)
{
    struct Case {
        QSize size;
        QRectF mapRect; // 2:1, as large as fits, centred
    } cases[] = {
        { { 120, 60 }, { 0, 0, 120, 60 } }, // the smallest the dock allows
        { { 480, 300 }, { 0, 30, 480, 240 } }, // taller: bands above and below
        { { 1000, 300 }, { 200, 0, 600, 300 } }, // wider: bands left and right
    };
    const GeoPoint chad { 19, 15 }; // inland, off the 30-degree lines
    const GeoPoint southPacific { -140, -40 };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size.width());
        GroundMap map;
        map.resize(c.size);
        map.SetLand(Land());
        EXPECT_EQ(map.MapRect(), c.mapRect);
        GroundMapScene scene;
        scene.Station = GeoPoint { 11.6, 48.1 };
        scene.SatelliteName = QStringLiteral("ISS (ZARYA)");
        scene.Satellite = GroundPoint { {}, 20, 179, 420, FootprintRadiusKm(420) };
        scene.Footprint = MapPolygons(FootprintRing({ 179, 20 }, 420));
        scene.FutureTrack = SplitAtAntimeridian({ { 170, 10 }, { -170, 30 } });
        map.SetScene(scene);
        QImage image = Paint(map);
        EXPECT_EQ(At(image, map, chad), GroundMap::LandColour);
        EXPECT_EQ(At(image, map, southPacific), GroundMap::SeaColour);

        // The sun over Chad: the day side keeps its colours, the far side darkens.
        scene.Subsolar = chad;
        map.SetScene(scene);
        image = Paint(map);
        EXPECT_EQ(At(image, map, chad), GroundMap::LandColour);
        const QColor night = At(image, map, southPacific);
        EXPECT_LT(night.value(), GroundMap::SeaColour.value());
    }
}

TEST(GroundMap, ClickOnADotChoosesThatSatellite)
{
    GroundMap map;
    map.resize(720, 360); // two pixels a degree
    GroundMapScene scene;
    scene.Others = { { 4, QStringLiteral("AO-7"), { 0, 0 } },
        { 9, QStringLiteral("SO-50"), { 3, 0 } }, // six pixels east of AO-7
        { 12, QStringLiteral("FO-29"), { -179.5, 10 } } };
    map.SetScene(scene);
    struct Case {
        const char* what;
        GeoPoint place;
        QPoint offset;
        int chosen; // -1: none
    } cases[] = {
        { "on the dot", { 0, 0 }, { 0, 0 }, 4 },
        { "nearer the other of two", { 0, 0 }, { 4, 0 }, 9 },
        { "a little off", { 3, 0 }, { 2, -3 }, 9 },
        { "at the map's edge", { -179.5, 10 }, { -1, 1 }, 12 },
        { "too far from any", { 0, 0 }, { 0, 8 }, -1 },
    };
    for (const Case& c : cases) {
        QSignalSpy chosen(&map, &GroundMap::satelliteChosen);
        QTest::mouseClick(&map, Qt::LeftButton, {}, map.Project(c.place).toPoint() + c.offset);
        if (c.chosen < 0) {
            EXPECT_EQ(chosen.count(), 0) << c.what;
        } else {
            ASSERT_EQ(chosen.count(), 1) << c.what;
            EXPECT_EQ(chosen.at(0).at(0).toInt(), c.chosen) << c.what;
        }
    }
}

} // namespace
} // namespace aostrack
