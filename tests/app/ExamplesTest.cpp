// The example station in examples/: what a newcomer starts with must load
// cleanly and say what the comments promise.
#include "CliRunner.h"
#include "TleFile.h"

#include "core/Configuration.h"
#include "orbit/Tle.h"
#include "radio/FrequencyDatabase.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;

namespace {
QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}
} // namespace

TEST(ExampleSatIni, CrLfLinesNoBlankLineEveryKeyPresent)
{
    const QByteArray bytes = ReadAll(ExampleFile(QStringLiteral("sat.ini")));
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(1).split('\n'); // without the last LF
    QStringList keys;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(i + 1));
        ASSERT_TRUE(lines[i].endsWith('\r')); // every line ends in CR LF
        const QByteArray line = lines[i].chopped(1);
        ASSERT_FALSE(line.isEmpty()); // an empty line would stop start-up
        if (line.startsWith('#'))
            continue;
        ASSERT_TRUE(line.contains('='));
        keys << QString::fromLatin1(line.left(line.indexOf('=')));
    }
    // Twelve keys set, the time server only in a comment (setting the clock
    // needs rights a newcomer's account does not have).
    EXPECT_EQ(keys,
        (QStringList { QStringLiteral("QTH"), QStringLiteral("TLEFILE"),
            QStringLiteral("DOPPLERFILE"), QStringLiteral("TRANSMITTERS"),
            QStringLiteral("QTH_LAT"), QStringLiteral("QTH_LONG"), QStringLiteral("QTH_HEIGHT"),
            QStringLiteral("ROTOR_PORT"), QStringLiteral("ROTOR_PORT_SETTINGS"),
            QStringLiteral("ROTOR_DEG"), QStringLiteral("ROTOR_PARK"),
            QStringLiteral("AUTO_PARK") }));
    EXPECT_TRUE(bytes.contains("\r\n#TIMESERVER="));
    EXPECT_TRUE(bytes.contains("\r\n#ROTOR_DEVICE="));
}

TEST(ExampleSatIni, ReadsAsAMunichStationWithRotor)
{
    const QString appDir = QStringLiteral("/opt/aostrack");
    const Configuration config = ParseConfiguration(
        QString::fromLatin1(ReadAll(ExampleFile(QStringLiteral("sat.ini")))), appDir, QLocale::c());
    // The OMM sets of 2026; amateur.txt stays for the two-line examples.
    EXPECT_EQ(config.TleFilePath, QStringLiteral("/opt/aostrack/amateur.csv"));
    EXPECT_EQ(config.DopplerFileName, QStringLiteral("/opt/aostrack/doppler.sql"));
    EXPECT_EQ(config.TransmitterFilePath, QStringLiteral("/opt/aostrack/transmitters.json"));
    EXPECT_TRUE(config.Warnings.isEmpty()) << config.Warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(config.TimeServerHost.isEmpty());
    EXPECT_DOUBLE_EQ(config.StationLat, 48.1371);
    EXPECT_DOUBLE_EQ(config.StationLon, 11.5754);
    EXPECT_DOUBLE_EQ(config.StationHeight, 0.519);
    EXPECT_EQ(config.RotorPort, 1);
    EXPECT_EQ(config.RotorPortSettings, QStringLiteral("9600,n,8,1"));
    EXPECT_TRUE(config.RotorDevice.isEmpty());
    EXPECT_EQ(config.RotorStepDeg, 5);
    EXPECT_EQ(config.RotorParkCommand, QStringLiteral("AZ000.0 EL000.0"));
    EXPECT_EQ(config.AutoPark, true);
    EXPECT_EQ(RotorLogLine(config), QStringLiteral("Rotor at COM1, 9600,n,8,1  (5°)"));
}

TEST(ExampleTleFile, HoldsTheHundredAndOneSatellitesNamedInTheReadme)
{
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    EXPECT_EQ(load.SatCount, 101);
    EXPECT_EQ(load.IgnoredElementLines, 0);
    EXPECT_EQ(load.Table.Record(1).SatName, "OSCAR 7 (AO-7)");
    EXPECT_EQ(load.Table.Record(10).SatName, "ISS (ZARYA)");
    EXPECT_EQ(load.Table.Record(12).SatName, "SAUDISAT 1C (SO-50)");
}

TEST(ExampleDopplerSql, EveryRowIsUsableAndEveryKeyFindsItsSatellite)
{
    const QString path = ExampleFile(QStringLiteral("doppler.sql"));

    // The empty name collects no keyed row, but reading it lists every
    // unusable line of the file: there must be none, in any locale.
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::German) }) {
        const FrequencyRows none = ReadFrequencyRows(path, QString(), locale);
        ASSERT_TRUE(none.Opened) << none.OpenError.toStdString();
        EXPECT_TRUE(none.Skipped.isEmpty()) << none.Skipped.value(0).Reason.toStdString();
    }

    // Every key belongs to exactly one satellite of either example catalogue:
    // a short key such as "ISS" would also hand the ISS downlink to SWISSCUBE.
    const QList<QByteArray> lines = ReadAll(path).split('\n');
    for (const char* catalogue : { "amateur.txt", "amateur.csv" }) {
        const TleLoad load = LoadTleFile(ExampleFile(QString::fromLatin1(catalogue)).toStdString());
        for (const QByteArray& raw : lines) {
            const QString line = QString::fromLatin1(raw).remove(QLatin1Char('\r'));
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                continue;
            const QString key = line.section(QLatin1Char(','), 0, 0);
            int matches = 0;
            for (const std::string& name : load.Table.Names())
                matches += QString::fromStdString(name).contains(key) ? 1 : 0;
            EXPECT_EQ(matches, 1) << catalogue << ": " << key.toStdString();
        }
    }
}

TEST(ExampleDopplerSql, FirstRowGivesThePublishedDownlink)
{
    const QString path = ExampleFile(QStringLiteral("doppler.sql"));
    const struct {
        const char* name;
        double downlinkKHz;
        const char* note;
    } cases[] = {
        { "ISS (ZARYA)", 145800, "FM voice" },
        { "SAUDISAT 1C (SO-50)", 436795, "FM" },
        { "EYESAT A (AO-27)", 436795, "FM" },
        { "DIWATA-2B", 145900, "FM" },
        { "FUNCUBE-1 (AO-73)", 145935, "BPSK" },
        { "RS-44 & BREEZE-KM R/B", 435640, "SSB/CW" },
        { "JAS-2 (FO-29)", 435850, "SSB/CW" },
        { "OSCAR 7 (AO-7)", 145950, "SSB/CW" },
        { "UOSAT 2 (UO-11)", 145826, "AFSK" },
        { "GREENCUBE", 435310, "BPSK" },
        { "ES'HAIL 2", 10489500, "CW" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FrequencyRows rows
            = ReadFrequencyRows(path, QString::fromLatin1(c.name), QLocale::c());
        ASSERT_FALSE(rows.Rows.isEmpty());
        const auto fields = ParseFrequencyRow(rows.Rows.first(), QLocale::c());
        ASSERT_TRUE(fields.Ok());
        EXPECT_EQ(fields->FreqKHz, c.downlinkKHz);
        EXPECT_EQ(fields->Note, QString::fromLatin1(c.note));
    }
    // "(AO-7)" keeps AO-7's row away from AO-73: FUNcube gets only its own two.
    EXPECT_EQ(
        ReadFrequencyRows(path, QStringLiteral("FUNCUBE-1 (AO-73)"), QLocale::c()).Rows.size(), 2);
    // A satellite without a row: the normal "no frequency" case.
    EXPECT_TRUE(ReadFrequencyRows(path, QStringLiteral("SWISSCUBE"), QLocale::c()).Rows.isEmpty());
}
