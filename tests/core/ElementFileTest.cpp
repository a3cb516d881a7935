// The catalogue loader: one real download in three forms (CSV, JSON and the
// two-line export of the same sets) gives the same look angles; NDM/XML; bad
// records of every form skipped and counted; the writers read back; the
// tracker lists and tracks a six-digit satellite from a CSV catalogue.
#include "core/ElementFile.h"

#include "FakeClock.h"
#include "TestFiles.h"
#include "core/EventLog.h"
#include "core/TrackingSession.h"
#include "orbit/CatalogNumber.h"
#include "orbit/Engine.h"
#include "orbit/Omm.h"

#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <gtest/gtest.h>

#include <cmath>

using namespace aostrack;
using namespace std::chrono;

namespace {

QString OrbitData(const char* name)
{
    return QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/orbit/data/") + QLatin1String(name);
}

QString CoreData(const char* name)
{
    return QStringLiteral(AOSTRACK_SOURCE_DIR "/tests/core/data/") + QLatin1String(name);
}

QByteArray ReadAllForTest(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

const SatRecord* FindNumber(const TleLoad& load, int number)
{
    for (int i = 1; i <= load.Table.SatCount(); ++i) {
        if (load.Table.Record(i).Elements.CatalogNumber == number)
            return &load.Table.Record(i);
    }
    return nullptr;
}

const Station Munich { 48.1371, 11.5754, 0.519 };
// The epochs run from 19 to 21 September 2026; the look angles are compared
// over the following day.
const sys_seconds Instants[] = {
    sys_days(2026y / September / 21) + 12h,
    sys_days(2026y / September / 21) + 18h + 17min + 3s,
    sys_days(2026y / September / 22) + 6h,
};

TEST(ElementFileFormats, ThreeFormsOfTheRealDownloadGiveTheSameLookAngles)
{
    const TleLoad csv = LoadTleFile(OrbitData("amateur-2026-09.csv"));
    const TleLoad json = LoadTleFile(OrbitData("amateur-2026-09.json"));
    const TleLoad txt = LoadTleFile(OrbitData("amateur-2026-09.txt"));
    EXPECT_EQ(csv.Format, ElementFormat::Csv);
    EXPECT_EQ(json.Format, ElementFormat::Json);
    EXPECT_EQ(txt.Format, ElementFormat::Tle);
    ASSERT_EQ(csv.SatCount, 96);
    ASSERT_EQ(json.SatCount, 96);
    ASSERT_EQ(txt.SatCount, 95); // JAMX01 does not fit the two-line columns
    EXPECT_TRUE(csv.Refused.empty() && json.Refused.empty() && txt.Refused.empty());

    int compared = 0;
    for (int i = 1; i <= csv.SatCount; ++i) {
        const SatRecord& c = csv.Table.Record(i);
        const SatRecord& j = json.Table.Record(i);
        SCOPED_TRACE(c.SatName);
        // CSV and JSON carry the same decimal values: the very same record.
        EXPECT_EQ(c, j);
        const SatRecord* t = FindNumber(txt, c.Elements.CatalogNumber);
        if (c.Elements.CatalogNumber > MaxFiveDigitNumber) {
            EXPECT_EQ(t, nullptr);
            continue;
        }
        ASSERT_NE(t, nullptr);
        for (const sys_seconds at : Instants) {
            const SatelliteState fromCsv = ComputeSatellite(c.Elements, Munich, at);
            const SatelliteState fromTxt = ComputeSatellite(t->Elements, Munich, at);
            // The two-line columns round the epoch to 1e-8 day (0.9 ms, a few
            // metres along the track) and the eccentricity to seven digits:
            // a thousandth of a degree seen from the ground.
            EXPECT_NEAR(fromCsv.SatAzimuth, fromTxt.SatAzimuth, 2e-3);
            EXPECT_NEAR(fromCsv.SatElevation, fromTxt.SatElevation, 2e-3);
            EXPECT_NEAR(fromCsv.SatRange, fromTxt.SatRange, 0.05);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 95 * 3);
}

TEST(ElementFileFormats, NdmXmlGivesTheRecordsOfTheCsv)
{
    const TleLoad csv = LoadTleFile(OrbitData("amateur-2026-09.csv"));
    const TleLoad xml = LoadTleFile(CoreData("omm-ndm.xml"));
    EXPECT_EQ(xml.Format, ElementFormat::Xml);
    ASSERT_EQ(xml.SatCount, 2);
    EXPECT_EQ(xml.Table.Record(1), *FindNumber(csv, 7530));
    EXPECT_EQ(xml.Table.Record(2), *FindNumber(csv, 100465));

    // A single <omm> without the <ndm> around it.
    const QByteArray single = R"(<?xml version="1.0"?>
<omm id="CCSDS_OMM_VERS" version="2.0"><body><segment>
<metadata><OBJECT_NAME>JAMX01 (JING'AN DREAM STAR)</OBJECT_NAME><OBJECT_ID>2026-195A</OBJECT_ID></metadata>
<data><meanElements><EPOCH>2026-09-20T15:17:44.590560</EPOCH><MEAN_MOTION>15.09406534</MEAN_MOTION>
<ECCENTRICITY>.00137213</ECCENTRICITY><INCLINATION>97.5374</INCLINATION><RA_OF_ASC_NODE>336.9926</RA_OF_ASC_NODE>
<ARG_OF_PERICENTER>161.6899</ARG_OF_PERICENTER><MEAN_ANOMALY>198.4827</MEAN_ANOMALY></meanElements>
<tleParameters><EPHEMERIS_TYPE>0</EPHEMERIS_TYPE><CLASSIFICATION_TYPE>U</CLASSIFICATION_TYPE>
<NORAD_CAT_ID>100465</NORAD_CAT_ID><ELEMENT_SET_NO>999</ELEMENT_SET_NO><REV_AT_EPOCH>399</REV_AT_EPOCH>
<BSTAR>.19965673E-3</BSTAR><MEAN_MOTION_DOT>.3134E-4</MEAN_MOTION_DOT><MEAN_MOTION_DDOT>0</MEAN_MOTION_DDOT>
</tleParameters></data></segment></body></omm>
)";
    const TleLoad one = ReadElementData(single, "one.xml");
    ASSERT_EQ(one.SatCount, 1);
    EXPECT_EQ(one.Table.Record(1), *FindNumber(csv, 100465));
}

TEST(ElementFileFormats, JsonValuesAsStrings)
{
    // One service sends every value as a JSON string.
    const QByteArray strings = R"~([{"OBJECT_NAME":"OSCAR 7 (AO-7)","OBJECT_ID":"1974-089B",
        "EPOCH":"2026-09-21T06:54:49.497696","MEAN_MOTION":"12.53699625","ECCENTRICITY":".00119878",
        "INCLINATION":"101.9920","RA_OF_ASC_NODE":"278.5390","ARG_OF_PERICENTER":"309.0150",
        "MEAN_ANOMALY":"62.1343","EPHEMERIS_TYPE":"0","CLASSIFICATION_TYPE":"U","NORAD_CAT_ID":"7530",
        "ELEMENT_SET_NO":"999","REV_AT_EPOCH":"37256","BSTAR":".5696261E-4",
        "MEAN_MOTION_DOT":"-.37E-6","MEAN_MOTION_DDOT":"0"}])~";
    const TleLoad load = ReadElementData(strings, "strings.json");
    ASSERT_EQ(load.SatCount, 1);
    // A round number is still read as a number (its shortest text is 1e+05).
    const TleLoad round
        = ReadElementData(QByteArray(strings).replace(R"("7530")", "100000"), "round.json");
    ASSERT_EQ(round.SatCount, 1);
    EXPECT_EQ(round.Table.Record(1).Elements.CatalogNumber, 100000);
    EXPECT_EQ(
        load.Table.Record(1), *FindNumber(LoadTleFile(OrbitData("amateur-2026-09.csv")), 7530));
}

// One good record (AO-7) and one bad one, in each form.
struct BadInputRow {
    const char* Why;
    QByteArray Data;
    std::string FirstIgnored;
};

QByteArray Ao7Json(const QByteArray& changes)
{
    return R"~({"OBJECT_NAME":"OSCAR 7 (AO-7)","OBJECT_ID":"1974-089B","EPOCH":"2026-09-21T06:54:49.497696",)~"
           R"("MEAN_MOTION":12.53699625,"ECCENTRICITY":0.00119878,"INCLINATION":101.992,)"
           R"("RA_OF_ASC_NODE":278.539,"ARG_OF_PERICENTER":309.015,"MEAN_ANOMALY":62.1343)"
        + changes + "}";
}

QByteArray XmlRecord(const QByteArray& meanMotion, const QByteArray& number)
{
    return "<omm><body><segment><metadata><OBJECT_NAME>AO-7</OBJECT_NAME></metadata><data>"
           "<meanElements><EPOCH>2026-09-21T06:54:49.497696</EPOCH>"
        + meanMotion
        + "<ECCENTRICITY>.00119878</ECCENTRICITY><INCLINATION>101.9920</INCLINATION>"
          "<RA_OF_ASC_NODE>278.5390</RA_OF_ASC_NODE><ARG_OF_PERICENTER>309.0150</ARG_OF_PERICENTER>"
          "<MEAN_ANOMALY>62.1343</MEAN_ANOMALY></meanElements><tleParameters><NORAD_CAT_ID>"
        + number + "</NORAD_CAT_ID></tleParameters></data></segment></body></omm>\n";
}

TEST(ElementFileFormats, BadRecordsSkippedAndCountedWithWhere)
{
    const QByteArray csvHeader = "OBJECT_NAME,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,"
                                 "RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY,NORAD_CAT_ID\r\n";
    const QByteArray csvGood = "AO-7,2026-09-21T06:54:49.497696,12.53699625,.00119878,101.9920,"
                               "278.5390,309.0150,62.1343,7530\r\n";
    const QByteArray mm = "<MEAN_MOTION>12.53699625</MEAN_MOTION>";
    const BadInputRow rows[] = {
        { "CSV line with a field missing",
            csvHeader + "AO-7,2026-09-21T06:54:49,12.5,.001,101,278,309,62\r\n" + csvGood,
            "line 2: AO-7: fields are 8, the header names 9" },
        { "CSV catalogue number not a number",
            csvHeader + csvGood + QByteArray(csvGood).replace(",7530", ",N/A"),
            "line 3: AO-7: NORAD_CAT_ID not a catalogue number: \"N/A\"" },
        { "JSON value of the wrong type",
            "[" + Ao7Json(R"(,"NORAD_CAT_ID":7530,"MEAN_MOTION":true)") + ","
                + Ao7Json(R"(,"NORAD_CAT_ID":7530)") + "]",
            "record 1: OSCAR 7 (AO-7): MEAN_MOTION is true or false, not a number or text" },
        { "JSON record that is no object", "[42," + Ao7Json(R"(,"NORAD_CAT_ID":7530)") + "]",
            "record 1: record is not a JSON object but a number" },
        { "JSON catalogue number as a nested array",
            "[" + Ao7Json(R"(,"NORAD_CAT_ID":7530)") + "," + Ao7Json(R"(,"NORAD_CAT_ID":[7530])")
                + "]",
            "record 2: OSCAR 7 (AO-7): NORAD_CAT_ID is an array, not a number or text" },
        { "JSON catalogue number text not a number",
            "[" + Ao7Json(R"(,"NORAD_CAT_ID":"7530")") + "," + Ao7Json(R"(,"NORAD_CAT_ID":"SEVEN")")
                + "]",
            "record 2: OSCAR 7 (AO-7): NORAD_CAT_ID not a catalogue number: \"SEVEN\"" },
        { "JSON catalogue number with a fraction",
            "[" + Ao7Json(R"(,"NORAD_CAT_ID":7530)") + "," + Ao7Json(R"(,"NORAD_CAT_ID":7530.5)")
                + "]",
            "record 2: OSCAR 7 (AO-7): NORAD_CAT_ID not a catalogue number: \"7530.5\"" },
        { "XML record without MEAN_MOTION",
            "<ndm>\n" + XmlRecord(mm, "7530") + XmlRecord("", "7530") + "</ndm>\n",
            "record 2 (line 3): AO-7: MEAN_MOTION missing" },
        { "XML catalogue number not a number",
            "<ndm>\n" + XmlRecord(mm, "75 30") + XmlRecord(mm, "7530") + "</ndm>\n",
            "record 1 (line 2): AO-7: NORAD_CAT_ID not a catalogue number: \"75 30\"" },
        // Input quoted in a message is cut to 80 characters: a megabyte name
        // made a megabyte line.
        { "JSON name of a megabyte, number of 200 digits",
            "[" + Ao7Json(R"(,"NORAD_CAT_ID":7530)") + ","
                + Ao7Json(R"(,"NORAD_CAT_ID":")" + QByteArray(200, '9') + "\"")
                      .replace("OSCAR 7 (AO-7)", QByteArray(1 << 20, 'N'))
                + "]",
            "record 2: " + std::string(80, 'N') + "\u2026: NORAD_CAT_ID not a catalogue number: \""
                + std::string(80, '9') + "\u2026\"" },
        // A quote the line does not close ends with its line, and a line far
        // longer than a record is refused without being split.
        { "CSV quote left open",
            csvHeader + QByteArray(csvGood).replace(",2026", ",\"2026") + csvGood,
            "line 2: AO-7: column 6 opens a quote that the line does not close" },
        { "CSV line beyond any record",
            csvHeader + "\"AO-7," + QByteArray(3 << 20, 'x') + "\r\n" + csvGood,
            "line 2: line is 3145734 bytes long, a record has at most 1048576" },
    };
    for (const BadInputRow& row : rows) {
        SCOPED_TRACE(row.Why);
        const TleLoad load = ReadElementData(row.Data, "bad");
        ASSERT_EQ(load.Refused.size(), 1u);
        EXPECT_EQ(DescribeTleIssue("bad", load.Refused[0]), "bad " + row.FirstIgnored);
        ASSERT_EQ(load.SatCount, 1);
        EXPECT_EQ(load.Table.Record(1).Elements.CatalogNumber, 7530);
        EXPECT_DOUBLE_EQ(load.Table.Record(1).Elements.MeanMotion, 12.53699625);
    }
}

TEST(ElementFileFormats, CutOffJsonOrXmlRefusedWhole)
{
    const QByteArray json = ReadAllForTest(OrbitData("amateur-2026-09.json"));
    const QByteArray xml = ReadAllForTest(CoreData("omm-ndm.xml"));
    for (const QByteArray& cut : { json.left(json.size() / 2), xml.left(xml.size() - 20) }) {
        EXPECT_THROW(ReadElementData(cut, "cut"), TleFileError);
    }
    // An HTML error page parses as XML but is no NDM document.
    EXPECT_THROW(ReadElementData("<!DOCTYPE html>\n<html><body>Service Unavailable</body></html>\n",
                     "error.html"),
        TleFileError);
    // Valid JSON without a single usable record reads as an empty catalogue.
    EXPECT_EQ(ReadElementData("[]", "empty.json").SatCount, 0);
    EXPECT_EQ(ReadElementData(R"([{"OBJECT_NAME":"X"}])", "x.json").Refused.size(), 1u);
}

TEST(ElementFileFormats, WrittenFormsReadBack)
{
    const TleLoad csv = LoadTleFile(OrbitData("amateur-2026-09.csv"));
    std::vector<SatRecord> records;
    for (int i = 1; i <= csv.SatCount; ++i)
        records.push_back(csv.Table.Record(i));

    for (const ElementFormat format :
        { ElementFormat::Csv, ElementFormat::Json, ElementFormat::Xml }) {
        SCOPED_TRACE(std::string(ElementFormatName(format)));
        const ElementWrite written = WriteElementData(records, format);
        EXPECT_TRUE(written.LeftOut.empty());
        const TleLoad back = ReadElementData(written.Data, "written");
        EXPECT_EQ(back.Format, format);
        ASSERT_EQ(back.SatCount, 96);
        for (int i = 1; i <= 96; ++i)
            EXPECT_EQ(back.Table.Record(i), records[static_cast<std::size_t>(i - 1)]);
    }

    // Two-line output: JAMX01 in Alpha-5; numbers above 339999 left out.
    records.back().Elements.CatalogNumber = 400001;
    const ElementWrite tle = WriteElementData(records, ElementFormat::Tle);
    EXPECT_EQ(tle.LeftOut, std::vector<std::string> { "JAMX01 (JING'AN DREAM STAR)" });
    const TleLoad back = ReadElementData(tle.Data, "written.txt");
    ASSERT_EQ(back.SatCount, 95);
    EXPECT_EQ(back.Table.Record(1).Line1, ShownLines(records.front()).first);
    EXPECT_EQ(back.Table.Record(95).Line2, ShownLines(records[94]).second);
}

// Two-line output of names that begin like another form, or like an element
// line, or hold a line break: before, a file whose first name began with
// "<", "[" or "{" was refused as XML or JSON, the program's own output.
TEST(ElementFileFormats, TwoLineOutputOfAnyNameReadsBack)
{
    const struct {
        QByteArray name; // as a JSON text
        std::string read; // the name the two-line file gives back
    } names[] = {
        { "<ndm>", "<ndm>" },
        { "[AO-7]", "[AO-7]" },
        { "{AO-7}", "{AO-7}" },
        { "NORAD_CAT_ID,EPOCH", "NORAD_CAT_ID,EPOCH" },
        { "1 AO-7", "1 AO-7" },
        { "2 AO-7", "2 AO-7" },
        { "AO-7\\nsecond line\\t", "AO-7 second line" },
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.read);
        const QByteArray json = "["
            + Ao7Json(R"(,"NORAD_CAT_ID":7530)").replace("OSCAR 7 (AO-7)", n.name) + ","
            + Ao7Json(R"(,"NORAD_CAT_ID":7531)") + "]";
        const TleLoad load = ReadElementData(json, "names.json");
        ASSERT_EQ(load.SatCount, 2);
        EXPECT_EQ(load.Table.Record(1).SatName, n.read);
        const std::vector<SatRecord> records { load.Table.Record(1), load.Table.Record(2) };
        const ElementWrite tle = WriteElementData(records, ElementFormat::Tle);
        const TleLoad back = ReadElementData(tle.Data, "names.txt");
        EXPECT_EQ(back.Format, ElementFormat::Tle);
        EXPECT_TRUE(back.Refused.empty());
        ASSERT_EQ(back.SatCount, 2);
        EXPECT_EQ(back.Table.Record(1).SatName, n.read);
        EXPECT_EQ(back.Table.Record(1).Elements.CatalogNumber, 7530);
        EXPECT_EQ(back.Table.Record(2).Elements.CatalogNumber, 7531);
    }
}

// External entities are never read (a document must not make us open files);
// a name made of one came out empty without a word. Now said once.
TEST(ElementFileFormats, UnreadEntitySaidOnce)
{
    const QByteArray mm = "<MEAN_MOTION>12.53699625</MEAN_MOTION>";
    const QByteArray record = XmlRecord(mm, "7530").replace("AO-7", "&xxe;");
    const QByteArray xml = "<?xml version=\"1.0\"?>\n"
                           "<!DOCTYPE ndm [<!ENTITY xxe SYSTEM \"file:///etc/hostname\">]>\n"
                           "<ndm>\n"
        + record + QByteArray(record).replace("7530", "7531") + "</ndm>\n";
    const TleLoad load = ReadElementData(xml, "xxe.xml");
    ASSERT_EQ(load.SatCount, 2);
    EXPECT_EQ(load.Table.Record(1).SatName, "7530"); // the number stands in for the name
    ASSERT_EQ(load.Warnings.size(), 1u);
    EXPECT_EQ(DescribeTleIssue("xxe.xml", load.Warnings[0]),
        "xxe.xml line 4: entity &xxe; is external and not read: the fields that use it are left "
        "without it");
}

TEST(ElementFileTracker, TracksTheSixDigitSatelliteOfACsvCatalogue)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteTestFile(dir.filePath("sat.ini"),
        "QTH=Test\r\nTLEFILE=amateur.csv\r\nDOPPLERFILE=doppler.sql\r\nQTH_LAT=48.1371\r\n"
        "QTH_LONG=11.5754\r\nQTH_HEIGHT=0.519\r\n");
    // The real download with one broken line in its middle.
    QByteArray csv = ReadAllForTest(OrbitData("amateur-2026-09.csv"));
    csv.replace(",U,14781,", ",U,14781X,");
    WriteTestFile(dir.filePath("amateur.csv"), csv);
    WriteTestFile(dir.filePath("doppler.sql"), ";key,down,up,mode,tone,remark\r\n");

    FakeClock clock(sys_days(2026y / September / 21) + 12h);
    EventLog log(clock);
    TrackingSession tracker(clock, log);
    tracker.StartupFromIni(dir.filePath("sat.ini"));
    tracker.Stop();
    EXPECT_TRUE(log.Lines().join('\n').contains(dir.filePath("amateur.csv")
        + " line 4: UOSAT 2 (UO-11): NORAD_CAT_ID not a catalogue number: \"14781X\" (record "
          "refused)"))
        << log.Lines().join('\n').toStdString();
    ASSERT_EQ(tracker.SatelliteNames().size(), 95);
    const int jamx
        = static_cast<int>(tracker.SatelliteNames().indexOf("JAMX01 (JING'AN DREAM STAR)"));
    ASSERT_EQ(jamx, 94);
    tracker.ChooseSatellite(jamx);
    EXPECT_EQ(tracker.ElementLine1(),
        "1 A0465U 26195A   26263.63732165  .00003134  00000+0  19966-3 0  9994");
    EXPECT_EQ(tracker.ElementLine2(),
        "2 A0465  97.5374 336.9926 0013721 161.6899 198.4827 15.09406534  3991");
    tracker.TrackingTick();
    const SatelliteState expected
        = ComputeSatellite(tracker.CurrentElements(), tracker.StationPosition(), clock.UtcNow());
    EXPECT_EQ(tracker.State().SatAzimuth, expected.SatAzimuth);
    EXPECT_EQ(tracker.CurrentElements().CatalogNumber, 100465);
    EXPECT_TRUE(tracker.AosTime().has_value());
}

// The catalogue loader names the file it could not open.
TEST(TleFile, MissingFileNamesTheFile)
{
    const std::string path = "/nonexistent/aostrack/none.txt";
    try {
        LoadTleFile(QString::fromStdString(path));
        FAIL() << "no error for a missing file";
    } catch (const TleFileError& e) {
        EXPECT_EQ(e.File(), path);
        EXPECT_EQ(e.Line(), 0);
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
        EXPECT_NE(e.Reason().find("No such file"), std::string::npos) << e.Reason();
    }
    EXPECT_THROW(
        LoadTleFile(QString::fromStdString(std::filesystem::temp_directory_path().string())),
        TleFileError);
}

} // namespace
