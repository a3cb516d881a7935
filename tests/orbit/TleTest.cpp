// Reading element files: line classification, columns, line ends, the
// limits of the table and files that cannot be read.
#include "orbit/Tle.h"
#include "TleFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace aostrack {
namespace {

const std::string IssName = "ISS (ZARYA)             ";
const std::string IssLine1
    = "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997";
const std::string IssLine2
    = "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989";
const std::string AoLine1 = "1 07530U 74089B   17157.85566058 -.00000032  00000-0  74274-4 0  9991";
const std::string AoLine2 = "2 07530 101.6293 126.7439 0012026 344.7437  44.8584 12.53627301947333";

std::string DataFile(const char* name)
{
    return std::string(AOSTRACK_SOURCE_DIR) + "/tests/orbit/data/" + name;
}

TleLoad Read(const std::string& text)
{
    std::istringstream in(text);
    return ReadTle(in, "test.txt");
}

TEST(TleColumns, Normal)
{
    const TleLoad load = Read(IssName + "\n" + IssLine1 + "\n" + IssLine2 + "\n");
    ASSERT_EQ(load.SatCount, 1);
    const SatRecord& r = load.Table.Record(1);
    EXPECT_EQ(r.SatName, "ISS (ZARYA)");
    EXPECT_EQ(r.Line1, IssLine1);
    EXPECT_EQ(r.Line2, IssLine2);
    const ElementSet& e = r.Elements;
    EXPECT_DOUBLE_EQ(e.Epoch, 24043.00684501);
    EXPECT_DOUBLE_EQ(e.Decay, 0.00020902); // as written, not doubled
    EXPECT_DOUBLE_EQ(e.Inclination, 51.6406);
    EXPECT_DOUBLE_EQ(e.RAAN, 220.6676);
    EXPECT_DOUBLE_EQ(e.Eccentricity, 0.0001921);
    EXPECT_DOUBLE_EQ(e.ArgPerigee, 228.7563);
    EXPECT_DOUBLE_EQ(e.EpochMeanAnomaly, 273.944);
    EXPECT_DOUBLE_EQ(e.MeanMotion, 15.49783958); // columns 53-63 only
    EXPECT_DOUBLE_EQ(e.EpochRev, 43898); // columns 64-68
}

TEST(TleColumns, SignOfDerivativeInColumn34)
{
    const TleLoad load = Read("AO-7\n" + AoLine1 + "\n" + AoLine2 + "\n");
    EXPECT_DOUBLE_EQ(load.Table.Record(1).Elements.Decay, -0.00000032);
    std::string positive = AoLine1;
    positive[33] = ' ';
    EXPECT_DOUBLE_EQ(
        Read("AO-7\n" + positive + "\n" + AoLine2 + "\n").Table.Record(1).Elements.Decay,
        0.00000032);
}

TEST(TleColumns, MeanAnomalyFillingItsColumns)
{
    // Mean anomaly 123.4567 fills columns 44-51 with a blank in column 43.
    std::string l2 = IssLine2;
    l2.replace(42, 9, " 123.4567");
    const ElementSet e = Read("X\n" + IssLine1 + "\n" + l2 + "\n").Table.Record(1).Elements;
    EXPECT_DOUBLE_EQ(e.EpochMeanAnomaly, 123.4567);
    EXPECT_DOUBLE_EQ(e.MeanMotion, 15.49783958);
    EXPECT_DOUBLE_EQ(e.EpochRev, 43898);
}

TEST(TleColumns, EccentricityImpliedPointAndLeadingZeroYear)
{
    std::string l1 = IssLine1;
    l1.replace(18, 14, "08001.50000000");
    std::string l2 = IssLine2;
    l2.replace(26, 7, "7654321");
    const ElementSet e = Read("X\n" + l1 + "\n" + l2 + "\n").Table.Record(1).Elements;
    EXPECT_DOUBLE_EQ(e.Epoch, 8001.5);
    EXPECT_DOUBLE_EQ(e.Eccentricity, 0.7654321);
}

TEST(TleColumns, Malformed)
{
    // A field that does not begin with a number reads 0; one that begins
    // with a number reads its leading part.
    std::string l2 = IssLine2;
    l2.replace(8, 8, "  5x.640");
    l2.replace(17, 8, "abcdefgh");
    const ElementSet e = Read("X\n" + IssLine1 + "\n" + l2 + "\n").Table.Record(1).Elements;
    EXPECT_DOUBLE_EQ(e.Inclination, 5);
    EXPECT_DOUBLE_EQ(e.RAAN, 0);
    EXPECT_DOUBLE_EQ(e.ArgPerigee, 228.7563);
}

// The element-set number (columns 65-68) is a count of its own columns:
// "9e99" went through a double into an int (undefined; written out as
// -2147483648).
TEST(TleColumns, ElementSetNumberTakesItsDigits)
{
    const struct {
        const char* columns;
        int number;
    } cases[] = { { " 999", 999 }, { "9999", 9999 }, { "9e99", 9 }, { "1e10", 1 }, { "-999", 0 },
        { "    ", 0 }, { " 1 2", 12 } };
    for (const auto& c : cases) {
        std::string l1 = IssLine1;
        l1.replace(64, 4, c.columns);
        const TleLoad load = Read("X\n" + l1 + "\n" + IssLine2 + "\n");
        ASSERT_EQ(load.SatCount, 1) << c.columns;
        EXPECT_EQ(load.Table.Record(1).Extras.ElementSetNo, c.number) << c.columns;
    }
}

TEST(TleColumns, ShortLineTakesWhatIsThere)
{
    // The number conversion takes what a short field holds; such a line is
    // not a whole element line, so its record is refused (below).
    const std::string_view shortLine = "2 25544  51.6406 220.66";
    EXPECT_DOUBLE_EQ(ReadTleNumber(shortLine.substr(17, 8)), 220.66);
    EXPECT_DOUBLE_EQ(ReadTleNumber(shortLine.substr(23)), 0);
}

TEST(TleNumber, LenientReading)
{
    EXPECT_DOUBLE_EQ(ReadTleNumber("  12.5abc"), 12.5);
    EXPECT_DOUBLE_EQ(ReadTleNumber(""), 0);
    EXPECT_DOUBLE_EQ(ReadTleNumber("   "), 0);
    EXPECT_DOUBLE_EQ(ReadTleNumber("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(ReadTleNumber(" .00020902"), 0.00020902);
    EXPECT_DOUBLE_EQ(ReadTleNumber("1 2.5"), 12.5); // blanks are skipped
    EXPECT_DOUBLE_EQ(ReadTleNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(ReadTleNumber("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(ReadTleNumber("1.5E3"), 1500);
    EXPECT_DOUBLE_EQ(ReadTleNumber("24043.00684501 "), 24043.00684501);
}

TEST(TleLines, Classification)
{
    // Blank lines change nothing; " 1 " is a name; "0 " names keep their 0.
    const TleLoad load = Read("\n   \n0 ISS (ZARYA)\n" + IssLine1 + "\n\n" + IssLine2 + "\n\n"
        + " 1 NOT AN ELEMENT LINE\n" + AoLine2 + "\n" + AoLine1 + "\n");
    ASSERT_EQ(load.SatCount, 2);
    EXPECT_EQ(load.Table.Record(1).SatName, "0 ISS (ZARYA)");
    EXPECT_DOUBLE_EQ(load.Table.Record(1).Elements.MeanMotion, 15.49783958);
    EXPECT_EQ(load.Table.Record(2).SatName, "1 NOT AN ELEMENT LINE");
    // Order of line 1 and line 2 does not matter.
    EXPECT_DOUBLE_EQ(load.Table.Record(2).Elements.Epoch, 17157.85566058);
    EXPECT_DOUBLE_EQ(load.Table.Record(2).Elements.Inclination, 101.6293);
    EXPECT_EQ(load.IgnoredElementLines, 0);
}

TEST(TleLines, LineEnds)
{
    const std::string sets[] = {
        IssName + "\r\n" + IssLine1 + "\r\n" + IssLine2 + "\r\n",
        IssName + "\r" + IssLine1 + "\r" + IssLine2 + "\r",
        IssName + "\n" + IssLine1 + "\n" + IssLine2, // no end on the last line
        "\xEF\xBB\xBF" + IssName + "\n" + IssLine1 + "\n" + IssLine2 + "\n",
    };
    for (const std::string& text : sets) {
        const TleLoad load = Read(text);
        ASSERT_EQ(load.SatCount, 1);
        EXPECT_EQ(load.Table.Record(1).SatName, "ISS (ZARYA)");
        EXPECT_EQ(load.Table.Record(1).Line1, IssLine1); // no CR left on it
        EXPECT_EQ(load.Table.Record(1).Line2, IssLine2);
        EXPECT_EQ(load.LineCount, 3);
    }
}

TEST(TleLines, DuplicateNamesAndNameWithoutElements)
{
    const TleLoad load = Read(
        "ISS\n" + IssLine1 + "\n" + IssLine2 + "\nISS\n" + AoLine1 + "\n" + AoLine2 + "\nLONELY\n");
    ASSERT_EQ(load.SatCount, 3);
    EXPECT_EQ(load.Table.Names(), (std::vector<std::string> { "ISS", "ISS", "LONELY" }));
    EXPECT_DOUBLE_EQ(SelectSatellite(load.Table, 1).MeanMotion, 15.49783958);
    EXPECT_DOUBLE_EQ(SelectSatellite(load.Table, 2).MeanMotion, 12.53627301);
    EXPECT_EQ(SelectSatellite(load.Table, 3), ElementSet {});
    EXPECT_EQ(load.Table.Record(3).Line1, "");
}

TEST(TleLines, Empty)
{
    const TleLoad load = Read("");
    EXPECT_EQ(load.SatCount, 0);
    EXPECT_EQ(load.LineCount, 0);
    EXPECT_TRUE(load.Table.Names().empty());
    EXPECT_EQ(Read("\n\n  \n").SatCount, 0);
}

TEST(TleLines, ElementLinesBeforeFirstName)
{
    const TleLoad load
        = Read(IssLine1 + "\n" + IssLine2 + "\nAO-7\n" + AoLine1 + "\n" + AoLine2 + "\n");
    ASSERT_EQ(load.SatCount, 1);
    EXPECT_EQ(load.IgnoredElementLines, 2);
    EXPECT_EQ(load.FirstIgnoredLine, 1);
    EXPECT_EQ(load.Table.Record(1).SatName, "AO-7");
    EXPECT_DOUBLE_EQ(load.Table.Record(1).Elements.Inclination, 101.6293);
}

TEST(TleLines, EveryRecordOfALargeCatalogue)
{
    // No record is left out past the window list's 15000: the table takes
    // them all, and only the leading element lines are ignored.
    std::string text;
    text.reserve(160 * 20002);
    for (int i = 1; i <= 20001; ++i)
        text += "SAT " + std::to_string(i) + "\n" + IssLine1 + "\n" + IssLine2 + "\n";
    const TleLoad load = Read(text);
    EXPECT_EQ(load.SatCount, 20001);
    EXPECT_EQ(load.IgnoredElementLines, 0);
    EXPECT_EQ(load.FirstIgnoredLine, 0);
    const TleLoad both = Read(IssLine1 + "\n" + IssLine2 + "\n" + text);
    EXPECT_EQ(both.SatCount, 20001);
    EXPECT_EQ(both.IgnoredElementLines, 2);
    EXPECT_EQ(both.FirstIgnoredLine, 1);
    EXPECT_EQ(load.Table.Record(20001).SatName, "SAT 20001");
    EXPECT_DOUBLE_EQ(SelectSatellite(load.Table, 20001).RAAN, 220.6676);
    EXPECT_THROW(SelectSatellite(load.Table, 20002), std::out_of_range);
    EXPECT_THROW(SelectSatellite(load.Table, 0), std::out_of_range);
    // A small table still reads records up to the list's size as empty.
    EXPECT_EQ(Read("A\n").Table.Record(SatTable::ListCapacity), SatRecord {});
}

TEST(TleLines, SecondLoadShowsNoLeftovers)
{
    // Each load starts from an empty table: a shorter second file leaves no
    // records of the first reachable, and a name without elements reads 0.
    const TleLoad first
        = Read("A\n" + IssLine1 + "\n" + IssLine2 + "\nB\n" + AoLine1 + "\n" + AoLine2 + "\n");
    const TleLoad second = Read("C\n");
    EXPECT_EQ(first.SatCount, 2);
    EXPECT_EQ(second.SatCount, 1);
    EXPECT_EQ(second.Table.Names(), std::vector<std::string> { "C" });
    EXPECT_EQ(SelectSatellite(second.Table, 1), ElementSet {});
    EXPECT_EQ(second.Table.Record(2), SatRecord {});
}

TEST(TleFile, Oversized)
{
    // A file far larger than any element file is refused, naming the source.
    std::string big(TleMaxFileBytes + 1, 'x');
    std::istringstream in(big);
    try {
        ReadTle(in, "movie.mkv");
        FAIL() << "no error for an oversized file";
    } catch (const TleFileError& e) {
        EXPECT_EQ(e.File(), "movie.mkv");
        EXPECT_NE(e.Reason().find("not an element file"), std::string::npos);
    }
}

TEST(TleFile, RealFiles)
{
    const TleLoad load = LoadTleFile(DataFile("amateur.txt"));
    EXPECT_EQ(load.SatCount, 101);
    EXPECT_EQ(load.LineCount, 303);
    EXPECT_EQ(load.IgnoredElementLines, 0);
    const std::vector<std::string> names = load.Table.Names();
    const auto iss = std::find(names.begin(), names.end(), "ISS (ZARYA)");
    ASSERT_NE(iss, names.end());
    const ElementSet e = SelectSatellite(load.Table, static_cast<int>(iss - names.begin()) + 1);
    EXPECT_DOUBLE_EQ(e.Epoch, 24043.00684501);
    EXPECT_DOUBLE_EQ(e.EpochRev, 43898);
    EXPECT_NE(std::find(names.begin(), names.end(), "ES'HAIL 2"), names.end());
    for (int i = 1; i <= load.SatCount; ++i) {
        const ElementSet& s = load.Table.Record(i).Elements;
        ASSERT_GT(s.MeanMotion, 0.9) << load.Table.Record(i).SatName;
        ASSERT_LT(s.Eccentricity, 1.0);
        ASSERT_GT(s.Epoch, 24000.0);
    }

    const TleLoad old = LoadTleFile(DataFile("amateur-2017.txt"));
    EXPECT_EQ(old.SatCount, 74);
    EXPECT_EQ(old.Table.Record(1).SatName, "OSCAR 7 (AO-7)");
    EXPECT_DOUBLE_EQ(old.Table.Record(1).Elements.Decay, -0.00000032);
}

} // namespace
} // namespace aostrack

namespace aostrack {
namespace {

TEST(TleChecks, ChecksumOfRealLines)
{
    EXPECT_EQ(TleChecksum(IssLine1), 7);
    EXPECT_EQ(TleChecksum(IssLine2), 9);
    EXPECT_EQ(TleChecksum(AoLine1), 1); // the minus sign of the derivative counts 1
    EXPECT_EQ(TleChecksum(AoLine2), 3);
}

// Damaged records: each is refused with its line and field, and the records
// around it stay in the catalogue.
TEST(TleChecks, DamagedRecordsAreRefused)
{
    auto with = [](std::string line, std::size_t column, std::string_view text) {
        line.replace(column - 1, text.size(), text);
        return line;
    };
    struct Case {
        const char* what;
        std::string line1, line2;
        int line;
        const char* field;
    };
    const Case cases[] = {
        { "epoch overflowing int", with(IssLine1, 19, "2147484000.0000"), IssLine2, 5, "Epoch" },
        { "negative epoch", with(IssLine1, 19, "-9999999999999"), IssLine2, 5, "Epoch" },
        { "mean motion 1E+300", IssLine1, with(IssLine2, 53, "1E+300     "), 6, "MeanMotion" },
        { "mean motion 1E-300", IssLine1, with(IssLine2, 53, "1E-300     "), 6, "MeanMotion" },
        { "mean motion 0.0001", IssLine1, with(IssLine2, 53, " 0.0001    "), 6, "MeanMotion" },
        { "decay 9999999999", with(IssLine1, 34, "9999999999"), IssLine2, 5, "Decay" },
        { "decay -9.9E+300", with(IssLine1, 34, "-9.9E+300 "), IssLine2, 5, "Decay" },
        { "inclination 200", IssLine1, with(IssLine2, 9, "200.0000"), 6, "Inclination" },
        { "half line 2", IssLine1, IssLine2.substr(0, 40), 6, "line 2" },
        { "short line 1", IssLine1.substr(0, 68), IssLine2, 5, "line 1" },
        { "line 2 missing", IssLine1, "", 4, "line 2" },
    };
    for (const Case& c : cases) {
        std::string text = "AO-7\n" + AoLine1 + "\n" + AoLine2 + "\nISS\n" + c.line1 + "\n";
        if (!c.line2.empty())
            text += c.line2 + "\n";
        text += "AO-7B\n" + AoLine1 + "\n" + AoLine2 + "\n";
        const TleLoad load = Read(text);
        EXPECT_EQ(load.SatCount, 2) << c.what;
        EXPECT_EQ(load.Table.Names(), (std::vector<std::string> { "AO-7", "AO-7B" })) << c.what;
        ASSERT_EQ(load.Refused.size(), 1u) << c.what;
        EXPECT_EQ(load.Refused[0].Line, c.line) << c.what;
        EXPECT_EQ(load.Refused[0].SatName, "ISS") << c.what;
        EXPECT_EQ(load.Refused[0].Field, c.field) << c.what;
        EXPECT_EQ(DescribeTleIssue("keps.txt", load.Refused[0])
                      .rfind("keps.txt line " + std::to_string(c.line) + ": ISS: " + c.field, 0),
            0u)
            << DescribeTleIssue("keps.txt", load.Refused[0]);
    }
}

TEST(TleChecks, ChecksumWarnsForFilesAndRefusesDownloads)
{
    std::string bad2 = IssLine2;
    bad2[68] = '4'; // checksum 9 written as 4
    const std::string text = "ISS\n" + IssLine1 + "\n" + bad2 + "\n";
    const TleLoad local = Read(text);
    EXPECT_EQ(local.SatCount, 1);
    ASSERT_EQ(local.Warnings.size(), 1u);
    EXPECT_EQ(DescribeTleIssue("keps.txt", local.Warnings[0]),
        "keps.txt line 3: ISS: line 2 checksum is 4, its digits give 9");
    EXPECT_TRUE(local.Refused.empty());

    std::istringstream in(text);
    const TleLoad download = ReadTle(in, "page", TleSource::Download);
    EXPECT_EQ(download.SatCount, 0);
    ASSERT_EQ(download.Refused.size(), 1u);
    EXPECT_EQ(download.Refused[0].Field, "line 2");
    EXPECT_TRUE(download.Warnings.empty());

    // A line without a checksum digit (blank column 69) is not judged by it.
    std::string blank2 = IssLine2;
    blank2[68] = ' ';
    std::istringstream noSum("ISS\n" + IssLine1 + "\n" + blank2 + "\n");
    EXPECT_EQ(ReadTle(noSum, "page", TleSource::Download).SatCount, 1);
}

TEST(TleChecks, RealFilesHaveNoFaults)
{
    for (const char* name : { "amateur.txt", "amateur-2017.txt" }) {
        const TleLoad load = LoadTleFile(DataFile(name));
        EXPECT_TRUE(load.Refused.empty()) << name;
        EXPECT_TRUE(load.Warnings.empty()) << name;
    }
}

} // namespace
} // namespace aostrack
