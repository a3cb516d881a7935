// Figures of the orbit engine and the pass searches, compared from one
// version to the next by these names.
#include "PassesFromElements.h"
#include "PlainStepping.h"
#include "TleFile.h"
#include "orbit/Engine.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace aostrack {
namespace {

using namespace std::chrono;

const Station Berlin { 52.0, 13.0, 0.1 };
const sys_seconds Start = sys_days { 2024y / February / 12 } + 12h;

const TleLoad& Amateur()
{
    static const TleLoad load
        = LoadTleFile(std::string(AOSTRACK_SOURCE_DIR) + "/tests/orbit/data/amateur.txt");
    return load;
}

ElementSet Elements(const std::string& name)
{
    const TleLoad& load = Amateur();
    for (int i = 1; i <= load.SatCount; ++i)
        if (load.Table.Record(i).SatName == name)
            return load.Table.Record(i).Elements;
    throw std::runtime_error("no " + name);
}

void BM_ComputeSatellite(benchmark::State& state)
{
    const ElementSet iss = Elements("ISS (ZARYA)");
    sys_seconds t = Start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeSatellite(iss, Berlin, t, 145800));
        t += 1s;
    }
}
BENCHMARK(BM_ComputeSatellite);

// The tracking tick's path: the model of the selected satellite and station
// held from tick to tick.
void BM_OrbitModelCompute(benchmark::State& state)
{
    const OrbitModel model(Elements("ISS (ZARYA)"), Berlin);
    sys_seconds t = Start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Compute(t, 145800));
        t += 1s;
    }
}
BENCHMARK(BM_OrbitModelCompute);

// Two satellites in turn, as after each change of satellite.
void BM_ComputeSatellite_Alternating(benchmark::State& state)
{
    const ElementSet sets[] = { Elements("ISS (ZARYA)"), Elements("SAUDISAT 1C (SO-50)") };
    sys_seconds t = Start;
    int k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeSatellite(sets[k], Berlin, t, 145800));
        k ^= 1;
        t += 1s;
    }
}
BENCHMARK(BM_ComputeSatellite_Alternating);

// Worst case: the full 14 hours for a satellite that never rises
// (geostationary ES'HAIL 2 seen from the Pacific coast of America).
void BM_FindNextPass_NoRise(benchmark::State& state)
{
    const ElementSet eshail = Elements("ES'HAIL 2");
    const Station oregon { 45, -123, 0 };
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNextPass(eshail, oregon, Start));
}
BENCHMARK(BM_FindNextPass_NoRise)->Unit(benchmark::kMillisecond);

// The same without the horizon skip, for comparison.
void BM_FindNextPass_NoRise_Plain(benchmark::State& state)
{
    const ElementSet eshail = Elements("ES'HAIL 2");
    const Station oregon { 45, -123, 0 };
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNextPassPlain(eshail, oregon, Start));
}
BENCHMARK(BM_FindNextPass_NoRise_Plain)->Unit(benchmark::kMillisecond);

// A LEO satellite (ISS) from random instants of one week.
void BM_FindNextPass_Typical(benchmark::State& state)
{
    const ElementSet iss = Elements("ISS (ZARYA)");
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> offset(0, 7 * 86400);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNextPass(iss, Berlin, Start + seconds { offset(rng) }));
}
BENCHMARK(BM_FindNextPass_Typical)->Unit(benchmark::kMillisecond);

void BM_BuildPassList(benchmark::State& state)
{
    const ElementSet iss = Elements("ISS (ZARYA)");
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildPassList(iss, Berlin, Start));
}
BENCHMARK(BM_BuildPassList)->Unit(benchmark::kMillisecond);

// SGP4 on the tracking tick's path: the full state of a LEO (ISS) from the
// held model, one second apart.
void BM_Sgp4Compute(benchmark::State& state)
{
    const OrbitModel model(Elements("ISS (ZARYA)"), Berlin, OrbitModelKind::Sgp4);
    sys_seconds t = Start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Compute(t, 145800));
        t += 1s;
    }
}
BENCHMARK(BM_Sgp4Compute);

// SDP4: the geostationary ES'HAIL 2 (24 h resonance, integrated from an epoch
// some days back, plus the lunar-solar terms).
void BM_Sdp4Compute(benchmark::State& state)
{
    const OrbitModel model(Elements("ES'HAIL 2"), Berlin, OrbitModelKind::Sgp4);
    sys_seconds t = Start;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.Compute(t, 10489550));
        t += 1s;
    }
}
BENCHMARK(BM_Sdp4Compute);

void BM_BuildPassList_Sgp4(benchmark::State& state)
{
    const ElementSet iss = Elements("ISS (ZARYA)");
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildPassList(iss, Berlin, Start, OrbitModelKind::Sgp4));
}
BENCHMARK(BM_BuildPassList_Sgp4)->Unit(benchmark::kMillisecond);

void BM_FindNextPass_Typical_Sgp4(benchmark::State& state)
{
    const OrbitModel model(Elements("ISS (ZARYA)"), Berlin, OrbitModelKind::Sgp4);
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> offset(0, 7 * 86400);
    for (auto _ : state)
        benchmark::DoNotOptimize(FindNextPass(model, Start + seconds { offset(rng) }));
}
BENCHMARK(BM_FindNextPass_Typical_Sgp4)->Unit(benchmark::kMillisecond);

void BM_LoadTleFile15000(benchmark::State& state)
{
    // 15000 element sets: the 101 of amateur.txt repeated, CR LF line ends.
    const auto path = std::filesystem::temp_directory_path() / "aostrack-bench-15000.txt";
    {
        std::ofstream out(path, std::ios::binary);
        const TleLoad& load = Amateur();
        for (int i = 0; i < 15000; ++i) {
            const SatRecord& r = load.Table.Record(i % load.SatCount + 1);
            out << r.SatName << " " << i << "\r\n" << r.Line1 << "\r\n" << r.Line2 << "\r\n";
        }
    }
    for (auto _ : state) {
        const TleLoad load = LoadTleFile(path.string());
        if (load.SatCount != 15000)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(load.SatCount);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadTleFile15000)->Unit(benchmark::kMillisecond);

void BM_LoadOmmCsv15000(benchmark::State& state)
{
    // 15000 OMM records as the GP service writes CSV: the 96 of the 2026-09
    // download repeated under new names and numbers (six digits from 100000).
    const auto path = std::filesystem::temp_directory_path() / "aostrack-bench-15000.csv";
    {
        std::ifstream in(std::string(AOSTRACK_SOURCE_DIR) + "/tests/orbit/data/amateur-2026-09.csv",
            std::ios::binary);
        std::string header;
        std::getline(in, header);
        std::vector<std::string> rows;
        for (std::string line; std::getline(in, line);)
            rows.push_back(line.substr(line.find(',')));
        std::ofstream out(path, std::ios::binary);
        out << header << "\n";
        for (int i = 0; i < 15000; ++i) {
            // The name first, then the served fields with the catalogue number replaced.
            std::string row = rows[static_cast<std::size_t>(i) % rows.size()];
            const std::size_t cat = row.find(",U,") + 3;
            row.replace(cat, row.find(',', cat) - cat, std::to_string(100000 + i));
            out << "SAT " << i << row << "\n";
        }
    }
    for (auto _ : state) {
        const TleLoad load = LoadTleFile(path.string());
        if (load.SatCount != 15000)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(load.SatCount);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadOmmCsv15000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace aostrack
