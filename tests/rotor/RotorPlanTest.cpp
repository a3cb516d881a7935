// The plan a pass gets: synthetic tracks with hand-worked numbers, and the
// real north-crossing ISS pass over the example station.
#include "rotor/RotorPlan.h"
#include "PassesFromElements.h"
#include "TleFile.h"

#ifdef AOSTRACK_HAVE_ORBIT
#include "orbit/Tle.h"
#endif

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace aostrack;
using namespace std::chrono;

namespace {

std::vector<PassLook> Track(std::initializer_list<std::pair<double, double>> angles)
{
    std::vector<PassLook> track;
    for (const auto& [az, el] : angles)
        track.push_back(PassLook { az, el });
    return track;
}

} // namespace

TEST(ChooseRotorPlan, Table)
{
    const RotorLimits plain { 360, 90 };
    const RotorLimits overlap { 450, 90 };
    const RotorLimits flip { 360, 180 };
    const RotorLimits both { 450, 180 };
    struct Row {
        const char* why;
        std::vector<PassLook> track;
        RotorLimits limits;
        RotorPlanKind kind;
        bool crosses;
        double from, to;
    };
    const Row rows[] = {
        { "through south, west to east: nothing to plan",
            Track({ { 246, 0 }, { 200, 40 }, { 120, 20 }, { 79, 0 } }), both, RotorPlanKind::Normal,
            false, 246, 79 },
        { "ends exactly at 360: still within reach", Track({ { 300, 0 }, { 330, 30 }, { 360, 0 } }),
            plain, RotorPlanKind::Normal, false, 300, 360 },
        { "350 -> 10 clockwise, overlap: on past 360",
            Track({ { 350, 0 }, { 355, 20 }, { 0.5, 30 }, { 10, 0 } }), overlap,
            RotorPlanKind::Overlap, true, 350, 370 },
        { "10 -> 350 anticlockwise, overlap: starts above 360",
            Track({ { 10, 0 }, { 2, 30 }, { 355, 20 }, { 350, 0 } }), overlap,
            RotorPlanKind::Overlap, true, 370, 350 },
        { "overlap wins over flip when both fit",
            Track({ { 350, 0 }, { 355, 20 }, { 0.5, 30 }, { 10, 0 } }), both,
            RotorPlanKind::Overlap, true, 350, 370 },
        { "280 -> 82 through north, overlap reaches 442 within 450",
            Track({ { 280, 0 }, { 311, 31 }, { 41.6, 35 }, { 82, 0 } }), overlap,
            RotorPlanKind::Overlap, true, 280, 442 },
        { "280 -> 82 with 360 and a flipping elevation: seen from behind, 100 -> 262",
            Track({ { 280, 0 }, { 311, 31 }, { 41.6, 35 }, { 82, 0 } }), flip, RotorPlanKind::Flip,
            true, 100, 262 },
        { "280 -> 82, overlap to 400 is not enough and no flip: as without a plan",
            Track({ { 280, 0 }, { 311, 31 }, { 41.6, 35 }, { 82, 0 } }), RotorLimits { 400, 90 },
            RotorPlanKind::Normal, true, 280, 82 },
        { "no pass known", {}, both, RotorPlanKind::Normal, false, 0, 0 },
    };
    for (const Row& row : rows) {
        const RotorPlan plan = ChooseRotorPlan(row.track, row.limits);
        EXPECT_EQ(plan.Kind, row.kind) << row.why;
        EXPECT_EQ(plan.CrossesNorth, row.crosses) << row.why;
        EXPECT_DOUBLE_EQ(plan.FromAz, row.from) << row.why;
        EXPECT_DOUBLE_EQ(plan.ToAz, row.to) << row.why;
    }
}

TEST(RotorPlan, AimTable)
{
    const RotorPlan overlap
        = ChooseRotorPlan(Track({ { 350, 0 }, { 0.5, 30 }, { 10, 0 } }), RotorLimits { 450, 90 });
    ASSERT_EQ(overlap.Kind, RotorPlanKind::Overlap);
    ASSERT_DOUBLE_EQ(overlap.CentreAz, 360);
    const RotorPlan flip = ChooseRotorPlan(
        Track({ { 280, 0 }, { 311, 31 }, { 41.6, 35 }, { 82, 0 } }), RotorLimits { 360, 180 });
    ASSERT_EQ(flip.Kind, RotorPlanKind::Flip);
    ASSERT_DOUBLE_EQ(flip.CentreAz, 181); // 100 .. 262
    const RotorPlan normal;
    struct Row {
        const char* why;
        const RotorPlan& plan;
        double az, el;
        RotorAim aim;
    };
    const Row rows[] = {
        { "normal: unchanged, also just below 360", normal, 359.6, 12, { 359.6, 12 } },
        { "normal: a negative elevation stays negative", normal, 20, -2, { 20, -2 } },
        { "overlap, before north", overlap, 355, 20, { 355, 20 } },
        { "overlap, after north: one turn on", overlap, 5, 25, { 365, 25 } },
        { "overlap, rising below the horizon", overlap, 348, -2, { 348, -2 } },
        { "overlap, after LOS further on than the pass", overlap, 12, -1, { 372, -1 } },
        { "flip at the horizon: behind, elevation 180", flip, 280, -1, { 100, 180 } },
        { "flip, high in the north-west", flip, 311.3, 31, { 131.3, 149 } },
        { "flip, past north: 41.6 + 180", flip, 41.6, 35, { 221.6, 145 } },
        { "flip, overhead", flip, 0, 90, { 180, 90 } },
    };
    for (const Row& row : rows) {
        const RotorAim aim = row.plan.Aim(row.az, row.el);
        EXPECT_NEAR(aim.Azimuth, row.aim.Azimuth, 1e-9) << row.why;
        EXPECT_NEAR(aim.Elevation, row.aim.Elevation, 1e-9) << row.why;
    }
    // Whatever comes, the aim stays within what the rotor reaches.
    for (double az = 0; az < 360; az += 7.5) {
        const RotorAim aim = overlap.Aim(az, 10);
        EXPECT_GE(aim.Azimuth, 0) << az;
        EXPECT_LE(aim.Azimuth, 450) << az;
    }
}

#ifdef AOSTRACK_HAVE_ORBIT

// ISS over the example station (48.1371 N, 11.5754 E, 519 m) on 13 February
// 2024: AOS 09:53 in the west-north-west (279 degrees), culmination 43 degrees
// in the north, LOS 10:05 in the east (82 degrees): through north.
TEST(ChooseRotorPlan, RealIssPassThroughNorth)
{
    const TleLoad load = LoadTleFile(AOSTRACK_SOURCE_DIR "/examples/amateur.txt");
    int iss = 0;
    const auto names = load.Table.Names();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].rfind("ISS (ZARYA)", 0) == 0)
            iss = static_cast<int>(i) + 1;
    ASSERT_GT(iss, 0);
    const ElementSet elements = SelectSatellite(load.Table, iss);
    const Station station { 48.1371, 11.5754, 0.519 };
    const NextPass pass
        = FindNextPass(elements, station, sys_days { 2024y / February / 13 } + 9h + 40min);
    ASSERT_TRUE(pass.AosTime && pass.LosTime);
    const std::vector<PassLook> track
        = PassLookTrack(elements, station, *pass.AosTime, *pass.LosTime);
    ASSERT_GT(track.size(), 600u);

    const RotorPlan overlap = ChooseRotorPlan(track, RotorLimits { 450, 90 });
    EXPECT_EQ(overlap.Kind, RotorPlanKind::Overlap);
    EXPECT_EQ(std::lround(overlap.FromAz), 279);
    EXPECT_EQ(std::lround(overlap.ToAz), 442); // 82 + 360
    const RotorPlan flip = ChooseRotorPlan(track, RotorLimits { 360, 180 });
    EXPECT_EQ(flip.Kind, RotorPlanKind::Flip);
    EXPECT_EQ(std::lround(flip.FromAz), 99);
    EXPECT_EQ(std::lround(flip.ToAz), 262);
    EXPECT_EQ(ChooseRotorPlan(track, RotorLimits { 360, 90 }).Kind, RotorPlanKind::Normal);

    // Second by second the aims of either plan move smoothly: never more
    // than the satellite itself moves in azimuth near culmination.
    for (const RotorPlan* plan : { &overlap, &flip }) {
        RotorAim last = plan->Aim(track.front().SatAzimuth, track.front().SatElevation);
        for (const PassLook& at : track) {
            const RotorAim aim = plan->Aim(at.SatAzimuth, at.SatElevation);
            EXPECT_LT(std::abs(aim.Azimuth - last.Azimuth), 3.0) << RotorPlanName(plan->Kind);
            EXPECT_LT(std::abs(aim.Elevation - last.Elevation), 1.0) << RotorPlanName(plan->Kind);
            last = aim;
        }
    }
}

#endif
