// aostrack-cli state, next-pass and passes as scripts call them: exit codes,
// output formats and values checked against the engine and by hand.
#include "CliRunner.h"
#include "TleFile.h"

#include "orbit/Engine.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

// The example station: Munich.
const QStringList kMunich
    = { QStringLiteral("--lat"), QStringLiteral("48.1371"), QStringLiteral("--lon"),
          QStringLiteral("11.5754"), QStringLiteral("--height"), QStringLiteral("0.519") };
const Station kMunichStation { 48.1371, 11.5754, 0.519 };

QStringList WithStation(QStringList args)
{
    args << QStringLiteral("--tle") << ExampleFile(QStringLiteral("amateur.txt")) << kMunich;
    return args;
}

sys_seconds Utc(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    return sys_days { year { y } / month { mo } / day { d } } + hours { h } + minutes { mi }
    + seconds { s };
}

ElementSet ExampleElements(int record)
{
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    return load.Table.Record(record).Elements;
}

QJsonObject ParseObject(const QString& text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError)
        << error.errorString().toStdString() << " in " << text.toStdString();
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

const QStringList kStateKeys = {
    QStringLiteral("Name"),
    QStringLiteral("CatalogNumber"),
    QStringLiteral("SatAzimuth"),
    QStringLiteral("SatElevation"),
    QStringLiteral("SatRange"),
    QStringLiteral("RangeRate"),
    QStringLiteral("SubSatLat"),
    QStringLiteral("SubSatLon"),
    QStringLiteral("PathLoss"),
    QStringLiteral("DayFraction"),
    QStringLiteral("MeanAnomaly"),
    QStringLiteral("MAPhase"),
    QStringLiteral("OrbitNumber"),
    QStringLiteral("SatHeight"),
    QStringLiteral("SunAngle"),
    QStringLiteral("Illumination"),
    QStringLiteral("IlluminationText"),
    QStringLiteral("SunElevation"),
    QStringLiteral("InEclipse"),
    QStringLiteral("MayBeVisible"),
};

} // namespace

// --- state -----------------------------------------------------------------

TEST(CliState, JsonCarriesExactlyTheResultNamesWithTheEnginesDoubles)
{
    const CliResult r = RunCli(WithStation(
        { QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("ISS (ZARYA)"),
            QStringLiteral("--at"), QStringLiteral("2024-02-12T18:00:00Z"),
            QStringLiteral("--freq"), QStringLiteral("145800"), QStringLiteral("--json") }));
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    ASSERT_EQ(r.OutLines().size(), 1) << "one JSON object on one line";
    const QJsonObject o = ParseObject(r.out);

    QStringList keys = o.keys();
    QStringList expected = kStateKeys;
    keys.sort();
    expected.sort();
    EXPECT_EQ(keys, expected);

    // Record 10 of the example file is ISS (ZARYA); the printed numbers read
    // back to the very doubles the engine computes.
    const SatelliteState s
        = ComputeSatellite(ExampleElements(10), kMunichStation, Utc(2024, 2, 12, 18, 0, 0), 145800);
    EXPECT_EQ(o[QStringLiteral("Name")].toString(), QStringLiteral("ISS (ZARYA)"));
    EXPECT_EQ(o[QStringLiteral("CatalogNumber")].toInt(), 25544);
    EXPECT_EQ(o[QStringLiteral("SatAzimuth")].toDouble(), s.SatAzimuth);
    EXPECT_EQ(o[QStringLiteral("SatElevation")].toDouble(), s.SatElevation);
    EXPECT_EQ(o[QStringLiteral("SatRange")].toDouble(), s.SatRange);
    EXPECT_EQ(o[QStringLiteral("RangeRate")].toDouble(), s.RangeRate);
    EXPECT_EQ(o[QStringLiteral("SubSatLat")].toDouble(), s.SubSatLat);
    EXPECT_EQ(o[QStringLiteral("SubSatLon")].toDouble(), s.SubSatLon);
    EXPECT_EQ(o[QStringLiteral("PathLoss")].toDouble(), s.PathLoss);
    EXPECT_EQ(o[QStringLiteral("MeanAnomaly")].toDouble(), s.MeanAnomaly);
    EXPECT_EQ(o[QStringLiteral("SatHeight")].toDouble(), s.SatHeight);
    EXPECT_EQ(o[QStringLiteral("SunAngle")].toDouble(), s.SunAngle);
    EXPECT_EQ(o[QStringLiteral("Illumination")].toDouble(), s.Illumination);
    EXPECT_EQ(o[QStringLiteral("SunElevation")].toDouble(), s.SunElevation);
    EXPECT_EQ(o[QStringLiteral("MAPhase")].toInt(), s.MAPhase);
    EXPECT_EQ(o[QStringLiteral("OrbitNumber")].toInt(), s.OrbitNumber);
    EXPECT_EQ(o[QStringLiteral("IlluminationText")].toString().toStdString(), s.IlluminationText);
    EXPECT_EQ(o[QStringLiteral("InEclipse")].toBool(), s.InEclipse);
    EXPECT_EQ(o[QStringLiteral("MayBeVisible")].toBool(), s.MayBeVisible);
    EXPECT_TRUE(o[QStringLiteral("InEclipse")].isBool());
    EXPECT_TRUE(o[QStringLiteral("IlluminationText")].isString());

    // 18:00:00 UTC is three quarters of the day, exactly.
    EXPECT_EQ(o[QStringLiteral("DayFraction")].toDouble(), 0.75);
    // The ISS flew about 417 km up in February 2024.
    EXPECT_NEAR(o[QStringLiteral("SatHeight")].toDouble(), 417, 15);

    // A range like 12182.434121631395 km needs all 17 significant digits.
    const QRegularExpression range(QStringLiteral("\"SatRange\": ([0-9.]+)"));
    const QString digits = range.match(r.out).captured(1).remove(QLatin1Char('.'));
    EXPECT_EQ(digits.size(), 17) << r.out.toStdString();
}

TEST(CliState, SatByNameAndByNumberAgreeAndTextFormNamesTheSatellite)
{
    const QStringList at = { QStringLiteral("--at"), QStringLiteral("2024-02-12T13:25:00Z") };
    const CliResult byName
        = RunCli(WithStation(QStringList { QStringLiteral("state"), QStringLiteral("--sat"),
                                 QStringLiteral("SAUDISAT 1C (SO-50)"), QStringLiteral("--json") }
            + at));
    const CliResult byNumber
        = RunCli(WithStation(QStringList { QStringLiteral("state"), QStringLiteral("--sat"),
                                 QStringLiteral("12"), QStringLiteral("--json") }
            + at));
    ASSERT_EQ(byName.exitCode, 0) << byName.err.toStdString();
    EXPECT_EQ(byName.out, byNumber.out);

    const CliResult text = RunCli(WithStation(
        QStringList { QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("12") }
        + at));
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.startsWith(QStringLiteral("SAUDISAT 1C (SO-50) (record 12 of ")))
        << text.out.toStdString();
    // The name heads the text (above); every other key is a row.
    for (const QString& key : kStateKeys.mid(1))
        EXPECT_TRUE(text.out.contains(QRegularExpression(
            QStringLiteral("^%1 ").arg(key), QRegularExpression::MultilineOption)))
            << key.toStdString();
}

TEST(CliState, JsonKeepsTheFullStopWhenTheStationSpeaksGerman)
{
    // Scripts read the numbers whatever the operator's regional settings.
    const QStringList args = WithStation({ QStringLiteral("state"), QStringLiteral("--sat"),
        QStringLiteral("10"), QStringLiteral("--at"), QStringLiteral("2024-02-12T18:00:00Z"),
        QStringLiteral("--json") });
    const CliResult c = RunCli(args);
    const CliResult german = RunProgram(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), args,
        60000, { QStringLiteral("LC_ALL=de_DE.UTF-8"), QStringLiteral("LANG=de_DE.UTF-8") });
    ASSERT_EQ(german.exitCode, 0) << german.err.toStdString();
    EXPECT_EQ(german.out, c.out);
    EXPECT_TRUE(german.out.contains(QStringLiteral("\"DayFraction\": 0.75,")));
}

// --- next-pass and passes ----------------------------------------------------

TEST(CliNextPass, So50PassMatchesTheHorizonCrossingsSecondBySecond)
{
    const CliResult r = RunCli(WithStation({ QStringLiteral("next-pass"), QStringLiteral("--sat"),
        QStringLiteral("SAUDISAT 1C (SO-50)"), QStringLiteral("--from"),
        QStringLiteral("2024-02-12T12:00:00Z"), QStringLiteral("--json") }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = ParseObject(r.out);
    EXPECT_EQ(o.keys(), (QStringList { QStringLiteral("AosTime"), QStringLiteral("LosTime") }));
    EXPECT_EQ(o[QStringLiteral("AosTime")].toString(), QStringLiteral("2024-02-12T13:18:22Z"));
    EXPECT_EQ(o[QStringLiteral("LosTime")].toString(), QStringLiteral("2024-02-12T13:29:34Z"));

    // The engine itself, one second either side of each crossing.
    const ElementSet so50 = ExampleElements(12);
    const auto el = [&](int h, int m, int s) {
        return ComputeSatellite(so50, kMunichStation, Utc(2024, 2, 12, h, m, s)).SatElevation;
    };
    EXPECT_LE(el(13, 18, 21), 0.0);
    EXPECT_GT(el(13, 18, 22), 0.0);
    EXPECT_GE(el(13, 29, 33), 0.0);
    EXPECT_LT(el(13, 29, 34), 0.0);
}

TEST(CliNextPass, SatelliteAlreadyUpGivesAosOneSecondLaterAndGeostationaryHasNoLos)
{
    const CliResult r = RunCli(WithStation({ QStringLiteral("next-pass"), QStringLiteral("--sat"),
        QStringLiteral("ES'HAIL 2"), QStringLiteral("--from"),
        QStringLiteral("2024-02-12T12:00:00Z"), QStringLiteral("--json") }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(
        r.out, QStringLiteral("{\"AosTime\": \"2024-02-12T12:00:01Z\", \"LosTime\": null}\n"));

    const CliResult text = RunCli(WithStation(
        { QStringLiteral("next-pass"), QStringLiteral("--sat"), QStringLiteral("ES'HAIL 2"),
            QStringLiteral("--from"), QStringLiteral("2024-02-12T12:00:00Z") }));
    EXPECT_EQ(text.out,
        QStringLiteral("AOS 2024-02-12T12:00:01Z\nLOS none within 14 hours\n"
                       "always above the horizon within 14 hours\n"));
}

// A satellite that stays up and one that stays down must not read alike: ES'HAIL
// 2 (geostationary at 25.9 deg E) seen from Munich and from the middle of the
// Pacific (20 N, 150 W), where the earth hides it.
TEST(CliHorizon, AlwaysUpAndNeverUpAreSaidInsteadOfAnEmptyAnswer)
{
    const QStringList pacific
        = { QStringLiteral("--tle"), ExampleFile(QStringLiteral("amateur.txt")),
              QStringLiteral("--lat"), QStringLiteral("20"), QStringLiteral("--lon"),
              QStringLiteral("-150"), QStringLiteral("--height"), QStringLiteral("0") };
    const QStringList eshail = { QStringLiteral("--sat"), QStringLiteral("ES'HAIL 2"),
        QStringLiteral("--from"), QStringLiteral("2024-02-12T12:00:00Z") };
    const struct {
        const char* name;
        QStringList args;
        QString out;
    } cases[] = {
        { "passes, up all day", WithStation(QStringList { QStringLiteral("passes") } + eshail),
            QStringLiteral(
                "always above the horizon in the 24 hours from 2024-02-12T12:00:00Z\n") },
        { "passes, hidden all day", QStringList { QStringLiteral("passes") } + eshail + pacific,
            QStringLiteral("never above the horizon in the 24 hours from 2024-02-12T12:00:00Z\n") },
        { "next-pass, hidden", QStringList { QStringLiteral("next-pass") } + eshail + pacific,
            QStringLiteral("AOS none within 14 hours\nLOS none within 14 hours\n"
                           "never above the horizon within 14 hours\n") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = RunCli(c.args);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, c.out);
    }
    // JSON says the same as the text beside its empty list.
    const struct {
        QStringList args;
        const char* reason;
    } json[] = {
        { WithStation(QStringList { QStringLiteral("passes") } + eshail),
            "always above the horizon" },
        { QStringList { QStringLiteral("passes") } + eshail + pacific, "never above the horizon" },
    };
    for (const auto& c : json) {
        const CliResult r = RunCli(c.args + QStringList { QStringLiteral("--json") });
        EXPECT_EQ(r.out,
            QStringLiteral("{\"Passes\": [], \"Reason\": \"%1\"}\n").arg(QLatin1String(c.reason)));
    }
}

TEST(CliPasses, FirstSo50LineCheckedMinuteByMinuteAgainstTheEngine)
{
    const CliResult r = RunCli(WithStation(
        { QStringLiteral("passes"), QStringLiteral("--sat"), QStringLiteral("SAUDISAT 1C (SO-50)"),
            QStringLiteral("--from"), QStringLiteral("2024-02-12T12:00:00Z") }));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.OutLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(
        lines.first(), QStringLiteral("12.02.2024 13:19 (Az 324°) -> 13:30 (Az 074°) maxEl: 12°)"));
    EXPECT_TRUE(r.out.toUtf8().contains("\xC2\xB0")) << "degree sign in UTF-8";

    // By hand from the engine: 13:18 below, 13:19 up at azimuth 324.x,
    // 13:29 still up, 13:30 down at azimuth 74.x, highest sampled minute 12.x.
    const ElementSet so50 = ExampleElements(12);
    const auto at = [&](int h, int m) {
        return ComputeSatellite(so50, kMunichStation, Utc(2024, 2, 12, h, m, 0));
    };
    EXPECT_LT(at(13, 18).SatElevation, 0.0);
    EXPECT_GT(at(13, 19).SatElevation, 0.0);
    EXPECT_EQ(static_cast<int>(at(13, 19).SatAzimuth), 324);
    EXPECT_GT(at(13, 29).SatElevation, 0.0);
    EXPECT_LT(at(13, 30).SatElevation, 0.0);
    EXPECT_EQ(static_cast<int>(at(13, 30).SatAzimuth), 74);
    double maxEl = 0;
    for (int m = 19; m < 30; ++m)
        maxEl = std::max(maxEl, at(13, m).SatElevation);
    EXPECT_EQ(static_cast<int>(maxEl), 12);

    // Every line has the one form, and SO-50 (a 14.3 rev/day LEO) passes
    // Munich several times a day.
    const QRegularExpression form(
        QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d \\(Az \\d{3}°\\) -> \\d\\d:\\d\\d "
                       "\\(Az \\d{3}°\\) maxEl: \\d\\d°\\)$"));
    for (const QString& line : lines)
        EXPECT_TRUE(form.match(line).hasMatch()) << line.toStdString();
    EXPECT_GE(lines.size(), 4);
}

TEST(CliPasses, JsonListsTheSamePassesAsTheText)
{
    const QStringList args = WithStation({ QStringLiteral("passes"), QStringLiteral("--sat"),
        QStringLiteral("12"), QStringLiteral("--from"), QStringLiteral("2024-02-12T12:00:00Z") });
    const CliResult text = RunCli(args);
    const CliResult json = RunCli(args + QStringList { QStringLiteral("--json") });
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray passes = ParseObject(json.out)[QStringLiteral("Passes")].toArray();
    ASSERT_EQ(passes.size(), text.OutLines().size());
    for (qsizetype i = 0; i < passes.size(); ++i)
        EXPECT_EQ(passes[i].toObject()[QStringLiteral("Line")].toString(), text.OutLines()[i]);
    const QJsonObject first = passes[0].toObject();
    EXPECT_EQ(first[QStringLiteral("AosTime")].toString(), QStringLiteral("2024-02-12T13:19:00Z"));
    EXPECT_EQ(first[QStringLiteral("LosTime")].toString(), QStringLiteral("2024-02-12T13:30:00Z"));
    EXPECT_NEAR(first[QStringLiteral("MaxElevation")].toDouble(), 12.5, 0.5);
}

// --- every satellite of the example file -------------------------------------

TEST(CliAllSatellites, StateNextPassAndPassesAnswerForEveryRecord)
{
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    ASSERT_EQ(load.SatCount, 101);
    for (int record = 1; record <= load.SatCount; ++record) {
        SCOPED_TRACE("record " + std::to_string(record) + " " + load.Table.Record(record).SatName);
        const QStringList sat = { QStringLiteral("--sat"), QString::number(record) };

        const CliResult state = RunCli(
            WithStation(QStringList { QStringLiteral("state"), QStringLiteral("--at"),
                            QStringLiteral("2024-02-12T18:00:00Z"), QStringLiteral("--json") }
                + sat));
        ASSERT_EQ(state.exitCode, 0) << state.err.toStdString();
        const QJsonObject o = ParseObject(state.out);
        for (const QString& key : kStateKeys)
            EXPECT_TRUE(o.contains(key) && !o[key].isNull()) << key.toStdString();

        const CliResult next = RunCli(
            WithStation(QStringList { QStringLiteral("next-pass"), QStringLiteral("--from"),
                            QStringLiteral("2024-02-12T18:00:00Z"), QStringLiteral("--json") }
                + sat));
        ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
        const QJsonObject n = ParseObject(next.out);
        EXPECT_TRUE(n.contains(QStringLiteral("AosTime")) && n.contains(QStringLiteral("LosTime")));
        if (n[QStringLiteral("LosTime")].isString()) {
            EXPECT_LT(
                n[QStringLiteral("AosTime")].toString(), n[QStringLiteral("LosTime")].toString());
        }

        const CliResult passes = RunCli(
            WithStation(QStringList { QStringLiteral("passes"), QStringLiteral("--from"),
                            QStringLiteral("2024-02-12T18:00:00Z"), QStringLiteral("--json") }
                + sat));
        ASSERT_EQ(passes.exitCode, 0) << passes.err.toStdString();
        EXPECT_TRUE(ParseObject(passes.out)[QStringLiteral("Passes")].isArray());
    }
}

// --- bad input: exit 2 and one line on stderr ---------------------------------

TEST(CliBadArguments, EachGivesExitTwoAndOneLineOnStderr)
{
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const struct {
        const char* name;
        QStringList args;
    } cases[] = {
        { "empty", {} },
        { "unknown command", { QStringLiteral("orbit") } },
        { "unknown option",
            WithStation(
                { QStringLiteral("state"), QStringLiteral("--azimuth"), QStringLiteral("5") }) },
        { "missing value", WithStation({ QStringLiteral("state"), QStringLiteral("--at") }) },
        { "stray word", WithStation({ QStringLiteral("state"), QStringLiteral("ISS") }) },
        { "option twice",
            WithStation({ QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("1"),
                QStringLiteral("--sat"), QStringLiteral("2") }) },
        { "flag with value",
            WithStation({ QStringLiteral("state"), QStringLiteral("--json=yes") }) },
        { "time without seconds",
            WithStation({ QStringLiteral("state"), QStringLiteral("--at"),
                QStringLiteral("2024-02-12 18:00") }) },
        { "offset beyond a day",
            WithStation({ QStringLiteral("next-pass"), QStringLiteral("--from"),
                QStringLiteral("2024-02-12T18:00:00+24:00") }) },
        { "empty name", WithStation({ QStringLiteral("state"), QStringLiteral("--sat"), {} }) },
        { "impossible date",
            WithStation({ QStringLiteral("passes"), QStringLiteral("--from"),
                QStringLiteral("2023-02-29T00:00:00Z") }) },
        { "hour 24",
            WithStation({ QStringLiteral("state"), QStringLiteral("--at"),
                QStringLiteral("2024-02-12T24:00:00Z") }) },
        { "latitude beyond the pole",
            { QStringLiteral("state"), QStringLiteral("--tle"), tle, QStringLiteral("--lat"),
                QStringLiteral("91"), QStringLiteral("--lon"), QStringLiteral("0"),
                QStringLiteral("--height"), QStringLiteral("0") } },
        { "longitude not a number",
            { QStringLiteral("state"), QStringLiteral("--tle"), tle, QStringLiteral("--lat"),
                QStringLiteral("48"), QStringLiteral("--lon"), QStringLiteral("east"),
                QStringLiteral("--height"), QStringLiteral("0") } },
        { "height in metres",
            { QStringLiteral("state"), QStringLiteral("--tle"), tle, QStringLiteral("--lat"),
                QStringLiteral("48"), QStringLiteral("--lon"), QStringLiteral("11"),
                QStringLiteral("--height"), QStringLiteral("519") } },
        { "record 0",
            WithStation(
                { QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("0") }) },
        { "record past the end",
            WithStation(
                { QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("102") }) },
        { "unknown name",
            WithStation({ QStringLiteral("state"), QStringLiteral("--sat"),
                QStringLiteral("NO SUCH SAT") }) },
        { "name part of several satellites",
            WithStation(
                { QStringLiteral("state"), QStringLiteral("--sat"), QStringLiteral("TEVEL") }) },
        { "negative frequency",
            WithStation(
                { QStringLiteral("state"), QStringLiteral("--freq"), QStringLiteral("-145800") }) },
        { "track speed zero",
            { QStringLiteral("track"), QStringLiteral("--speed"), QStringLiteral("0") } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = RunCli(c.args);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        ASSERT_EQ(r.ErrLines().size(), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("aostrack-cli: "))) << r.err.toStdString();
    }
}

TEST(CliBadFiles, UnreadableElementFilesGiveExitTwoNamingTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString empty = dir.filePath(QStringLiteral("empty.txt"));
    const QString nameOnly = dir.filePath(QStringLiteral("nameonly.txt"));
    QFile(empty).open(QIODevice::WriteOnly);
    {
        QFile f(nameOnly);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("LOST SAT\n");
    }
    const struct {
        const char* name;
        QString path;
        const char* expected; // a piece of the message
    } cases[] = {
        { "missing", dir.filePath(QStringLiteral("nothere.txt")), "nothere.txt: cannot open" },
        { "folder", dir.path(), "folder" },
        { "empty", empty, "no element set" },
        { "name without element lines", nameOnly, "record 1 (LOST SAT)" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* command : { "state", "next-pass", "passes" }) {
            const CliResult r = RunCli({ QString::fromLatin1(command), QStringLiteral("--tle"),
                c.path, QStringLiteral("--lat"), QStringLiteral("48"), QStringLiteral("--lon"),
                QStringLiteral("11"), QStringLiteral("--height"), QStringLiteral("0.5") });
            EXPECT_EQ(r.exitCode, 2) << command;
            ASSERT_EQ(r.ErrLines().size(), 1) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.expected))) << r.err.toStdString();
            EXPECT_FALSE(r.err.contains(QStringLiteral("line 0"))) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
}

// --- finding the satellite by name -------------------------------------------

TEST(CliSatelliteNames, ExactThenAnyCaseThenAUniquePart)
{
    const struct {
        const char* sat;
        int record; // in the example file
    } cases[] = {
        { "ISS (ZARYA)", 10 }, // exact
        { "iss (zarya)", 10 }, // case ignored
        { "ISS", 10 }, // a whole word: SWISSCUBE (21) holds "ISS" inside a word
        { "ZARYA", 10 }, { "SO-50", 12 }, // "SAUDISAT 1C (SO-50)"
        { "so-50", 12 }, { "swisscube", 21 },
        { "SWISS", 21 }, // no whole word, but a part of one name only
        { "  12 ", 12 }, // a record number, blanks around it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sat);
        const CliResult r = RunCli(WithStation(
            { QStringLiteral("state"), QStringLiteral("--sat"), QString::fromLatin1(c.sat),
                QStringLiteral("--at"), QStringLiteral("2024-02-12T18:00:00Z") }));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral(" (record %1 of ").arg(c.record)))
            << r.out.section(QLatin1Char('\n'), 0, 0).toStdString();
    }
}

TEST(CliSatelliteNames, SeveralMatchesGiveExitTwoListingUpToFive)
{
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const struct {
        const char* sat;
        QString err;
    } cases[] = {
        // Eight TEVEL satellites: five named, the rest counted.
        { "tevel",
            QStringLiteral("aostrack-cli: --sat: \"tevel\" matches 8 satellites in %1: "
                           "\"TEVEL-3\", \"TEVEL-8\", \"TEVEL-5\", \"TEVEL-6\", \"TEVEL-1\" "
                           "and 3 more\n")
                .arg(tle) },
        // Exactly five: all named.
        { "XW-2",
            QStringLiteral("aostrack-cli: --sat: \"XW-2\" matches 5 satellites in %1: "
                           "\"XW-2C\", \"XW-2D\", \"XW-2E\", \"XW-2F\", \"XW-2B\"\n")
                .arg(tle) },
        { "NO SUCH SAT",
            QStringLiteral("aostrack-cli: --sat: no satellite named \"NO SUCH SAT\" in %1\n")
                .arg(tle) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sat);
        for (const char* command : { "state", "next-pass", "passes" }) {
            const CliResult r = RunCli(WithStation({ QString::fromLatin1(command),
                QStringLiteral("--sat"), QString::fromLatin1(c.sat) }));
            EXPECT_EQ(r.exitCode, 2) << command;
            EXPECT_EQ(r.err, c.err) << command;
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
}

// --- the age of the element set ------------------------------------------------

TEST(CliElementAge, OneWarningLineOnStderrBeyondFourteenDays)
{
    // The example ISS set has its epoch at 2024-02-12 00:09:51 UTC.
    const struct {
        const char* command;
        const char* timeOption;
        const char* instant;
        QString err;
    } cases[] = {
        { "state", "--at", "2026-12-07T12:00:00Z",
            QStringLiteral(
                "element set of ISS (ZARYA) is 1029 days old: run 'aostrack-cli update'\n") },
        { "next-pass", "--from", "2026-12-07T12:00:00Z",
            QStringLiteral(
                "element set of ISS (ZARYA) is 1029 days old: run 'aostrack-cli update'\n") },
        { "passes", "--from", "2026-12-07T12:00:00Z",
            QStringLiteral(
                "element set of ISS (ZARYA) is 1029 days old: run 'aostrack-cli update'\n") },
        // 13.9994 days: still fresh enough.
        { "state", "--at", "2024-02-26T00:09:00Z", QString() },
        // 14.0008 days: just past.
        { "passes", "--from", "2024-02-26T00:11:00Z",
            QStringLiteral(
                "element set of ISS (ZARYA) is 14 days old: run 'aostrack-cli update'\n") },
        { "next-pass", "--from", "2024-02-12T18:00:00Z", QString() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.instant);
        const CliResult r = RunCli(WithStation(
            { QString::fromLatin1(c.command), QStringLiteral("--sat"), QStringLiteral("ISS"),
                QString::fromLatin1(c.timeOption), QString::fromLatin1(c.instant) }));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.err, c.err);
        EXPECT_FALSE(r.out.isEmpty());
    }
}

// --- sat.ini as the source of the station --------------------------------------

TEST(CliConfig, MissingValuesComeFromSatIniAndFlagsOverrideThem)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::copy(
        ExampleFile(QStringLiteral("amateur.txt")), dir.filePath(QStringLiteral("amateur.txt"))));
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // A relative TLEFILE is taken from the ini file's folder, not from the
        // working directory of the test.
        f.write("# test station\r\nTLEFILE=amateur.txt\r\nDOPPLERFILE=doppler.sql\r\n"
                "QTH_LAT=48.1371\r\nQTH_LONG=11.5754\r\nQTH_HEIGHT=0.519\r\n");
    }
    const QStringList query = { QStringLiteral("state"), QStringLiteral("--sat"),
        QStringLiteral("10"), QStringLiteral("--at"), QStringLiteral("2024-02-12T18:00:00Z"),
        QStringLiteral("--json") };
    const CliResult fromIni = RunCli(query + QStringList { QStringLiteral("--config"), ini });
    const CliResult explicitFlags = RunCli(WithStation(query));
    ASSERT_EQ(fromIni.exitCode, 0) << fromIni.err.toStdString();
    EXPECT_EQ(fromIni.out, explicitFlags.out);

    // --lat given: only the longitude, height and file come from sat.ini.
    const CliResult south = RunCli(query
        + QStringList {
            QStringLiteral("--config"), ini, QStringLiteral("--lat"), QStringLiteral("-33.9") });
    ASSERT_EQ(south.exitCode, 0) << south.err.toStdString();
    EXPECT_NE(south.out, fromIni.out);
}

TEST(CliConfig, MissingOrMalformedSatIniGivesExitTwoNamingFileAndLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("TLEFILE=amateur.txt\r\n\r\nQTH_LAT=48\r\n"); // an empty line 2
    }
    const CliResult blank = RunCli({ QStringLiteral("state"), QStringLiteral("--config"), ini });
    EXPECT_EQ(blank.exitCode, 2);
    ASSERT_EQ(blank.ErrLines().size(), 1) << blank.err.toStdString();
    EXPECT_TRUE(blank.err.contains(QStringLiteral("line 2"))) << blank.err.toStdString();

    const CliResult missing = RunCli({ QStringLiteral("passes"), QStringLiteral("--config"),
        dir.filePath(QStringLiteral("none.ini")) });
    EXPECT_EQ(missing.exitCode, 2);
    ASSERT_EQ(missing.ErrLines().size(), 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("none.ini not found")))
        << missing.err.toStdString();
}

// The window and the tool refuse and warn alike: one reader of sat.ini.
TEST(CliConfig, StationOffTheGlobeRefusedAndPartlyReadValuesWarned)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QFile::copy(
        ExampleFile(QStringLiteral("amateur.txt")), dir.filePath(QStringLiteral("amateur.txt"))));
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    const auto writeIni = [&ini](const QByteArray& station) {
        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("TLEFILE=amateur.txt\r\nDOPPLERFILE=doppler.sql\r\n" + station);
    };
    const QStringList query = { QStringLiteral("state"), QStringLiteral("--sat"),
        QStringLiteral("10"), QStringLiteral("--at"), QStringLiteral("2024-02-12T18:00:00Z"),
        QStringLiteral("--config"), ini };

    writeIni("QTH_LAT=200\r\nQTH_LONG=11.58\r\nQTH_HEIGHT=0.5\r\n");
    const CliResult far = RunCli(query);
    EXPECT_EQ(far.exitCode, 2);
    EXPECT_EQ(far.err,
        QStringLiteral(
            "aostrack-cli: %1 line 3: QTH_LAT value \"200\" is outside -90 to 90 degrees\n")
            .arg(ini));

    writeIni("QTH_LAT=48,14\r\nQTH_LONG=11.58\r\nQTH_HEIGHT=0.5\r\n");
    const CliResult comma = RunCli(query);
    EXPECT_EQ(comma.exitCode, 0);
    EXPECT_EQ(comma.err,
        QStringLiteral("aostrack-cli: warning: %1 line 3: QTH_LAT value \"48,14\" read as 48, "
                       "\",14\" ignored: write decimals with a full stop\n")
            .arg(ini));
    EXPECT_TRUE(comma.out.contains(QStringLiteral("station 48.0000 N  11.5800 E")))
        << comma.out.toStdString();
}

TEST(CliHelp, OverviewAndEachCommandExplainThemselves)
{
    const CliResult overview = RunCli({ QStringLiteral("--help") });
    EXPECT_EQ(overview.exitCode, 0);
    for (const char* command : { "state", "next-pass", "passes", "track" })
        EXPECT_TRUE(
            overview.out.contains(QStringLiteral("  %1 ").arg(QString::fromLatin1(command))))
            << command;
    for (const char* command : { "state", "next-pass", "passes", "track" }) {
        const CliResult r = RunCli({ QString::fromLatin1(command), QStringLiteral("--help") });
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_TRUE(r.out.startsWith(
            QStringLiteral("Usage: aostrack-cli %1").arg(QString::fromLatin1(command))))
            << command;
        EXPECT_TRUE(r.err.isEmpty());
    }
}

namespace {

// Impossible element sets used to be believed: "state" printed NaN (null in
// JSON) or heights far inside the earth with exit 0, and "passes" listed
// hundreds of passes a day. Now each is refused at reading, named on stderr,
// and a file with nothing else is an unreadable input (exit 2).
TEST(CliDamagedElements, RefusedNotBelieved)
{
    const QByteArray line1
        = "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997";
    const QByteArray line2
        = "2 25544  51.6406 220.6676 0001921 228.7563 273.9440 15.49783958438989";
    auto with = [](QByteArray line, int column, const QByteArray& text) {
        return line.replace(column - 1, text.size(), text);
    };
    const struct {
        const char* what;
        QByteArray line1, line2;
        QString reason;
    } cases[] = {
        { "epoch beyond int", with(line1, 19, "2147484000.0000"), line2, "line 2: ISS: Epoch " },
        { "epoch -9999999999999", with(line1, 19, "-9999999999999"), line2, "line 2: ISS: Epoch " },
        { "mean motion 1E+300", line1, with(line2, 53, "1E+300     "),
            "line 3: ISS: MeanMotion 1e+300" },
        { "mean motion 1E-300", line1, with(line2, 53, "1E-300     "),
            "line 3: ISS: MeanMotion 1e-300" },
        { "mean motion 0.0001", line1, with(line2, 53, "0.0001     "),
            "line 3: ISS: MeanMotion 0.0001" },
        { "decay 9999999999", with(line1, 34, "9999999999"), line2,
            "line 2: ISS: Decay 9999999999" },
        { "decay -9.9E+300", with(line1, 34, "-9.9E+300 "), line2, "line 2: ISS: Decay -9.9e+300" },
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("bad.txt"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("ISS\n" + c.line1 + "\n" + c.line2 + "\n");
        file.close();
        for (const char* command : { "state", "passes" }) {
            const QString when = QString::fromLatin1(command) == "state" ? "--at" : "--from";
            const CliResult r = RunCli(QStringList { QString::fromLatin1(command),
                                           QStringLiteral("--tle"), path, QStringLiteral("--json") }
                + kMunich + QStringList { when, QStringLiteral("2024-02-12T12:00:00Z") });
            ASSERT_TRUE(r.finished);
            EXPECT_EQ(r.exitCode, 2) << command << ": " << r.out.left(300).toStdString();
            EXPECT_TRUE(r.err.contains(path + " " + c.reason)) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(QStringLiteral("(record refused)"))) << r.err.toStdString();
            EXPECT_TRUE(r.err.contains(path + " holds no element set")) << r.err.toStdString();
            EXPECT_FALSE(r.out.contains(QStringLiteral("null"))) << r.out.toStdString();
        }
    }
}

} // namespace
