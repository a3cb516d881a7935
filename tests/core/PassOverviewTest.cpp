// The overview worked out in the background: the same passes as the library
// on one thread, a new run when the hour or the station changes (not on
// every tick), the latest request winning when one comes in mid-run, and the
// sky track of a pass.
#include "FakeClock.h"
#include "TleFile.h"

#include "core/ElementFile.h"
#include "core/PassOverview.h"
#include "orbit/Tle.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days { 2024y / February / 12 } + 12h;
const Station Munich { 48.1371, 11.5754, 0.519 };

SatTable Example()
{
    return LoadTleFile(std::string(AOSTRACK_SOURCE_DIR "/examples/amateur.txt")).Table;
}

TEST(PassOverview, RowsAreTheLibrarysPassesWithNames)
{
    FakeClock clock(Noon + 17min + 3s);
    PassOverview overview(clock);
    const SatTable table = Example();
    overview.SetCatalogue(table);
    overview.Check(Munich);
    EXPECT_TRUE(overview.Computing()); // the tick did not wait for it
    overview.WaitForIdle();

    std::vector<ElementSet> sets;
    for (int i = 1; i <= table.SatCount(); ++i)
        sets.push_back(table.Record(i).Elements);
    const std::vector<UpcomingPass> expected
        = SortedByAos(FindUpcomingPasses(sets, Munich, Noon + 17min + 3s, UpcomingWindow, 1));
    ASSERT_EQ(overview.Rows().size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(overview.Rows()[k].Pass, expected[k]);
        EXPECT_EQ(overview.Rows()[k].Index, expected[k].Satellite);
        EXPECT_EQ(
            overview.Rows()[k].Name.toStdString(), table.Record(expected[k].Satellite + 1).SatName);
    }
    EXPECT_EQ(overview.AlwaysInView(), QStringList { QStringLiteral("ES'HAIL 2") });
    EXPECT_EQ(overview.NeverInView().size(), 2);
    EXPECT_EQ(overview.WindowStart(), Noon + 17min + 3s);
}

TEST(PassOverview, RunsAgainOnNewHourStationOrCatalogueOnly)
{
    FakeClock clock(Noon + 5min);
    PassOverview overview(clock);
    QSignalSpy runs(&overview, &PassOverview::rowsChanged);
    overview.SetCatalogue(Example());
    overview.Check(Munich);
    overview.WaitForIdle();
    ASSERT_EQ(runs.count(), 1);

    const struct {
        const char* What;
        seconds Advance;
        Station Where;
        bool NewCatalogue;
        bool Runs;
    } rows[] = {
        { "the next tick", 1s, Munich, false, false },
        { "later in the same hour", 50min, Munich, false, false },
        { "the hour changed", 10min, Munich, false, true },
        { "another station", 1s, Station { 52, 13, 0.1 }, false, true },
        { "the catalogue loaded again", 1s, Station { 52, 13, 0.1 }, true, true },
    };
    int expectedRuns = 1;
    for (const auto& row : rows) {
        clock.Advance(row.Advance);
        if (row.NewCatalogue)
            overview.SetCatalogue(Example());
        overview.Check(row.Where);
        overview.WaitForIdle();
        expectedRuns += row.Runs ? 1 : 0;
        EXPECT_EQ(runs.count(), expectedRuns) << row.What;
    }
}

TEST(PassOverview, RequestDuringARunIsServedAfterIt)
{
    FakeClock clock(Noon);
    PassOverview overview(clock);
    overview.SetCatalogue(Example());
    overview.Check(Munich);
    overview.Check(Station { -33.9, 18.4, 0 }); // while the first run works
    overview.WaitForIdle();
    // What is shown is the last station's.
    const SatTable table = Example();
    std::vector<ElementSet> sets;
    for (int i = 1; i <= table.SatCount(); ++i)
        sets.push_back(table.Record(i).Elements);
    EXPECT_EQ(overview.Rows().size(),
        SortedByAos(FindUpcomingPasses(sets, Station { -33.9, 18.4, 0 }, Noon)).size());
}

// OMM records carry no element lines: every one counts, whatever the form.
TEST(PassOverview, OmmCataloguesCountEveryRecord)
{
    const sys_seconds from = sys_days { 2026y / September / 21 } + 12h;
    for (const char* form : { "amateur-2026-09.csv", "amateur-2026-09.json" }) {
        SCOPED_TRACE(form);
        const SatTable table
            = LoadTleFile(QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/") + form).Table;
        FakeClock clock(from);
        PassOverview overview(clock);
        overview.SetCatalogue(table);
        overview.Check(Munich);
        overview.WaitForIdle();
        EXPECT_EQ(overview.Rows().size(), 599u); // the library's count for the 96 sets
    }
}

TEST(PassOverview, SkyPassOfTheIss)
{
    const SatTable table = Example();
    ElementSet iss;
    for (int i = 1; i <= table.SatCount(); ++i)
        if (table.Record(i).SatName == "ISS (ZARYA)")
            iss = table.Record(i).Elements;
    const SkyPass pass = SkyPassOf(iss, Munich, Noon + 18min + 53s, Noon + 29min + 52s);
    ASSERT_TRUE(pass.Aos && pass.Los);
    EXPECT_EQ(pass.Track.size(), 67u); // 659 s: every 10 s and the LOS
    EXPECT_EQ(pass.Aos->Time, Noon + 18min + 53s);
    EXPECT_NEAR(pass.Aos->Azimuth, 292.2, 0.05);
    EXPECT_NEAR(pass.Los->Azimuth, 118.4, 0.05);
    EXPECT_TRUE(SkyPassOf(iss, Munich, std::nullopt, Noon).Track.empty());
    EXPECT_TRUE(SkyPassOf(ElementSet {}, Munich, Noon, Noon + 60s).Track.empty());
}

} // namespace
} // namespace aostrack
