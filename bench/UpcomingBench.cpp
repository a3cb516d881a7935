// Figures of the whole-catalogue pass search: the example file, generated
// LEO element sets and the public catalogue's size built from the real
// sets, 24 hours each, on all cores (wall time is what the operator waits
// for).
#include "TleFile.h"
#include "orbit/Tle.h"
#include "passes/UpcomingPasses.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace aostrack {
namespace {

using namespace std::chrono;

const Station Munich { 48.1371, 11.5754, 0.519 };
const sys_seconds Start = sys_days { 2024y / February / 12 } + 12h;

std::vector<ElementSet> ExampleCatalogue()
{
    const TleLoad load = LoadTleFile(std::string(AOSTRACK_SOURCE_DIR) + "/examples/amateur.txt");
    std::vector<ElementSet> sets;
    for (int i = 1; i <= load.SatCount; ++i)
        sets.push_back(load.Table.Record(i).Elements);
    return sets;
}

// LEO element sets as a full catalogue holds them: 300 to 1500 km high,
// nearly circular, any inclination and phase, epochs within the last week.
std::vector<ElementSet> GeneratedLeo(int count)
{
    std::mt19937 rng(15000);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    std::vector<ElementSet> sets;
    for (int k = 0; k < count; ++k) {
        ElementSet e;
        e.Epoch = 24036.0 + 7.0 * u(rng);
        e.Inclination = 180.0 * u(rng);
        e.RAAN = 360.0 * u(rng);
        e.Eccentricity = 0.02 * u(rng) * u(rng);
        e.ArgPerigee = 360.0 * u(rng);
        e.EpochMeanAnomaly = 360.0 * u(rng);
        e.MeanMotion = 12.2 + 3.8 * u(rng); // 1500 km to 300 km
        e.Decay = 1e-5 * u(rng);
        e.EpochRev = 1000;
        sets.push_back(e);
    }
    return sets;
}

// The public catalogue's size from the real example sets: each set again
// and again with its node and mean anomaly turned by irrational steps, so
// the copies pass over the station at other times and places, as a real
// catalogue's members do.
std::vector<ElementSet> SpreadCatalogue(int count)
{
    const std::vector<ElementSet> real = ExampleCatalogue();
    std::vector<ElementSet> sets;
    sets.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        ElementSet e = real[static_cast<std::size_t>(k) % real.size()];
        const double turn = static_cast<double>(k / static_cast<int>(real.size()));
        e.RAAN = std::fmod(e.RAAN + 137.50776 * turn, 360.0);
        e.EpochMeanAnomaly = std::fmod(e.EpochMeanAnomaly + 222.49224 * turn + 61.8 * k, 360.0);
        sets.push_back(e);
    }
    return sets;
}

void Run(benchmark::State& state, const std::vector<ElementSet>& sets,
    OrbitModelKind kind = OrbitModelKind::Plan13)
{
    std::size_t passes = 0;
    for (auto _ : state) {
        const std::vector<SatellitePasses> found
            = FindUpcomingPasses(sets, Munich, Start, UpcomingWindow, 0, kind);
        passes = 0;
        for (const SatellitePasses& s : found)
            passes += s.Passes.size();
        benchmark::DoNotOptimize(passes);
    }
    state.counters["passes"] = static_cast<double>(passes);
}

void BM_UpcomingPasses_101(benchmark::State& state)
{
    static const std::vector<ElementSet> sets = ExampleCatalogue();
    Run(state, sets);
}
BENCHMARK(BM_UpcomingPasses_101)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UpcomingPasses_15000(benchmark::State& state)
{
    static const std::vector<ElementSet> sets = GeneratedLeo(15000);
    Run(state, sets);
}
BENCHMARK(BM_UpcomingPasses_15000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The whole public catalogue, 24 hours, on every core: wall time is what a
// scheduler waits for, the process CPU time what the machine pays.
void BM_UpcomingPasses_30000_Plan13(benchmark::State& state)
{
    static const std::vector<ElementSet> sets = SpreadCatalogue(30000);
    Run(state, sets, OrbitModelKind::Plan13);
}
BENCHMARK(BM_UpcomingPasses_30000_Plan13)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

void BM_UpcomingPasses_30000_Sgp4(benchmark::State& state)
{
    static const std::vector<ElementSet> sets = SpreadCatalogue(30000);
    Run(state, sets, OrbitModelKind::Sgp4);
}
BENCHMARK(BM_UpcomingPasses_30000_Sgp4)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

} // namespace
} // namespace aostrack

BENCHMARK_MAIN();
