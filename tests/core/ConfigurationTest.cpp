// sat.ini reading: line ends, comments, blanks, keys, number readings, the
// failures with their messages and log lines, Label5 and the rotor line.
#include "core/Configuration.h"

#include "FakeClock.h"
#include "TestFiles.h"
#include "core/EventLog.h"

#include "QtPrinters.h"
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aostrack;

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QString kAppDir = QStringLiteral("/opt/station");

Configuration Parse(const QString& text)
{
    return ParseConfiguration(text, kAppDir, kEnglish);
}

QString FailureOf(const QString& text)
{
    try {
        Parse(text);
    } catch (const StartupError& error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("(no failure)");
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    WriteTestFile(path, bytes);
}

} // namespace

TEST(ParseConfiguration, NormalAllKeys)
{
    const Configuration config = Parse("# station\r\n"
                                       "QTH=Home Station\r\n"
                                       "TLEFILE=/data/amateur.txt\r\n"
                                       "DOPPLERFILE=/data/doppler.sql\r\n"
                                       "TIMESERVER=time.example.net\r\n"
                                       "QTH_LAT=51.5\r\n"
                                       "QTH_LONG=-0.25\r\n"
                                       "QTH_HEIGHT=0.07\r\n"
                                       "ROTOR_PORT=3\r\n"
                                       "ROTOR_PORT_SETTINGS=9600,n,8,1\r\n"
                                       "ROTOR_DEG=5\r\n"
                                       "ROTOR_PARK=AZ0.0 EL0.0\r\n"
                                       "AUTO_PARK=1\r\n");
    EXPECT_EQ(config.StationName, "Home Station");
    EXPECT_EQ(config.TleFilePath, "/data/amateur.txt");
    EXPECT_EQ(config.DopplerFileName, "/data/doppler.sql");
    EXPECT_EQ(config.TimeServerHost, "time.example.net");
    EXPECT_DOUBLE_EQ(config.StationLat, 51.5);
    EXPECT_DOUBLE_EQ(config.StationLon, -0.25);
    EXPECT_DOUBLE_EQ(config.StationHeight, 0.07);
    EXPECT_EQ(config.RotorPort, 3);
    EXPECT_EQ(config.RotorPortSettings, QString("9600,n,8,1"));
    EXPECT_EQ(config.RotorStepDeg, 5);
    EXPECT_EQ(config.RotorParkCommand, "AZ0.0 EL0.0");
    EXPECT_EQ(config.AutoPark, true);
    EXPECT_EQ(config.TleServer, "https://celestrak.org");
    EXPECT_EQ(config.TleArchive, "https://www.amsat.org");
}

TEST(ParseConfiguration, EmptyGivesDefaultsOrFailure)
{
    const Configuration config = Parse("# nothing but a comment");
    EXPECT_EQ(config.TleFilePath, "");
    EXPECT_EQ(config.RotorPort, std::nullopt);
    EXPECT_EQ(config.RotorPortSettings, std::nullopt);
    EXPECT_EQ(config.AutoPark, std::nullopt);
    EXPECT_EQ(config.RotorStepDeg, 0);
}

TEST(ParseConfiguration, LineEndsCrLfLfCr)
{
    for (const char* end : { "\r\n", "\n", "\r" }) {
        const QString e = QString::fromLatin1(end);
        const Configuration config = Parse("QTH_LAT=1.5" + e + "QTH_LONG=7.1" + e + "QTH=x");
        EXPECT_DOUBLE_EQ(config.StationLat, 1.5);
        EXPECT_DOUBLE_EQ(config.StationLon, 7.1);
        EXPECT_EQ(config.StationName, "x"); // last line without an end
    }
}

TEST(ParseConfiguration, BlanksTrimmedFirstEqualsSplits)
{
    const Configuration config = Parse("  ROTOR_PARK   =  SET=0 0  \r\nQTH=\tTab\t");
    EXPECT_EQ(config.RotorParkCommand, "SET=0 0");
    EXPECT_EQ(config.StationName, "\tTab\t"); // blanks only, tabs stay
}

TEST(ParseConfiguration, CommentsOnlyInFirstColumn)
{
    EXPECT_DOUBLE_EQ(Parse("#QTH_LAT=10").StationLat, 0);
    // A blank before "#" makes it a setting with the unknown key "#QTH_LAT".
    EXPECT_DOUBLE_EQ(Parse(" #QTH_LAT=10").StationLat, 0);
}

TEST(ParseConfiguration, KeysCaseSensitiveLastWins)
{
    EXPECT_DOUBLE_EQ(Parse("qth_lat=10").StationLat, 0);
    EXPECT_DOUBLE_EQ(Parse("QTH_LAT=10\nQTH_LAT=20").StationLat, 20);
    EXPECT_EQ(Parse("UNKNOWN=1\nQTH=a").StationName, "a");
}

TEST(ParseConfiguration, MalformedLines)
{
    EXPECT_EQ(FailureOf("QTH=a\r\n\r\nQTH_LAT=1"),
        "sat.ini line 2: no \"=\" in \"\": delete the empty line or begin it with #");
    EXPECT_EQ(FailureOf("QTH=a\nQTH=b\nQTH=c\nQTH_LAT 51"),
        "sat.ini line 4: no \"=\" in \"QTH_LAT 51\": write KEY=value, or begin the line with # "
        "to make it a comment");
    EXPECT_EQ(FailureOf(""),
        "sat.ini: the file is empty: write the station's settings in it as KEY=value lines, as "
        "in examples/sat.ini");
}

// The station must stand on the globe; the limits themselves are allowed.
TEST(ParseConfiguration, StationPositionOutsideTheGlobeStopsStartUp)
{
    const struct {
        const char* text;
        double lat;
        double lon;
        const char* failure; // empty: accepted
    } cases[] = {
        { "QTH_LAT=90\nQTH_LONG=180", 90, 180, "" },
        { "QTH_LAT=-90\nQTH_LONG=-180", -90, -180, "" },
        { "QTH_LAT=200", 0, 0,
            "sat.ini line 1: QTH_LAT value \"200\" is outside -90 to 90 degrees" },
        { "QTH_LAT=-90.01", 0, 0,
            "sat.ini line 1: QTH_LAT value \"-90.01\" is outside -90 to 90 degrees" },
        { "QTH=x\nQTH_LONG=181", 0, 0,
            "sat.ini line 2: QTH_LONG value \"181\" is outside -180 to 180 degrees" },
        // Degrees east to 360, as some programs write them: not ours.
        { "QTH_LONG=348.5", 0, 0,
            "sat.ini line 1: QTH_LONG value \"348.5\" is outside -180 to 180 degrees" },
        // The leading number is what is checked.
        { "QTH_LAT=123N", 0, 0,
            "sat.ini line 1: QTH_LAT value \"123N\" is outside -90 to 90 degrees" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        if (*c.failure == 0) {
            const Configuration config = Parse(QString::fromLatin1(c.text));
            EXPECT_EQ(config.StationLat, c.lat);
            EXPECT_EQ(config.StationLon, c.lon);
        } else {
            EXPECT_EQ(FailureOf(QString::fromLatin1(c.text)), QString::fromLatin1(c.failure));
        }
    }
}

// A value read only in part is read as always, and said once.
TEST(ParseConfiguration, PartlyReadValuesBecomeWarnings)
{
    const struct {
        const char* text;
        QStringList warnings;
    } cases[] = {
        { "QTH_LAT=48.1371\nQTH_LONG=11.5754\nQTH_HEIGHT=0.519\nROTOR_PORT=1", {} },
        { "QTH_LAT=48,14",
            { "sat.ini line 1: QTH_LAT value \"48,14\" read as 48, \",14\" ignored: write decimals "
              "with a full stop" } },
        { "QTH=x\nQTH_LAT=51.5X",
            { "sat.ini line 2: QTH_LAT value \"51.5X\" read as 51.5, \"X\" ignored" } },
        { "QTH_LONG=east",
            { "sat.ini line 1: QTH_LONG value \"east\" read as 0, \"east\" ignored" } },
        { "QTH_HEIGHT=0.519 km",
            { "sat.ini line 1: QTH_HEIGHT value \"0.519 km\" read as 0.519, \"km\" ignored" } },
        { "ROTOR_PORT=COM3",
            { "sat.ini line 1: ROTOR_PORT value \"COM3\" read as 0, \"COM3\" ignored" } },
        { "QTH_LAT=1e1x", { "sat.ini line 1: QTH_LAT value \"1e1x\" read as 10, \"x\" ignored" } },
        { "QTH_LAT=48,1\nQTH_LONG=11,5",
            { "sat.ini line 1: QTH_LAT value \"48,1\" read as 48, \",1\" ignored: write decimals "
              "with a full stop",
                "sat.ini line 2: QTH_LONG value \"11,5\" read as 11, \",5\" ignored: write "
                "decimals with a full stop" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Parse(QString::fromLatin1(c.text)).Warnings, c.warnings);
    }
    EXPECT_DOUBLE_EQ(Parse("QTH_LAT=48,14").StationLat, 48);
}

// Slips that used to leave the station somewhere else without a word.
TEST(ParseConfiguration, MistypedKeysMetresAndHemisphereLetters)
{
    const struct {
        const char* text;
        double lat, lon, height;
        const char* said; // the one warning or the failure; empty: neither
    } cases[] = {
        { "QTH_LON=-74.0", 0, 0, 0,
            "sat.ini line 1: unknown key \"QTH_LON\" ignored; did you mean QTH_LONG?" },
        { "QTH_LAT=1\nqth_lat=48.1", 1, 0, 0,
            "sat.ini line 2: unknown key \"qth_lat\" ignored; did you mean QTH_LAT? (keys are "
            "upper case)" },
        { " #QTH_LAT=10", 0, 0, 0,
            "sat.ini line 1: unknown key \"#QTH_LAT\" ignored; did you mean QTH_LAT? (a "
            "comment's # must stand in the first column)" },
        { "QTH_LON=1\nQTH_LON=2", 0, 0, 0, // once per key
            "sat.ini line 1: unknown key \"QTH_LON\" ignored; did you mean QTH_LONG?" },
        { "CALLSIGN=DL1ABC", 0, 0, 0, "sat.ini line 1: unknown key \"CALLSIGN\" ignored" },
        { "QTH_LONG=74.0W", 0, -74, 0, "" },
        { "QTH_LONG=74.0 w", 0, -74, 0, "" },
        { "QTH_LAT=33.9S\nQTH_LONG=151.2E", -33.9, 151.2, 0, "" },
        { "QTH_LAT=51.5N", 51.5, 0, 0, "" },
        // A sign and a letter, or a letter of the other axis: as before.
        { "QTH_LONG=-74W", 0, -74, 0,
            "sat.ini line 1: QTH_LONG value \"-74W\" read as -74, \"W\" ignored" },
        { "QTH_LAT=48W", 48, 0, 0,
            "sat.ini line 1: QTH_LAT value \"48W\" read as 48, \"W\" ignored" },
        { "QTH_LONG=181W", 0, 0, 0,
            "sat.ini line 1: QTH_LONG value \"181W\" is outside -180 to 180 degrees" },
        { "QTH_HEIGHT=9", 0, 0, 9, "" },
        { "QTH_HEIGHT=-0.5", 0, 0, -0.5, "" },
        { "QTH_HEIGHT=519", 0, 0, 0,
            "sat.ini line 1: QTH_HEIGHT value \"519\" is outside -0.5 to 9 km: the height is in "
            "kilometres (519 m is 0.519)" },
        { "QTH_HEIGHT=-0.6", 0, 0, 0,
            "sat.ini line 1: QTH_HEIGHT value \"-0.6\" is outside -0.5 to 9 km: the height is in "
            "kilometres" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString text = QString::fromLatin1(c.text);
        const QString said = QString::fromLatin1(c.said);
        if (said.contains(QLatin1String("outside"))) {
            EXPECT_EQ(FailureOf(text), said);
            continue;
        }
        const Configuration config = Parse(text);
        EXPECT_DOUBLE_EQ(config.StationLat, c.lat);
        EXPECT_DOUBLE_EQ(config.StationLon, c.lon);
        EXPECT_DOUBLE_EQ(config.StationHeight, c.height);
        EXPECT_EQ(config.Warnings, said.isEmpty() ? QStringList() : QStringList { said });
    }
}

TEST(ReadConfigurationFile, MessagesNameTheWholePathAndWarningsAreLoggedOnce)
{
    QTemporaryDir dir;
    FakeClock clock;
    EventLog log(clock);
    const QString ini = dir.filePath("sat.ini");
    try {
        ReadConfigurationFile(dir.path(), log, kEnglish);
        ADD_FAILURE() << "no failure without sat.ini";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.Messages(),
            QStringList { "File sat.ini not found: looked for sat.ini in " + dir.path() });
    }

    WriteFile(ini, "QTH=x\r\n\r\n");
    try {
        ReadConfigurationFile(dir.path(), log, kEnglish);
        ADD_FAILURE() << "no failure for an empty line";
    } catch (const StartupError& error) {
        EXPECT_EQ(error.Messages(),
            QStringList {
                ini + " line 2: no \"=\" in \"\": delete the empty line or begin it with #" });
    }

    WriteFile(ini, "QTH_LAT=48,14\r\nQTH_LONG=11.5\r\n");
    EventLog warnings(clock);
    const Configuration config = ReadConfigurationFile(dir.path(), warnings, kEnglish);
    EXPECT_DOUBLE_EQ(config.StationLat, 48);
    EXPECT_EQ(warnings.Lines(),
        QStringList { "*** WARNING *** " + ini
            + " line 1: QTH_LAT value \"48,14\" read as 48, \",14\" ignored: write decimals with a "
              "full stop" });
}

TEST(ParseConfiguration, LenientNumbers)
{
    EXPECT_DOUBLE_EQ(Parse("QTH_LAT=51.5N").StationLat, 51.5);
    EXPECT_DOUBLE_EQ(Parse("QTH_LAT=north").StationLat, 0);
    EXPECT_DOUBLE_EQ(Parse("QTH_HEIGHT=").StationHeight, 0);
    EXPECT_EQ(Parse("ROTOR_PORT=2.5").RotorPort, 2);
    EXPECT_EQ(Parse("ROTOR_PORT=3.5").RotorPort, 4);
    EXPECT_EQ(Parse("ROTOR_PORT=COM3").RotorPort, 0);
    EXPECT_EQ(FailureOf("ROTOR_PORT=70000"),
        "sat.ini line 1: ROTOR_PORT value \"70000\" is out of range");
}

TEST(ParseConfiguration, OrbitModel)
{
    struct Row {
        const char* text;
        OrbitModelKind kind;
        const char* why;
    };
    const Row table[] = {
        { "QTH=a", OrbitModelKind::Plan13, "absent: the default" },
        { "ORBIT_MODEL=PLAN13", OrbitModelKind::Plan13, "as documented" },
        { "ORBIT_MODEL=SGP4", OrbitModelKind::Sgp4, "as documented" },
        { "ORBIT_MODEL= sgp4 ", OrbitModelKind::Sgp4, "any case, blanks trimmed" },
        { "ORBIT_MODEL=SGP4\nORBIT_MODEL=Plan13", OrbitModelKind::Plan13, "the last one wins" },
    };
    for (const Row& row : table)
        EXPECT_EQ(Parse(row.text).OrbitModelChoice, row.kind) << row.why;
    EXPECT_EQ(FailureOf("QTH=a\nORBIT_MODEL=SDP4"),
        "sat.ini line 2: ORBIT_MODEL value \"SDP4\" is neither PLAN13 nor SGP4");
    EXPECT_EQ(FailureOf("ORBIT_MODEL="),
        "sat.ini line 1: ORBIT_MODEL value \"\" is neither PLAN13 nor SGP4");
}

TEST(ParseConfiguration, TlePaths)
{
    EXPECT_FALSE(Parse("QTH=a").TleLegacyPaths); // absent: the GP queries
    EXPECT_FALSE(Parse("TLE_PATHS=GP").TleLegacyPaths);
    EXPECT_TRUE(Parse("TLE_PATHS= legacy ").TleLegacyPaths);
    EXPECT_EQ(FailureOf("QTH=a\nTLE_PATHS=STATIC"),
        "sat.ini line 2: TLE_PATHS value \"STATIC\" is neither GP nor LEGACY");
}

TEST(ParseConfiguration, RotorStepStrict)
{
    EXPECT_EQ(Parse("ROTOR_DEG=5.5").RotorStepDeg, 6);
    EXPECT_EQ(Parse("ROTOR_DEG=4.5").RotorStepDeg, 4);
    EXPECT_EQ(Parse("ROTOR_DEG=32767").RotorStepDeg, 32767);
    EXPECT_EQ(Parse("ROTOR_DEG=-32768").RotorStepDeg, -32768);
    EXPECT_EQ(FailureOf("ROTOR_DEG=32767.5"),
        "sat.ini line 1: ROTOR_DEG value \"32767.5\" is out of range");
    EXPECT_EQ(
        FailureOf("ROTOR_DEG=five"), "sat.ini line 1: ROTOR_DEG value \"five\" is not a number");
    EXPECT_EQ(FailureOf("ROTOR_DEG="), "sat.ini line 1: ROTOR_DEG value \"\" is not a number");
}

TEST(ParseConfiguration, RotorStepRegionalFormat)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(ParseConfiguration("ROTOR_DEG=5,5", kAppDir, german).RotorStepDeg, 6);
}

TEST(ParseConfiguration, AutoPark)
{
    EXPECT_EQ(Parse("AUTO_PARK=1").AutoPark, true);
    EXPECT_EQ(Parse("AUTO_PARK=0").AutoPark, false);
    EXPECT_EQ(Parse("AUTO_PARK=2").AutoPark, false);
    EXPECT_EQ(
        FailureOf("AUTO_PARK=AUTO"), "sat.ini line 1: AUTO_PARK value \"AUTO\" is not a number");
}

TEST(ParseConfiguration, RelativeFilesFromProgramFolder)
{
    const Configuration config = Parse("TLEFILE=amateur.txt\nDOPPLERFILE=data/doppler.sql");
    EXPECT_EQ(config.TleFilePath, "/opt/station/amateur.txt");
    EXPECT_EQ(config.DopplerFileName, "/opt/station/data/doppler.sql");
    EXPECT_EQ(Parse("TLEFILE=").TleFilePath, "");
}

TEST(ParseConfiguration, ExtraKeys)
{
    const Configuration config
        = Parse("ROTOR_DEVICE=/dev/ttyUSB0\nTLE_SERVER=http://127.0.0.1:8080\n"
                "TLE_ARCHIVE=http://127.0.0.1:8081");
    EXPECT_EQ(config.RotorDevice, "/dev/ttyUSB0");
    EXPECT_EQ(config.TleServer, "http://127.0.0.1:8080");
    EXPECT_EQ(config.TleArchive, "http://127.0.0.1:8081");
}

TEST(RotorLogLine, WorkedExample)
{
    Configuration config;
    config.RotorPort = 3;
    config.RotorPortSettings = "9600,n,8,1";
    config.RotorStepDeg = 5;
    EXPECT_EQ(RotorLogLine(config), "Rotor at COM3, 9600,n,8,1  (5\u00B0)");
    EXPECT_EQ(RotorDevicePath(config), "/dev/ttyS2");
    config.RotorDevice = "/dev/ttyUSB0";
    EXPECT_EQ(RotorLogLine(config), "Rotor at /dev/ttyUSB0, 9600,n,8,1  (5\u00B0)");
    EXPECT_EQ(RotorDevicePath(config), "/dev/ttyUSB0");
}

// ROTOR_HOST: where rotctld listens. Every form an operator may write, and
// those that cannot name a port.
TEST(ParseConfiguration, RotorHostTable)
{
    struct Row {
        const char* value;
        const char* host; // nullptr: start-up stops
        int port;
        const char* name; // RotctldName
    };
    const Row rows[] = {
        { "127.0.0.1:4533", "127.0.0.1", 4533, "rotctld at 127.0.0.1:4533" },
        { "shack-pi:4600", "shack-pi", 4600, "rotctld at shack-pi:4600" },
        { "localhost", "localhost", 4533, "rotctld at localhost:4533" }, // hamlib's own port
        { "[::1]:4534", "::1", 4534, "rotctld at [::1]:4534" },
        { "[fe80::1]", "fe80::1", 4533, "rotctld at [fe80::1]:4533" },
        { "::1", "::1", 4533, "rotctld at [::1]:4533" }, // bare v6: no port in it
        { "host:65535", "host", 65535, "rotctld at host:65535" },
        { "host:", nullptr, 0, nullptr },
        { "host:0", nullptr, 0, nullptr },
        { "host:65536", nullptr, 0, nullptr },
        { "host:45x", nullptr, 0, nullptr },
        { "host:+45", nullptr, 0, nullptr },
        { "host:-1", nullptr, 0, nullptr },
        { ":4533", nullptr, 0, nullptr },
        { "[::1]4533", nullptr, 0, nullptr },
        { "[::1", nullptr, 0, nullptr },
        { "[::1]:", nullptr, 0, nullptr },
        { "", nullptr, 0, nullptr },
    };
    for (const Row& row : rows) {
        const QString line = QStringLiteral("ROTOR_HOST=") + QString::fromLatin1(row.value);
        if (!row.host) {
            EXPECT_EQ(FailureOf("QTH=x\n" + line),
                QStringLiteral("sat.ini line 2: ROTOR_HOST value \"%1\" is not host:port with a "
                               "port of 1..65535")
                    .arg(QString::fromLatin1(row.value)))
                << row.value;
            continue;
        }
        const Configuration config = Parse(line);
        EXPECT_EQ(config.RotorHost, QString::fromLatin1(row.host)) << row.value;
        EXPECT_EQ(config.RotorHostPort, row.port) << row.value;
        EXPECT_EQ(RotctldName(config), QString::fromLatin1(row.name)) << row.value;
        EXPECT_TRUE(RotorConfigured(config)) << row.value;
    }
}

// RIG_HOST: rigctld's own port 4532 when none is written.
TEST(ParseConfiguration, RigHostTable)
{
    const struct {
        const char* value;
        const char* host;
        int port;
    } rows[] = {
        { "127.0.0.1:4533", "127.0.0.1", 4533 },
        { "shack-pi", "shack-pi", 4532 },
        { "[::1]:4600", "::1", 4600 },
        { "[fe80::1]", "fe80::1", 4532 },
        { "::1", "::1", 4532 },
    };
    for (const auto& row : rows) {
        const Configuration config = Parse(QStringLiteral("RIG_HOST=") + row.value
            + QStringLiteral("\nRIG_TX_VFO=Sub\nRIG_RX_LO_HZ=9750000000\nRIG_TX_LO_HZ=-1000"));
        EXPECT_EQ(config.RigHost, QString::fromLatin1(row.host)) << row.value;
        EXPECT_EQ(config.RigHostPort, row.port) << row.value;
        EXPECT_EQ(config.RigTxVfo, QStringLiteral("Sub"));
        EXPECT_EQ(config.RigRxLoHz, 9750000000.0);
        EXPECT_EQ(config.RigTxLoHz, -1000.0);
        EXPECT_TRUE(config.Warnings.isEmpty());
    }
    EXPECT_EQ(FailureOf("QTH=x\nRIG_HOST=host:0"),
        QStringLiteral("sat.ini line 2: RIG_HOST value \"host:0\" is not host:port with a port "
                       "of 1..65535"));
}

// How far the rotor reaches: ROTOR_AZ_MAX 360..540, ROTOR_EL_MAX 90 or 180.
TEST(ParseConfiguration, RotorReachTable)
{
    struct Row {
        const char* line;
        int azMax, elMax; // -1: start-up stops with `failure`
        const char* failure;
    };
    const Row rows[] = {
        { "QTH=x", 360, 90, nullptr }, // absent: a rotor with its stop at north
        { "ROTOR_AZ_MAX=450", 450, 90, nullptr },
        { "ROTOR_AZ_MAX=360", 360, 90, nullptr },
        { "ROTOR_AZ_MAX=540", 540, 90, nullptr },
        { "ROTOR_AZ_MAX=359", -1, 0,
            "sat.ini line 1: ROTOR_AZ_MAX value \"359\" must lie between 360 and 540" },
        { "ROTOR_AZ_MAX=541", -1, 0,
            "sat.ini line 1: ROTOR_AZ_MAX value \"541\" must lie between 360 and 540" },
        { "ROTOR_AZ_MAX=wide", -1, 0,
            "sat.ini line 1: ROTOR_AZ_MAX value \"wide\" is not a number" },
        { "ROTOR_EL_MAX=180", 360, 180, nullptr },
        { "ROTOR_EL_MAX=90", 360, 90, nullptr },
        { "ROTOR_EL_MAX=120", -1, 0,
            "sat.ini line 1: ROTOR_EL_MAX value \"120\" must be 90 or 180" },
        { "ROTOR_EL_MAX=", -1, 0, "sat.ini line 1: ROTOR_EL_MAX value \"\" is not a number" },
    };
    for (const Row& row : rows) {
        if (row.azMax < 0) {
            EXPECT_EQ(FailureOf(QString::fromLatin1(row.line)), QString::fromLatin1(row.failure));
            continue;
        }
        const Configuration config = Parse(QString::fromLatin1(row.line));
        EXPECT_EQ(config.RotorAzMaxDeg, row.azMax) << row.line;
        EXPECT_EQ(config.RotorElMaxDeg, row.elMax) << row.line;
    }
}

// The start-up line names rotctld where the serial rotor names its port.
TEST(RotorLogLine, Rotctld)
{
    Configuration config;
    config.RotorHost = "127.0.0.1";
    config.RotorHostPort = 4533;
    config.RotorStepDeg = 5;
    EXPECT_EQ(RotorLogLine(config), "Rotor at rotctld at 127.0.0.1:4533  (5\u00B0)");
}

TEST(QthText, WorkedExamples)
{
    Configuration config;
    config.StationLat = 1.5;
    config.StationLon = 7.1;
    EXPECT_EQ(QthText(config, kEnglish), "1.50/7.10");
    config.StationLat = 0.5;
    config.StationLon = -0.25;
    EXPECT_EQ(QthText(config, kEnglish), ".50/-.25");
    EXPECT_EQ(QthText(config, QLocale(QLocale::German, QLocale::Germany)), ",50/-,25");
}

TEST(ReadConfigurationFile, RotorLineAndPaths)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("sat.ini"),
        "ROTOR_PORT=3\r\nROTOR_PORT_SETTINGS=9600,n,8,1\r\nROTOR_DEG=5\r\nTLEFILE=amateur.txt\r\n");
    FakeClock clock(std::chrono::sys_seconds(std::chrono::seconds(1'700'000'000)));
    EventLog log(clock);
    const Configuration config = ReadConfigurationFile(dir.path(), log, kEnglish);
    EXPECT_TRUE(log.Lines().isEmpty());
    EXPECT_EQ(RotorLogLine(config), "Rotor at COM3, 9600,n,8,1  (5\u00B0)");
    EXPECT_EQ(config.IniPath, dir.filePath("sat.ini"));
    EXPECT_EQ(config.TleFilePath, dir.filePath("amateur.txt"));
}

TEST(ReadConfigurationFile, LatinOneAndUtf8)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("sat.ini"), "QTH=K\xf6ln\n");
    FakeClock clock;
    EventLog log(clock);
    EXPECT_EQ(ReadConfigurationFile(dir.path(), log, kEnglish).StationName,
        QString::fromUtf8("K\u00f6ln"));
    WriteFile(dir.filePath("sat.ini"), "\xef\xbb\xbfQTH=K\xc3\xb6ln\n");
    EXPECT_EQ(ReadConfigurationFile(dir.path(), log, kEnglish).StationName,
        QString::fromUtf8("K\u00f6ln"));
}

TEST(StartupError, SeveralBoxes)
{
    const StartupError error(QStringList { "No TLE file found", "No doppler.sql file found" });
    EXPECT_EQ(error.Messages(), (QStringList { "No TLE file found", "No doppler.sql file found" }));
    EXPECT_STREQ(error.what(), "No TLE file found\nNo doppler.sql file found");
    EXPECT_EQ(StartupError("one").Messages(), QStringList { "one" });
}
