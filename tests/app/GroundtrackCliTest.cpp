// aostrack-cli groundtrack: the track against skyfield's sub-satellite
// points, the GeoJSON a mapping tool reads, and the refusals.
#include "CliRunner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>

using namespace aostrack::test;

namespace {

const QString kSource = QStringLiteral(AOSTRACK_SOURCE_DIR);
const QStringList kStation
    = { QStringLiteral("--tle"), kSource + QStringLiteral("/tests/orbit/data/amateur.txt"),
          QStringLiteral("--lat"), QStringLiteral("48.1"), QStringLiteral("--lon"),
          QStringLiteral("11.6"), QStringLiteral("--height"), QStringLiteral("0.5") };

TEST(GroundtrackCli, JsonAgreesWithSkyfieldOnRealSets)
{
    // The reference rows: ISS every 600 s and AO-10 every 5400 s from noon.
    struct Case {
        QString name, step, minutes;
    } cases[] = {
        { QStringLiteral("ISS (ZARYA)"), QStringLiteral("600"), QStringLiteral("110") },
        { QStringLiteral("PHASE 3B (AO-10)"), QStringLiteral("5400"), QStringLiteral("990") },
    };
    QFile csv(kSource + QStringLiteral("/tests/passes/data/skyfield_groundtrack.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList rows = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'));
    for (const Case& c : cases) {
        const CliResult r = RunCli(
            QStringList { QStringLiteral("groundtrack"), QStringLiteral("--sat"), c.name,
                QStringLiteral("--from"), QStringLiteral("2024-02-12T12:00:00Z"),
                QStringLiteral("--step"), c.step, QStringLiteral("--minutes"), c.minutes,
                QStringLiteral("--model"), QStringLiteral("sgp4"), QStringLiteral("--json") }
            + kStation);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        const QJsonArray points = QJsonDocument::fromJson(r.out.toUtf8())["Points"].toArray();
        ASSERT_EQ(points.size(), 12);
        int k = 0;
        for (const QString& row : rows) {
            const QStringList f = row.split(QLatin1Char(','));
            if (f.size() != 5 || f[0] != c.name)
                continue;
            const QJsonObject p = points[k++].toObject();
            SCOPED_TRACE(row.toStdString());
            EXPECT_NEAR(p["Latitude"].toDouble(), f[2].toDouble(), 0.01);
            EXPECT_LT(std::fabs(std::remainder(p["Longitude"].toDouble() - f[3].toDouble(), 360.0)),
                0.01);
            EXPECT_NEAR(p["HeightKm"].toDouble(), f[4].toDouble(), 0.1);
            EXPECT_GT(p["FootprintKm"].toDouble(), 2000);
        }
        EXPECT_EQ(k, 12);
    }
}

TEST(GroundtrackCli, GeoJsonAndTextForms)
{
    // The structure is checked in GroundTrackTest; here what the tool adds.
    const QStringList base = QStringList { QStringLiteral("groundtrack"), QStringLiteral("--norad"),
        QStringLiteral("25544"), QStringLiteral("--from"), QStringLiteral("2024-02-12T18:00:00Z") }
        + kStation;
    const CliResult geo = RunCli(base + QStringList { QStringLiteral("--geojson") });
    ASSERT_EQ(geo.exitCode, 0) << geo.err.toStdString();
    const QJsonArray features = QJsonDocument::fromJson(geo.out.toUtf8())["features"].toArray();
    ASSERT_EQ(features.size(), 3);
    EXPECT_EQ(features[0]["properties"]["Name"].toString(), QStringLiteral("ISS (ZARYA)"));
    EXPECT_EQ(features[0]["properties"]["End"].toString(), QStringLiteral("2024-02-12T19:40:00Z"));
    EXPECT_EQ(features[2]["geometry"]["coordinates"].toArray(), QJsonArray({ 11.6, 48.1 }));

    // Text: the satellite, a header and 101 rows (100 minutes every 60 s).
    const QStringList lines = RunCli(base).OutLines();
    ASSERT_EQ(lines.size(), 103);
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2024-02-12T18:00:00Z")));
}

TEST(GroundtrackCli, RefusesWhatItCannotDo)
{
    const QStringList base = QStringList { QStringLiteral("groundtrack"), QStringLiteral("--norad"),
        QStringLiteral("25544"), QStringLiteral("--from"), QStringLiteral("2024-02-12T18:00:00Z") }
        + kStation;
    struct Case {
        QStringList args;
        const char* says;
    } cases[] = {
        { { "--json", "--geojson" }, "give one of them" },
        { { "--step", "0" }, "--step" },
        { { "--step", "1.5" }, "whole seconds" },
        { { "--minutes", "-1" }, "--minutes" },
        { { "--minutes", "44640", "--step", "1" }, "more than 50000 points" },
        { { "--from", "yesterday" }, "--from" },
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli(base + c.args);
        EXPECT_EQ(r.exitCode, 2) << c.says;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
