// The rotor from the command line: aostrack-cli track --rotor through hamlib's
// rotctld (dummy rotor) and through a pseudo-terminal over the north-crossing
// ISS pass of 13 February 2024 (AOS 09:53:45 at 279 degrees, 43 degrees high
// in the north, LOS 10:04:48 at 82 degrees), and aostrack-cli rotor.
#include "CliRunner.h"
#include "Rotctld.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace aostrack;
using namespace aostrack::test;

namespace {

// A station folder of its own with the example element and frequency files.
class RotorStation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* name : { "amateur.txt", "doppler.sql" })
            ASSERT_TRUE(QFile::copy(
                ExampleFile(QString::fromLatin1(name)), m_dir.filePath(QString::fromLatin1(name))));
    }
    // The example station's place and files, then the rotor lines given
    // (from line 7 on).
    QString WriteIni(const QByteArray& rotorLines, const QString& name = QStringLiteral("sat.ini"))
    {
        const QString path = m_dir.filePath(name);
        QFile ini(path);
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("QTH=Munich\nTLEFILE=amateur.txt\nDOPPLERFILE=doppler.sql\n"
                  "QTH_LAT=48.1371\nQTH_LONG=11.5754\nQTH_HEIGHT=0.519\n"
            + rotorLines);
        return path;
    }
    QTemporaryDir m_dir;
};

class RotctldStation : public RotorStation {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("rotctld")).isEmpty())
            GTEST_SKIP() << "hamlib's rotctld is not installed (libhamlib-utils)";
        RotorStation::SetUp();
        m_port = FreeLoopbackPort();
        ASSERT_NE(m_port, 0);
    }
    QByteArray Host() const { return "ROTOR_HOST=127.0.0.1:" + QByteArray::number(m_port) + '\n'; }
    quint16 m_port = 0;
};

} // namespace

TEST_F(RotctldStation, TrackFollowsIssThroughNorthWithOverlapAndParks)
{
    Rotctld daemon(m_port);
    ASSERT_TRUE(daemon.Start());
    const QString ini = WriteIni(Host() + "ROTOR_DEG=5\nROTOR_AZ_MAX=450\nAUTO_PARK=1\n");
    const CliResult r = RunCli(
        { "track", "--config", ini, "--sat", "ISS (ZARYA)", "--start", "2024-02-13T09:52:00Z",
            "--speed", "100", "--for", "900", "--rotor", "--plain" },
        120000);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Rotor at rotctld at 127.0.0.1:%1  (5\u00B0)").arg(m_port)))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(
        QStringLiteral(": pass crosses north: overlap plan, 279\u00B0 \u2192 442\u00B0")))
        << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("refused")));

    const std::vector<RotorCall> calls = daemon.Calls();
    ASSERT_GT(calls.size(), 30u);
    EXPECT_TRUE(calls.front().park); // below the horizon at the start
    EXPECT_TRUE(calls.back().park); // and once after LOS
    double highestAz = 0;
    for (std::size_t i = 2; i + 1 < calls.size(); ++i) {
        ASSERT_FALSE(calls[i].park) << i;
        // Step 5, rounding, and at most one command the link merged into the
        // next while the daemon was still answering.
        EXPECT_LE(std::abs(calls[i].az - calls[i - 1].az), 11) << i;
        EXPECT_LE(std::abs(calls[i].el - calls[i - 1].el), 11) << i;
        highestAz = std::max(highestAz, calls[i].az);
    }
    EXPECT_NEAR(highestAz, 442, 3); // 82 + 360: on past north, no swing back
    EXPECT_TRUE(r.OutLines().last().contains(
        QStringLiteral("rotor: rotctld at 127.0.0.1:%1  (5\u00B0)   AUTO").arg(m_port)))
        << r.OutLines().last().toStdString();
}

#ifdef __linux__
// No rotctld listening: track --rotor waits its 5 s for the link asleep
// (the wait used to spin, 3 to 4 s of processor time) and ends with exit 1.
TEST_F(RotorStation, TrackWaitsForAnAbsentRotctldAsleepAndExitsOne)
{
    const quint16 port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    const QString ini = WriteIni("ROTOR_HOST=127.0.0.1:" + QByteArray::number(port) + '\n');
    rusage before {}, after {};
    getrusage(RUSAGE_CHILDREN, &before);
    const CliResult r = RunCli({ "track", "--config", ini, "--sat", "ISS (ZARYA)", "--start",
        "2024-02-13T09:52:00Z", "--for", "1", "--rotor", "--plain" });
    getrusage(RUSAGE_CHILDREN, &after);
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    const auto cpu = [](const rusage& u) {
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec
            + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    // The whole run takes about 20 ms of processor time; the spinning wait
    // took a second or more even on a machine loaded with other builds.
    EXPECT_LT(cpu(after) - cpu(before), 0.5);
}
#endif

TEST_F(RotctldStation, RotorCommandPointsReadsAndParks)
{
    Rotctld daemon(m_port);
    ASSERT_TRUE(daemon.Start());
    const QString ini = WriteIni(Host() + "ROTOR_AZ_MAX=450\nROTOR_EL_MAX=180\n");

    const CliResult point = RunCli({ "rotor", "--config", ini, "point", "372", "45" });
    EXPECT_EQ(point.exitCode, 0) << point.err.toStdString();
    EXPECT_EQ(point.out, QStringLiteral("P 372.0 45.0\n"));
    const CliResult position = RunCli({ "rotor", "--config", ini, "position" });
    EXPECT_EQ(position.exitCode, 0) << position.err.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\.\\d \\d+\\.\\d\\n$"))
                    .match(position.out)
                    .hasMatch())
        << position.out.toStdString();
    // The dummy reaches 90 degrees only: refused, with hamlib's meaning.
    const CliResult flip = RunCli({ "rotor", "--config", ini, "point", "10", "120" });
    EXPECT_EQ(flip.exitCode, 1);
    EXPECT_TRUE(flip.err.contains(QStringLiteral(
        "rotctld at 127.0.0.1:%1 refused \"P 10.0 120.0\": RPRT -1 (Invalid parameter)")
                                      .arg(m_port)))
        << flip.err.toStdString();
    const CliResult park = RunCli({ "rotor", "--config", ini, "park" });
    EXPECT_EQ(park.exitCode, 0) << park.err.toStdString();
    EXPECT_EQ(park.out, QStringLiteral("parking position at K\n"));

    const std::vector<RotorCall> calls = daemon.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].az, 372);
    EXPECT_EQ(calls[0].el, 45);
    EXPECT_TRUE(calls[1].park);
}

TEST_F(RotorStation, RotorCommandRefusals)
{
    struct Row {
        const char* why;
        QByteArray rotor;
        QStringList args;
        const char* err; // the one line on stderr; %1 the settings file
    };
    const Row rows[] = {
        { "no rotor", "", { "park" }, "aostrack-cli: %1 has no ROTOR_PORT_SETTINGS or ROTOR_HOST" },
        { "ROTOR_HOST without a port", "ROTOR_HOST=shack:\n", { "park" },
            "aostrack-cli: %1 line 7: ROTOR_HOST value \"shack:\" is not host:port with "
            "a "
            "port of 1..65535" },
        { "ROTOR_AZ_MAX beyond a turn and a half", "ROTOR_HOST=127.0.0.1\nROTOR_AZ_MAX=600\n",
            { "park" },
            "aostrack-cli: %1 line 8: ROTOR_AZ_MAX value \"600\" must lie between 360 "
            "and 540" },
        { "ROTOR_EL_MAX neither 90 nor 180", "ROTOR_HOST=127.0.0.1\nROTOR_EL_MAX=135\n", { "park" },
            "aostrack-cli: %1 line 8: ROTOR_EL_MAX value \"135\" must be 90 or 180" },
        { "rotctld park not az el", "ROTOR_HOST=127.0.0.1\nROTOR_PARK=AZ000.0 EL000.0\n",
            { "park" },
            "aostrack-cli: station.ini: ROTOR_PARK value \"AZ000.0 EL000.0\" is not \"az el\" as "
            "rotctld needs it" },
        { "beyond ROTOR_AZ_MAX", "ROTOR_HOST=127.0.0.1\n", { "point", "400", "10" },
            "aostrack-cli: AZ: 400 is outside 0 to 360" },
        { "EasyComm is not read back", "ROTOR_PORT_SETTINGS=9600,n,8,1\n", { "position" },
            "aostrack-cli: position needs ROTOR_HOST: the EasyComm line is never read back" },
        { "point without EL", "ROTOR_HOST=127.0.0.1\n", { "point", "10" },
            "aostrack-cli: point needs AZ and EL" },
        { "unknown action", "ROTOR_HOST=127.0.0.1\n", { "turn" },
            "aostrack-cli: unknown rotor action \"turn\"; try park, point AZ EL or position" },
    };
    for (const Row& row : rows) {
        const QString ini = WriteIni(row.rotor, QStringLiteral("station.ini"));
        const CliResult r = RunCli(QStringList { "rotor", "--config", ini } + row.args);
        EXPECT_EQ(r.exitCode, 2) << row.why;
        EXPECT_EQ(r.ErrLines(), QStringList { QString::fromUtf8(row.err).replace("%1", ini) })
            << row.why;
    }
}

#ifdef __linux__

namespace {

// A pseudo-terminal standing in for the rotor's serial line.
class PtyLine {
public:
    PtyLine()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_device = ptsname(m_master);
    }
    ~PtyLine()
    {
        if (m_master >= 0)
            close(m_master);
    }
    QByteArray Device() const { return m_device; }
    QByteArray Received()
    {
        fcntl(m_master, F_SETFL, O_NONBLOCK);
        QByteArray wire;
        char buffer[4096];
        for (ssize_t n; (n = read(m_master, buffer, sizeof buffer)) > 0;)
            wire.append(buffer, n);
        return wire;
    }

private:
    int m_master = -1;
    QByteArray m_device;
};

} // namespace

// A rotor that flips (ROTOR_EL_MAX=180) but stops at north: the pass is
// flown from behind, elevations above 90 in EasyComm's normal form.
TEST_F(RotorStation, TrackFlipPlanOverEasyComm)
{
    PtyLine line;
    ASSERT_FALSE(line.Device().isEmpty());
    const QString ini = WriteIni("ROTOR_PORT_SETTINGS=9600,n,8,1\nROTOR_DEVICE=" + line.Device()
        + "\nROTOR_DEG=5\nROTOR_PARK=AZ000.0 EL000.0\nAUTO_PARK=1\nROTOR_EL_MAX=180\n");
    const CliResult r = RunCli(
        { "track", "--config", ini, "--sat", "ISS (ZARYA)", "--start", "2024-02-13T09:52:00Z",
            "--speed", "2000", "--for", "900", "--rotor", "--plain" },
        120000);
    const QByteArray wire = line.Received();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(
        QStringLiteral(": pass crosses north: flip plan, 99\u00B0 \u2192 262\u00B0")))
        << r.err.toStdString();

    const QList<QByteArray> commands = wire.split('\r');
    ASSERT_GT(commands.size(), 20);
    EXPECT_EQ(commands.first(), "AZ000.0 EL000.0"); // parked before the pass
    // Rising at 279 - 1.5 degrees, seen from behind at the horizon.
    EXPECT_EQ(commands[1], "AZ098.0 EL180.0");
    // The highest point, 43 degrees in the north, is 137 seen from behind.
    EXPECT_TRUE(wire.contains(" EL137.0\r")) << wire.toStdString();
    const QRegularExpression form(QStringLiteral("^AZ(\\d{3})\\.0 EL(\\d{3})\\.0$"));
    double lastAz = 98;
    for (qsizetype i = 1; i + 2 < commands.size(); ++i) {
        const auto m = form.match(QString::fromLatin1(commands[i]));
        ASSERT_TRUE(m.hasMatch()) << commands[i].toStdString();
        const double az = m.captured(1).toDouble();
        EXPECT_GE(m.captured(2).toDouble(), 90) << commands[i].toStdString();
        EXPECT_LE(std::abs(az - lastAz), 6) << commands[i].toStdString(); // never a turn
        lastAz = az;
    }
    EXPECT_EQ(commands[commands.size() - 2], "AZ000.0 EL000.0"); // parked after LOS
    EXPECT_TRUE(commands.last().isEmpty());
}

#endif
