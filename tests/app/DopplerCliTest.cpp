// aostrack-cli doppler over the example station's transmitter list: dial
// frequencies from the range rate skyfield gives for the same element set,
// doppler.sql for satellites without rows, and the slips it refuses.
#include "CliRunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack::test;

namespace {

constexpr double kC = 299792.458;

QStringList DopplerArgs(const QString& sat, const QStringList& more = {})
{
    return QStringList { "doppler", "--tle", ExampleFile("amateur.txt"), "--sat", sat,
        "--transmitters", ExampleFile("transmitters.json"), "--lat", "48.1371", "--lon", "11.5754",
        "--height", "0.519", "--at", "2024-02-12T18:00:00Z", "--model", "sgp4", "--json" }
    + more;
}

QJsonObject FindUuid(const QJsonArray& rows, const QString& uuid)
{
    for (const QJsonValue& row : rows)
        if (row.toObject().value("Uuid").toString() == uuid)
            return row.toObject();
    return {};
}

// Range rates from skyfield 1.45 (EarthSatellite from the same two lines,
// wgs84 station, dot(r, v) / |r|), km/s.
TEST(CliDoppler, DialsFollowSkyfieldRangeRate)
{
    const struct {
        const char* sat;
        const char* uuid;
        double rangeRate;
        std::vector<QString> more;
        double down, up;
    } cases[] = {
        { "RS-44", "89NTmbqJEuTGW36fd386Fy", 3.885263370858039, {}, 435640000, 145965000 },
        { "RS-44", "89NTmbqJEuTGW36fd386Fy", 3.885263370858039, { "--downlink", "435620000" },
            435620000, 145985000 },
        { "SO-50", "Y9P45XRJH8yAsbDDe4qHnE", -4.691206904041879, {}, 436795000, 145850000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sat);
        const CliResult r = RunCli(DopplerArgs(c.sat, QStringList(c.more.begin(), c.more.end())));
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonObject out = QJsonDocument::fromJson(r.out.toUtf8()).object();
        EXPECT_EQ(out.value("Time").toString(), QStringLiteral("2024-02-12T18:00:00Z"));
        EXPECT_NEAR(out.value("RangeRate").toDouble(), c.rangeRate, 1e-3);
        const QJsonObject row = FindUuid(out.value("Transmitters").toArray(), c.uuid);
        ASSERT_FALSE(row.isEmpty()) << r.out.toStdString();
        EXPECT_EQ(row.value("DownlinkHz").toDouble(), c.down);
        EXPECT_EQ(row.value("UplinkHz").toDouble(), c.up);
        EXPECT_NEAR(row.value("DownlinkDialHz").toDouble(), c.down * (1 - c.rangeRate / kC), 2);
        EXPECT_NEAR(row.value("UplinkDialHz").toDouble(), c.up / (1 - c.rangeRate / kC), 2);
    }
    // RS-44's transponder comes first; its beacon has no uplink leg.
    const CliResult r = RunCli(DopplerArgs("RS-44"));
    const QJsonArray rows
        = QJsonDocument::fromJson(r.out.toUtf8()).object().value("Transmitters").toArray();
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[0].toObject().value("Type").toString(), QStringLiteral("Transponder"));
    const QJsonObject beacon = FindUuid(rows, "YAiZ4rWyaGKZq93BXHYUEw");
    EXPECT_TRUE(beacon.value("UplinkHz").isNull() && beacon.value("UplinkDialHz").isNull());
}

// A satellite without transmitter rows takes the uplink and tone of doppler.sql.
TEST(CliDoppler, DopplerSqlServesSatellitesWithoutRows)
{
    QTemporaryDir dir;
    QFile empty(dir.filePath("empty.json"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write("[]");
    empty.close();
    QStringList args = DopplerArgs("SO-50", { "--doppler", ExampleFile("doppler.sql") });
    args[args.indexOf("--transmitters") + 1] = empty.fileName();
    const CliResult r = RunCli(args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray rows
        = QJsonDocument::fromJson(r.out.toUtf8()).object().value("Transmitters").toArray();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].toObject().value("Uuid").isNull());
    EXPECT_EQ(rows[0].toObject().value("UplinkHz").toDouble(), 145850000);
    args.removeAll("--json");
    EXPECT_TRUE(RunCli(args).out.contains("tone 67.0 Hz"));
}

TEST(CliDoppler, SlipsAreUsageErrors)
{
    QTemporaryDir dir;
    QFile damaged(dir.filePath("transmitters.json"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("[{\"uuid\":\"a\",");
    damaged.close();
    QStringList badFile = DopplerArgs("RS-44");
    badFile[badFile.indexOf("--transmitters") + 1] = damaged.fileName();
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        { badFile, "transmitters.json: not a transmitter list" },
        { DopplerArgs("RS-44", { "--downlink", "145900000" }),
            "--downlink 145900000 Hz lies in no transponder passband (435610000-435670000 Hz)" },
        { DopplerArgs("SO-50", { "--downlink", "436795000" }), "the satellite has none" },
    };
    for (const auto& c : cases) {
        const CliResult r = RunCli(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
    }
}

} // namespace
