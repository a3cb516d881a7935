// 'aostrack-cli track --radio' against rigctld's dummy rig: the dials read
// back after a simulated stretch of an RS-44 pass are the doppler command's
// for its end, split on VFO B with the transponder's modes. The offsets given
// to track are kept in offsets.ini, and doppler's dials take them and the
// converter's LO of sat.ini.
#include "CliRunner.h"
#include "Rigctld.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;

namespace {

bool AppendToIni(const QString& dir, const QByteArray& lines)
{
    QFile ini(QDir(dir).filePath("sat.ini"));
    return ini.open(QIODevice::Append) && ini.write(lines) == lines.size();
}

TEST(TrackRadio, DummyRigFollowsThePass)
{
    QTemporaryDir dir;
    ASSERT_TRUE(CopyTwoLineExampleStation(dir.path()));
    DummyRig rig;
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(AppendToIni(dir.path(),
        "RIG_HOST=127.0.0.1:" + QByteArray::number(rig.Port())
            + "\r\nRIG_STEP_HZ=1\r\n"
              "RIG_RX_LO_HZ=400000000\r\n"));
    const QString ini = QDir(dir.path()).filePath("sat.ini");
    const CliResult track = RunCli(
        { "track", "--config", ini, "--sat", "RS-44", "--start", "2024-02-12T18:00:00Z", "--speed",
            "10", "--for", "20", "--plain", "--radio", "--rx-offset", "120", "--tx-offset=-80" });
    ASSERT_EQ(track.exitCode, 0) << track.err.toStdString();
    EXPECT_TRUE(track.err.contains("Transceiver on Mode V/U - Transponder"))
        << track.err.toStdString();
    QFile offsets(QDir(dir.path()).filePath("offsets.ini"));
    ASSERT_TRUE(offsets.open(QIODevice::ReadOnly));
    EXPECT_TRUE(offsets.readAll().endsWith("\n44909=120,-80\n"));

    const CliResult doppler = RunCli(
        { "doppler", "--config", ini, "--sat", "RS-44", "--at", "2024-02-12T18:00:20Z", "--json" });
    ASSERT_EQ(doppler.exitCode, 0) << doppler.err.toStdString();
    const QJsonObject row = QJsonDocument::fromJson(doppler.out.toUtf8())
                                .object()
                                .value("Transmitters")
                                .toArray()
                                .at(0)
                                .toObject();
    // The last ticks may lie a few simulated seconds before the end; RS-44's
    // Doppler changes by less than 100 Hz a second.
    EXPECT_NEAR(rig.Ask("f").toDouble(), row.value("DownlinkDialHz").toDouble(), 500);
    EXPECT_NEAR(rig.Ask("i").toDouble(), row.value("UplinkDialHz").toDouble(), 500);
    const double corrected = row.value("DownlinkHz").toDouble()
        * (1
            - QJsonDocument::fromJson(doppler.out.toUtf8()).object().value("RangeRate").toDouble()
                / 299792.458);
    EXPECT_NEAR(row.value("DownlinkDialHz").toDouble(), corrected + 120 - 400000000, 1);
    EXPECT_EQ(rig.Ask("s"), QByteArray("1 VFOB"));
    EXPECT_TRUE(rig.Ask("x").startsWith("LSB"));
}

} // namespace
