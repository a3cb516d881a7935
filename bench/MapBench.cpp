// The world map: loading its land and drawing one frame with 100 satellites.
#include "core/LandFile.h"
#include "ui/GroundMap.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using namespace aostrack;

const QString LandPath = QStringLiteral(AOSTRACK_SOURCE_DIR "/data/land-50m.bin");

// Reading and decoding the whole land file, as the window does at start-up.
void BM_LandLoad(benchmark::State& state)
{
    for (auto _ : state) {
        auto land = LoadLandFile(LandPath);
        if (!land)
            state.SkipWithError("land file not read");
        benchmark::DoNotOptimize(land);
    }
}
BENCHMARK(BM_LandLoad)->Unit(benchmark::kMillisecond);

// One frame of an 800 x 400 map once a second: the sun has moved (night
// shading worked out again), the selected satellite with footprint and three
// orbits of track, and 100 other satellites with their names.
void BM_GroundMapPaint100(benchmark::State& state)
{
    GroundMap map;
    map.resize(800, 400);
    map.SetLand(LoadLandFile(LandPath).Value());
    QImage image(map.size(), QImage::Format_ARGB32_Premultiplied);
    map.render(&image); // the land, drawn once per size

    GroundMapScene scene;
    scene.Station = GeoPoint { 11.6, 48.1 };
    scene.SatelliteName = QStringLiteral("ISS (ZARYA)");
    scene.Satellite = GroundPoint { {}, 40, 170, 420, FootprintRadiusKm(420) };
    scene.Footprint = MapPolygons(FootprintRing({ 170, 40 }, 420));
    std::vector<GeoPoint> track;
    for (int k = 0; k < 540; ++k)
        track.push_back({ std::remainder(-180.0 + k * 2.0, 360.0), 51.6 * std::sin(k * 0.035) });
    scene.FutureTrack = SplitAtAntimeridian(track);
    for (int i = 0; i < 100; ++i)
        scene.Others.push_back({ i, QStringLiteral("SAT-%1").arg(i),
            { -178.0 + 3.56 * i, std::remainder(i * 37.0, 140.0) / 2 } });
    int second = 0;
    for (auto _ : state) {
        scene.Subsolar = GeoPoint { std::remainder(second++ * 0.25, 360.0), 10 };
        map.SetScene(scene);
        map.render(&image);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GroundMapPaint100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
