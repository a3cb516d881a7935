// aostrack-cli with --model: the TEME state of every verification set as
// python3-sgp4 gives it (data/sgp4-state.csv, scripts/sgp4_reference.py),
// the default taken from ORBIT_MODEL, and the sets SGP4 refuses.
#include "CliRunner.h"
#include "TleFile.h"

#include "orbit/Engine.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

const QString kSource = QStringLiteral(AOSTRACK_SOURCE_DIR);
const QString kVerificationTle = kSource + QStringLiteral("/tests/orbit/data/sgp4-ver.tle");
const QStringList kEquator = { QStringLiteral("--lat"), QStringLiteral("0"),
    QStringLiteral("--lon"), QStringLiteral("0"), QStringLiteral("--height"), QStringLiteral("0") };

QJsonObject Json(const QString& text)
{
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    EXPECT_TRUE(doc.isObject()) << text.toStdString();
    return doc.object();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(CliSgp4, StateGivesTheTemeOfEveryVerificationSetToTheMetre)
{
    QFile csv(kSource + QStringLiteral("/tests/app/data/sgp4-state.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    csv.readLine(); // header
    // The names are catalogue numbers, which --sat would read as record
    // numbers: give it the record number of the file as the tool loads it.
    const TleLoad load = LoadTleFile(kVerificationTle.toStdString());
    const auto recordOf = [&load](const QString& name) {
        for (int i = 1; i <= load.SatCount; ++i)
            if (QString::fromStdString(load.Table.Record(i).SatName) == name)
                return QString::number(i);
        return QString();
    };
    int rows = 0;
    while (!csv.atEnd()) {
        const QStringList f = QString::fromLatin1(csv.readLine()).trimmed().split(QLatin1Char(','));
        ASSERT_EQ(f.size(), 8);
        const CliResult r = RunCli(
            QStringList { QStringLiteral("state"), QStringLiteral("--tle"), kVerificationTle,
                QStringLiteral("--sat"), recordOf(f[0]), QStringLiteral("--at"), f[1],
                QStringLiteral("--model"), QStringLiteral("sgp4"), QStringLiteral("--json") }
            + kEquator);
        ASSERT_EQ(r.exitCode, 0) << f[0].toStdString() << ": " << r.err.toStdString();
        const QJsonObject o = Json(r.out);
        const char* const keys[] = { "TemeX", "TemeY", "TemeZ", "TemeVx", "TemeVy", "TemeVz" };
        for (int k = 0; k < 6; ++k) {
            ASSERT_TRUE(o.contains(QLatin1String(keys[k]))) << keys[k];
            // 1 m and 1 mm/s.
            EXPECT_NEAR(o.value(QLatin1String(keys[k])).toDouble(), f[2 + k].toDouble(),
                k < 3 ? 1e-3 : 1e-6)
                << f[0].toStdString() << " " << keys[k];
        }
        ++rows;
    }
    EXPECT_EQ(rows, 31);
}

TEST(CliSgp4, ModelOptionAndDefaults)
{
    QTemporaryDir dir;
    const QString tle = ExampleFile(QStringLiteral("amateur.txt"));
    const QStringList base = QStringList { QStringLiteral("--tle"), tle, QStringLiteral("--sat"),
        QStringLiteral("ISS (ZARYA)"), QStringLiteral("--at"),
        QStringLiteral("2024-02-12T12:00:00Z"), QStringLiteral("--json") }
        + kEquator;
    const TleLoad load = LoadTleFile(tle.toStdString());
    ElementSet iss;
    for (int i = 1; i <= load.SatCount; ++i)
        if (load.Table.Record(i).SatName == "ISS (ZARYA)")
            iss = load.Table.Record(i).Elements;
    const sys_seconds noon = sys_days { 2024y / February / 12 } + 12h;
    // The azimuth as the tool prints it (17 digits: the engine's double).
    const auto azimuthOf = [](const CliResult& r) {
        return Json(r.out).value(QStringLiteral("SatAzimuth")).toDouble();
    };
    const double sgp4Azimuth
        = OrbitModel(iss, Station {}, OrbitModelKind::Sgp4).Compute(noon).SatAzimuth;
    const double plan13Azimuth = OrbitModel(iss, Station {}).Compute(noon).SatAzimuth;
    ASSERT_NE(sgp4Azimuth, plan13Azimuth);

    // A sat.ini that asks for SGP4 and one that says nothing.
    WriteFile(dir.filePath(QStringLiteral("sgp4.ini")), "QTH=x\nORBIT_MODEL=SGP4\n");
    WriteFile(dir.filePath(QStringLiteral("plain.ini")), "QTH=x\n");
    const QString sgp4Ini = dir.filePath(QStringLiteral("sgp4.ini"));
    const QString plainIni = dir.filePath(QStringLiteral("plain.ini"));

    struct Row {
        QStringList extra;
        double azimuth;
        const char* why;
    };
    const Row table[] = {
        { { QStringLiteral("--model"), QStringLiteral("sgp4") }, sgp4Azimuth, "asked for" },
        { { QStringLiteral("--model"), QStringLiteral("PLAN13") }, plan13Azimuth,
            "asked for, any case" },
        { { QStringLiteral("--config"), sgp4Ini }, sgp4Azimuth, "ORBIT_MODEL of the station file" },
        { { QStringLiteral("--config"), sgp4Ini, QStringLiteral("--model"),
              QStringLiteral("plan13") },
            plan13Azimuth, "the option wins over the file" },
        { { QStringLiteral("--config"), plainIni }, plan13Azimuth, "no ORBIT_MODEL: Plan13" },
        { { QStringLiteral("--config"), dir.filePath(QStringLiteral("missing.ini")) },
            plan13Azimuth, "no station file needed, none found: Plan13" },
    };
    for (const Row& row : table) {
        const CliResult r = RunCli(QStringList { QStringLiteral("state") } + base + row.extra);
        ASSERT_EQ(r.exitCode, 0) << row.why << ": " << r.err.toStdString();
        EXPECT_EQ(azimuthOf(r), row.azimuth) << row.why;
    }

    const CliResult bad = RunCli(
        QStringList { QStringLiteral("state"), QStringLiteral("--model"), QStringLiteral("sdp4") }
        + base);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "aostrack-cli: --model: \"sdp4\" is neither plan13 nor sgp4\n");

    // Plan13's state has no TEME keys; the text form names the model.
    const QStringList stateArgs = QStringList { QStringLiteral("state"), QStringLiteral("--tle"),
        tle, QStringLiteral("--at"), QStringLiteral("2024-02-12T12:00:00Z") }
        + kEquator;
    EXPECT_FALSE(Json(RunCli(stateArgs + QStringList { QStringLiteral("--json") }).out)
                     .contains(QStringLiteral("TemeX")));
    const CliResult text
        = RunCli(stateArgs + QStringList { QStringLiteral("--model"), QStringLiteral("sgp4") });
    EXPECT_TRUE(text.out.contains(QStringLiteral("OrbitModel        SGP4\n")))
        << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QStringLiteral("TemeX "))) << text.out.toStdString();
}

TEST(CliSgp4, RefusedSetsExitTwoWithTheModelsReason)
{
    // ISS's set with its perigee under the ground: SGP4 finds it decayed at
    // its epoch; a verification set that decays 55 minutes after its epoch
    // fails where the search reaches that time.
    QTemporaryDir dir;
    const QString tle = dir.filePath(QStringLiteral("refused.txt"));
    WriteFile(tle,
        "REFUSED\n"
        "1 25544U 98067A   24043.00684501  .00020902  00000+0  37609-3 0  9997\n"
        "2 25544  51.6406 220.6676 0500000 228.7563 000.0000 16.50000000438985\n");
    const CliResult r = RunCli(QStringList { QStringLiteral("state"), QStringLiteral("--tle"), tle,
                                   QStringLiteral("--at"), QStringLiteral("2024-02-12T12:00:00Z"),
                                   QStringLiteral("--model"), QStringLiteral("sgp4") }
        + kEquator);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
        "aostrack-cli: " + tle
            + " record 1 (REFUSED): SGP4 error 6: the satellite has decayed (0.0 min from the "
              "epoch)\n");
    EXPECT_TRUE(r.out.isEmpty());
    // Plan13 draws its ellipse regardless.
    EXPECT_EQ(RunCli(QStringList { QStringLiteral("state"), QStringLiteral("--tle"), tle,
                         QStringLiteral("--at"), QStringLiteral("2024-02-12T12:00:00Z") }
                  + kEquator)
                  .exitCode,
        0);

    const CliResult decays
        = RunCli(QStringList { QStringLiteral("next-pass"), QStringLiteral("--tle"),
                     kVerificationTle, QStringLiteral("--sat"), QStringLiteral("26"),
                     QStringLiteral("--from"), QStringLiteral("2005-11-29T00:30:00Z"),
                     QStringLiteral("--model"), QStringLiteral("sgp4") }
            + kEquator);
    EXPECT_EQ(decays.exitCode, 2);
    EXPECT_TRUE(decays.err.contains(QStringLiteral("SGP4 error 6: the satellite has decayed")))
        << decays.err.toStdString();
}

// Every computing command takes the element file, the station and the theory
// the same way: ORBIT_MODEL of sat.ini unless --model says otherwise, and a
// value of sat.ini read only in part is warned about. upcoming used to
// search with Plan13 whatever sat.ini said, and said nothing of the comma.
// One input path for every computing command: the catalogue in each of its
// four forms (written by convert), the model from --model or ORBIT_MODEL, the
// warnings of sat.ini; the same sets give the same answer in every form.
TEST(CliSgp4, EveryCommandTakesTheModelAndWarningsOfSatIni)
{
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("amateur.txt"));
    ASSERT_TRUE(QFile::copy(ExampleFile(QStringLiteral("amateur.txt")), txt));
    const QByteArray station
        = "DOPPLERFILE=doppler.sql\nQTH_LAT=48,14\nQTH_LONG=11.58\nQTH_HEIGHT=0.5\n";
    const auto warning = [](const QString& ini) {
        return QStringLiteral("aostrack-cli: warning: %1 line 3: QTH_LAT value \"48,14\" read as "
                              "48, \",14\" ignored: write decimals with a full stop")
            .arg(ini);
    };
    const QString from = QStringLiteral("2024-02-12T18:00:00Z");
    const QStringList iss = { QStringLiteral("--norad"), QStringLiteral("25544") };
    const QList<QStringList> commands = {
        QStringList { QStringLiteral("state"), QStringLiteral("--at"), from } + iss,
        QStringList { QStringLiteral("next-pass"), QStringLiteral("--from"), from } + iss,
        QStringList { QStringLiteral("passes"), QStringLiteral("--from"), from } + iss,
        QStringList { QStringLiteral("groundtrack"), QStringLiteral("--from"), from } + iss,
        QStringList { QStringLiteral("doppler"), QStringLiteral("--at"), from,
            QStringLiteral("--transmitters"), ExampleFile(QStringLiteral("transmitters.json")) }
            + iss,
        { QStringLiteral("upcoming"), QStringLiteral("--from"), from, QStringLiteral("--hours"),
            QStringLiteral("3") },
    };
    const QStringList sgp4 = { QStringLiteral("--model"), QStringLiteral("sgp4") };
    const QStringList plan13 = { QStringLiteral("--model"), QStringLiteral("plan13") };
    QMap<QString, QString> twoLineAnswer; // by command
    for (const QString& form : { QStringLiteral("tle"), QStringLiteral("csv"),
             QStringLiteral("json"), QStringLiteral("xml") }) {
        const QString elements
            = form == QStringLiteral("tle") ? txt : dir.filePath(QStringLiteral("amateur.") + form);
        if (elements != txt) {
            ASSERT_EQ(RunCli({ QStringLiteral("convert"), QStringLiteral("--tle"), txt,
                                 QStringLiteral("--to"), form, QStringLiteral("--out"), elements })
                          .exitCode,
                0);
        }
        const QByteArray tleFile = "TLEFILE=" + elements.toUtf8() + "\n";
        const QString sgp4Ini = dir.filePath(form + QStringLiteral("-sgp4.ini"));
        const QString plainIni = dir.filePath(form + QStringLiteral("-plain.ini"));
        WriteFile(sgp4Ini, tleFile + station + "ORBIT_MODEL=SGP4\n");
        WriteFile(plainIni, tleFile + station);
        for (const QStringList& command : commands) {
            SCOPED_TRACE((form + QLatin1Char(' ') + command.first()).toStdString());
            const auto run = [&](const QString& ini, const QStringList& model) {
                const CliResult r = RunCli(command + QStringList { QStringLiteral("--config"), ini }
                    + model + QStringList { QStringLiteral("--json") });
                EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
                EXPECT_TRUE(r.ErrLines().contains(warning(ini))) << r.err.toStdString();
                return r.out;
            };
            const QString byFile = run(sgp4Ini, {});
            const QString byFlag = run(plainIni, sgp4);
            const QString plain = run(plainIni, {});
            const QString flagOverFile = run(sgp4Ini, plan13);
            EXPECT_EQ(byFile, byFlag);
            EXPECT_EQ(plain, flagOverFile);
            EXPECT_NE(byFile, plain);
            QString& answer = twoLineAnswer[command.first()];
            if (answer.isEmpty())
                answer = byFile;
            EXPECT_EQ(byFile, answer);
        }
    }
    // The ISS over Munich, SGP4 from the two-line set and from each OMM form.
    EXPECT_TRUE(twoLineAnswer[QStringLiteral("next-pass")].contains(
        QStringLiteral("\"AosTime\": \"2024-02-13T05:07:08Z\"")));
}
