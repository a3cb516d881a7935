// Element sets of today: Alpha-5 catalogue numbers, OMM records as CSV, the
// two-line texts an OMM record would have, and the merge of several downloads.
#include "orbit/Omm.h"
#include "TleFile.h"
#include "orbit/CatalogNumber.h"
#include "orbit/OmmCsv.h"
#include "orbit/Tle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace aostrack {
namespace {

std::string DataFile(const char* name)
{
    return std::string(AOSTRACK_SOURCE_DIR) + "/tests/orbit/data/" + name;
}

const std::string Header = "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,"
                           "RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,"
                           "CLASSIFICATION_TYPE,NORAD_CAT_ID,ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,"
                           "MEAN_MOTION_DOT,MEAN_MOTION_DDOT";
// The first and the last record of the real download, as served.
const std::string Ao7 = "OSCAR 7 (AO-7),1974-089B,2026-09-21T06:54:49.497696,12.53699625,"
                        ".00119878,101.9920,278.5390,309.0150,62.1343,0,U,7530,999,37256,"
                        ".5696261E-4,-.37E-6,0";
const std::string Jamx = "JAMX01 (JING'AN DREAM STAR),2026-195A,2026-09-20T15:17:44.590560,"
                         "15.09406534,.00137213,97.5374,336.9926,161.6899,198.4827,0,U,100465,"
                         "999,399,.19965673E-3,.3134E-4,0";

TleLoad ReadCsv(const std::string& text)
{
    return ReadElementText(text, "test.csv");
}

struct Alpha5Row {
    const char* Text;
    int Number;
    const char* Why;
};

TEST(Alpha5, BothWays)
{
    const Alpha5Row rows[] = {
        { "00005", 5, "leading zeros of a small number" },
        { "99999", 99999, "last five-digit number" },
        { "A0000", 100000, "first Alpha-5 number" },
        { "A0465", 100465, "JAMX01" },
        { "H9999", 179999, "last before the skipped I" },
        { "J0000", 180000, "I is left out: J follows H" },
        { "N9999", 229999, "last before the skipped O" },
        { "P0000", 230000, "O is left out: P follows N" },
        { "Z9999", 339999, "last Alpha-5 number" },
    };
    for (const Alpha5Row& row : rows) {
        SCOPED_TRACE(row.Why);
        EXPECT_EQ(ReadTleCatalogNumber(row.Text), row.Number);
        EXPECT_EQ(TleCatalogText(row.Number), row.Text);
    }
    // Old files pad small numbers with blanks.
    EXPECT_EQ(ReadTleCatalogNumber("  694"), 694);
    EXPECT_EQ(TleCatalogText(340000), "");
    EXPECT_EQ(TleCatalogText(-1), "");
}

TEST(Alpha5, NotANumber)
{
    for (const char* text : { "I0000", "O0000", "a0000", "0A000", "A000", "", "1234X", "+1234" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ReadTleCatalogNumber(text), std::nullopt);
    }
}

TEST(Alpha5, TwoLineSetReadsItsNumberAndDesignator)
{
    const TleLoad load
        = ReadCsv("JAMX01\n"
                  "1 A0465U 26195A   26263.63732165  .00003134  00000+0  19966-3 0  9994\n"
                  "2 A0465  97.5374 336.9926 0013721 161.6899 198.4827 15.09406534  3991\n");
    ASSERT_EQ(load.SatCount, 1);
    const SatRecord& r = load.Table.Record(1);
    EXPECT_EQ(r.Elements.CatalogNumber, 100465);
    EXPECT_EQ(r.Elements.IntlDesignator, "2026-195A");
    EXPECT_DOUBLE_EQ(r.Elements.BStar, 0.19966e-3);
    EXPECT_DOUBLE_EQ(r.Elements.MeanMotion, 15.09406534);
    EXPECT_FALSE(r.FromOmm);
}

TEST(OmmCsv, FieldsOfTheRealFirstRecord)
{
    const TleLoad load = ReadCsv(Header + "\r\n" + Ao7 + "\r\n");
    EXPECT_EQ(load.Format, ElementFormat::Csv);
    ASSERT_EQ(load.SatCount, 1);
    const SatRecord& r = load.Table.Record(1);
    EXPECT_EQ(r.SatName, "OSCAR 7 (AO-7)");
    const ElementSet& e = r.Elements;
    // 06:54:49.497696 of day 264 (21 September 2026).
    EXPECT_NEAR(e.Epoch, 26264.0 + (6 * 3600 + 54 * 60 + 49.497696) / 86400.0, 1e-10);
    EXPECT_DOUBLE_EQ(e.MeanMotion, 12.53699625);
    EXPECT_DOUBLE_EQ(e.Eccentricity, 0.00119878);
    EXPECT_DOUBLE_EQ(e.Inclination, 101.992);
    EXPECT_DOUBLE_EQ(e.RAAN, 278.539);
    EXPECT_DOUBLE_EQ(e.ArgPerigee, 309.015);
    EXPECT_DOUBLE_EQ(e.EpochMeanAnomaly, 62.1343);
    EXPECT_DOUBLE_EQ(e.Decay, -0.37e-6); // MEAN_MOTION_DOT is the line-1 value
    EXPECT_DOUBLE_EQ(e.EpochRev, 37256);
    EXPECT_EQ(e.CatalogNumber, 7530);
    EXPECT_EQ(e.IntlDesignator, "1974-089B");
    EXPECT_DOUBLE_EQ(r.Elements.BStar, 0.5696261e-4);
    EXPECT_EQ(r.Extras.ElementSetNo, 999);
    EXPECT_EQ(ShownLines(r).first,
        "1 07530U 74089B   26264.28807289 -.00000037  00000+0  56963-4 0  9990");
    EXPECT_EQ(ShownLines(r).second,
        "2 07530 101.9920 278.5390 0011988 309.0150  62.1343 12.53699625372568");
}

struct CsvFormRow {
    std::string Text;
    const char* Why;
};

TEST(OmmCsv, FormsThatGiveTheSameRecord)
{
    const TleLoad plain = ReadCsv(Header + "\n" + Ao7 + "\n");
    ASSERT_EQ(plain.SatCount, 1);
    const CsvFormRow rows[] = {
        { Header + "\r\n" + Ao7, "CR LF, no line end after the last record" },
        { "\xEF\xBB\xBF" + Header + "\n\n" + Ao7 + "\n\n", "byte order mark, blank lines" },
        { "NORAD_CAT_ID,EXTRA,OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,"
          "RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,"
          "ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT\n"
          "7530,x,\"OSCAR 7 (AO-7)\",1974-089B,2026-09-21T06:54:49.497696Z,12.53699625,"
          "0.00119878,101.992,278.539,309.015,62.1343,0,U,999,37256,5.696261e-05,-3.7e-07,0\n",
            "columns in another order, an extra column, quoted name, other number forms" },
    };
    for (const CsvFormRow& row : rows) {
        SCOPED_TRACE(row.Why);
        const TleLoad load = ReadCsv(row.Text);
        ASSERT_EQ(load.SatCount, 1);
        EXPECT_EQ(load.Table.Record(1), plain.Table.Record(1));
    }
}

TEST(OmmCsv, QuotedNameWithCommaAndQuote)
{
    const std::string named = "\"SAT, \"\"THE\"\" ONE\"" + Ao7.substr(Ao7.find(','));
    const TleLoad load = ReadCsv(Header + "\n" + named + "\n");
    ASSERT_EQ(load.SatCount, 1);
    EXPECT_EQ(load.Table.Record(1).SatName, "SAT, \"THE\" ONE");
    // Written back, the name is quoted again and reads the same.
    const TleLoad again = ReadCsv(WriteOmmCsv({ load.Table.Record(1) }));
    ASSERT_EQ(again.SatCount, 1);
    EXPECT_EQ(again.Table.Record(1), load.Table.Record(1));
}

struct BadCsvRow {
    std::string Line;
    std::string FirstIgnored;
    const char* Why;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

TEST(OmmCsv, BadRecordsSkippedAndCounted)
{
    const BadCsvRow rows[] = {
        { Ao7 + ",0", "line 2: OSCAR 7 (AO-7): fields are 18, the header names 17",
            "one field too many" },
        { Replaced(Ao7, ",7530,", ",75X0,"),
            "line 2: OSCAR 7 (AO-7): NORAD_CAT_ID not a catalogue number: \"75X0\"",
            "catalogue number" },
        { Replaced(Ao7, ",7530,", ",-7530,"),
            "line 2: OSCAR 7 (AO-7): NORAD_CAT_ID not a catalogue number: \"-7530\"",
            "negative number" },
        { Replaced(Ao7, ",12.53699625,", ",,"), "line 2: OSCAR 7 (AO-7): MEAN_MOTION missing",
            "no mean motion" },
        { Replaced(Ao7, ",101.9920,", ",101,9920,"),
            "line 2: OSCAR 7 (AO-7): fields are 18, the header names 17", "decimal comma" },
        { Replaced(Ao7, ",.00119878,", ",1.2e,"),
            "line 2: OSCAR 7 (AO-7): ECCENTRICITY not a number: \"1.2e\"", "cut-off exponent" },
        { Replaced(Ao7, "2026-09-21T", "2026-02-30T"),
            "line 2: OSCAR 7 (AO-7): EPOCH not a date-time of 2000 to 2099: "
            "\"2026-02-30T06:54:49.497696\"",
            "30 February" },
        { Replaced(Ao7, "2026-09-21T", "1999-09-21T"),
            "line 2: OSCAR 7 (AO-7): EPOCH not a date-time of 2000 to 2099: "
            "\"1999-09-21T06:54:49.497696\"",
            "the two-digit epoch year cannot hold 1999" },
        { Replaced(Ao7, ",12.53699625,", ",25.0,"),
            "line 2: OSCAR 7 (AO-7): MEAN_MOTION 25 is outside 0.01 to 20 rev/day",
            "the element check every format passes" },
        { Replaced(Ao7, ",999,", ",9.5,"),
            "line 2: OSCAR 7 (AO-7): ELEMENT_SET_NO not a whole number: \"9.5\"",
            "element set number" },
    };
    for (const BadCsvRow& row : rows) {
        SCOPED_TRACE(row.Why);
        const TleLoad load = ReadCsv(Header + "\n" + row.Line + "\n" + Jamx + "\n");
        ASSERT_EQ(load.Refused.size(), 1u);
        EXPECT_EQ(DescribeTleIssue("test.csv", load.Refused[0]), "test.csv " + row.FirstIgnored);
        ASSERT_EQ(load.SatCount, 1); // the good record after it is read
        EXPECT_EQ(load.Table.Record(1).Elements.CatalogNumber, 100465);
    }
}

TEST(OmmCsv, RealDownloadGivesTheTwoLineTextsOfThePeerExport)
{
    // python3-sgp4's exporter wrote the .txt from the same CSV: our two-line
    // texts of each record must be its lines. The one column where the
    // writers differ is the sign of a zero second derivative (cols 51).
    const TleLoad csv = LoadTleFile(DataFile("amateur-2026-09.csv"));
    const TleLoad txt = LoadTleFile(DataFile("amateur-2026-09.txt"));
    ASSERT_EQ(csv.SatCount, 96);
    ASSERT_EQ(txt.SatCount, 95);
    EXPECT_TRUE(csv.Refused.empty());
    for (int i = 1; i <= txt.SatCount; ++i) {
        const SatRecord& record = csv.Table.Record(i);
        const auto ours = ShownLines(record);
        const SatRecord& peer = txt.Table.Record(i);
        SCOPED_TRACE(peer.SatName);
        EXPECT_EQ(record.SatName, peer.SatName);
        EXPECT_EQ(ours.second, peer.Line2);
        std::string peerLine1 = peer.Line1;
        if (peerLine1.substr(44, 8) == " 00000-0")
            peerLine1 = Replaced(peerLine1, " 00000-0", " 00000+0");
        EXPECT_EQ(ours.first.substr(0, 68), peerLine1.substr(0, 68));
        EXPECT_EQ(record.Elements.CatalogNumber, peer.Elements.CatalogNumber);
        EXPECT_EQ(record.Elements.IntlDesignator, peer.Elements.IntlDesignator);
    }
    const auto jamx = ShownLines(csv.Table.Record(96));
    EXPECT_EQ(jamx.first, "1 A0465U 26195A   26263.63732165  .00003134  00000+0  19966-3 0  9994");
    EXPECT_EQ(jamx.second, "2 A0465  97.5374 336.9926 0013721 161.6899 198.4827 15.09406534  3991");
}

TEST(OmmCsv, AboveAlpha5OneLineWithNumberDesignatorAndEpoch)
{
    const TleLoad load = ReadCsv(Header + "\n" + Replaced(Jamx, ",100465,", ",400001,") + "\n");
    ASSERT_EQ(load.SatCount, 1);
    const SatRecord& r = load.Table.Record(1);
    EXPECT_EQ(ShownLines(r),
        std::make_pair(
            std::string("400001  2026-195A  2026-09-20T15:17:44.590560"), std::string()));
    EXPECT_TRUE(r.HasElementSet());
    EXPECT_EQ(FormatTleLines(r), std::nullopt);
}

TEST(OmmEpoch, IsoTextsBothWays)
{
    const std::pair<const char*, double> rows[] = {
        { "2000-01-01T00:00:00.000000", 1.0 },
        { "2024-12-31T12:00:00.000000", 24366.5 }, // leap year: day 366
        { "2026-09-20T15:17:44.590560", 26263.0 + 55064.59056 / 86400.0 },
        { "2099-12-31T23:59:59.999999", 99365.0 + 86399.999999 / 86400.0 },
    };
    for (const auto& [text, epoch] : rows) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(EpochFromIso(text).has_value());
        EXPECT_NEAR(*EpochFromIso(text), epoch, 1e-10);
        EXPECT_EQ(IsoFromEpoch(*EpochFromIso(text)), text);
    }
    for (const char* bad : { "2026-09-20", "2026-09-20T24:00:00", "2026-13-01T00:00:00",
             "2026-09-20T15:17:44.", "2100-01-01T00:00:00", "20260920T151744" }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(EpochFromIso(bad), std::nullopt);
    }
}

SatRecord Numbered(int number, double epoch, const char* name)
{
    SatRecord r;
    r.SatName = name;
    r.Elements.CatalogNumber = number;
    r.Elements.Epoch = epoch;
    return r;
}

TEST(OmmMerge, NewestEpochWinsInOrderOfFirstAppearance)
{
    const std::vector<SatRecord> merged = MergeByCatalogNumber({
        Numbered(7530, 26260.5, "AO-7 old"),
        Numbered(100465, 26263.6, "JAMX01"),
        Numbered(0, 26263.0, "unnumbered"),
        Numbered(7530, 26264.2, "AO-7 new"),
        Numbered(0, 26263.0, "unnumbered too"),
        Numbered(100465, 26261.0, "JAMX01 older"),
    });
    std::vector<std::string> names;
    for (const SatRecord& r : merged)
        names.push_back(r.SatName);
    EXPECT_EQ(
        names, (std::vector<std::string> { "AO-7 new", "JAMX01", "unnumbered", "unnumbered too" }));
}

} // namespace
} // namespace aostrack
