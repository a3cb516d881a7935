// The tracking core's per-tick and per-choice work: formatting the data panel,
// one whole tick, and the satellite choice (24-hour list, 14-hour search,
// per-second track) on the example station's element file.
#include "core/DataPanel.h"
#include "core/ElementFile.h"
#include "core/EventLog.h"
#include "core/NumberText.h"
#include "core/TrackingSession.h"

#include "../tests/support/FakeClock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

const sys_seconds kStart = sys_days(year(2024) / February / 12) + hours(12);

// A station folder with the example element file and no frequency rows.
struct Station {
    QTemporaryDir dir;
    Station()
    {
        QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
            dir.filePath("amateur.txt"));
        QFile ini(dir.filePath("sat.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write(
            "TLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\nQTH_LAT=48.1371\nQTH_LONG=11.5754\n");
        QFile doppler(dir.filePath("doppler.sql"));
        doppler.open(QIODevice::WriteOnly);
        doppler.write(";none\n");
    }
};

void BM_FormatPattern(benchmark::State& state)
{
    const QLocale locale(QLocale::English);
    double value = 1234.5678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FormatPattern(value, QStringLiteral("0.000 km"), locale));
        value += 0.001;
    }
}
BENCHMARK(BM_FormatPattern);

void BM_RefreshDataPanel(benchmark::State& state)
{
    SatelliteState s;
    s.SatAzimuth = 123.4;
    s.SatElevation = 12.3;
    s.SubSatLon = -2.5;
    s.SubSatLat = 48.5;
    s.SatRange = 1234.5;
    s.RangeRate = 5;
    FrequencyState f;
    f.NominalFreq = f.TunedFreq = 145800;
    DataPanelMemory memory;
    for (auto _ : state)
        benchmark::DoNotOptimize(RefreshDataPanel(s, 24043.0, f, kStart, memory));
}
BENCHMARK(BM_RefreshDataPanel);

// A tracker started on the example station with its timer stopped, so that
// the benchmark drives it alone.
struct StartedTracker {
    Station station;
    FakeClock clock { kStart };
    EventLog log { clock };
    TrackingSession tracker { clock, log };
    StartedTracker()
    {
        tracker.Startup(station.dir.path());
        tracker.Stop();
    }
};

void BM_TrackingTick(benchmark::State& state)
{
    StartedTracker t;
    for (auto _ : state) {
        t.clock.Advance(seconds(1));
        t.tracker.TrackingTick();
    }
}
BENCHMARK(BM_TrackingTick);

void BM_ChooseSatellite(benchmark::State& state)
{
    StartedTracker t;
    const int iss
        = static_cast<int>(t.tracker.SatelliteNames().indexOf(QStringLiteral("ISS (ZARYA)")));
    for (auto _ : state)
        t.tracker.ChooseSatellite(iss);
}
BENCHMARK(BM_ChooseSatellite)->Unit(benchmark::kMillisecond);

void BM_LoadOmmJson15000(benchmark::State& state)
{
    // 15000 OMM records as one JSON array, numbers as JSON numbers: the 96 of
    // the 2026-09 download repeated under new names and numbers.
    const TleLoad real
        = LoadTleFile(QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/amateur-2026-09.csv"));
    std::vector<SatRecord> records;
    for (int i = 0; i < 15000; ++i) {
        SatRecord r = real.Table.Record(i % real.SatCount + 1);
        r.SatName = "SAT " + std::to_string(i);
        r.Elements.CatalogNumber = 100000 + i;
        records.push_back(std::move(r));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("amateur-15000.json"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(WriteElementData(records, ElementFormat::Json).Data);
    file.close();
    for (auto _ : state) {
        const TleLoad load = LoadTleFile(path);
        if (load.SatCount != 15000)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(load.SatCount);
    }
}
BENCHMARK(BM_LoadOmmJson15000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
