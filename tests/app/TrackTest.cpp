// aostrack-cli track on a simulated clock, output not a terminal: one line per
// second, the countdown across a real SO-50 pass over the example station.
#include "CliRunner.h"
#include "FloodingPeer.h"
#include "PassesFromElements.h"
#include "TestFiles.h"
#include "TleFile.h"

#include "orbit/TimeText.h"
#include "orbit/Tle.h"
#include "passes/Passes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

#ifdef __linux__
#include <csignal>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

// A station folder of its own: the example files, so that a sat.ini edited
// in the build folder cannot change the result.
class TrackStation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(CopyTwoLineExampleStation(m_dir.path()));
    }
    QString Ini() const { return m_dir.filePath(QStringLiteral("sat.ini")); }
    QTemporaryDir m_dir;
};

QString LineAt(const QStringList& lines, const QString& isoTime)
{
    for (const QString& line : lines)
        if (line.startsWith(isoTime + QLatin1String("  ")))
            return line;
    return QString();
}

} // namespace

TEST_F(TrackStation, So50PassCountdownSwitchesFromAosToLosAndOnToTheNextPass)
{
    // SO-50 from Munich on 12 February 2024: AOS 13:18:22, LOS 13:29:34
    // (the next-pass test checks these seconds against the engine).
    const CliResult r = RunCli(
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("SAUDISAT 1C (SO-50)"), QStringLiteral("--start"),
            QStringLiteral("2024-02-12T13:17:00Z"), QStringLiteral("--speed"),
            QStringLiteral("2000"), QStringLiteral("--for"), QStringLiteral("840") },
        120000);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.OutLines();

    // One line for every simulated second from 13:17:00 to 13:30:59.
    ASSERT_EQ(lines.size(), 840);
    EXPECT_TRUE(
        lines.first().startsWith(QStringLiteral("2024-02-12T13:17:00Z  SAUDISAT 1C (SO-50)  Az ")))
        << lines.first().toStdString();
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("2024-02-12T13:30:59Z  ")))
        << lines.last().toStdString();

    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:17:00Z"))
                    .endsWith(QStringLiteral("Time to AOS: 00:01:22")));
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:18:21Z"))
                    .endsWith(QStringLiteral("Time to AOS: 00:00:01")));
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:18:22Z"))
                    .endsWith(QStringLiteral("Time to LOS: 00:11:12")));
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:29:33Z"))
                    .endsWith(QStringLiteral("Time to LOS: 00:00:01")));
    // Below the horizon again: until the search one second after LOS the
    // count runs to the AOS just passed, negative and wrapped into the day.
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:29:34Z"))
                    .endsWith(QStringLiteral("Time to AOS: 23:48:48")));

    // From then on the count runs to the next pass, as the engine finds it
    // from the second of the search.
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    const Station munich { 48.1371, 11.5754, 0.519 };
    const sys_seconds searchAt = sys_days { 2024y / 2 / 12 } + 13h + 29min + 35s;
    const NextPass next = FindNextPass(load.Table.Record(12).Elements, munich, searchAt);
    ASSERT_TRUE(next.AosTime.has_value());
    const sys_seconds shownAt = searchAt + 1s;
    const QString expected = QStringLiteral("Time to AOS: ")
        + QString::fromStdString(
            FormatCountdown(static_cast<double>((*next.AosTime - shownAt).count())));
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:29:36Z")).endsWith(expected))
        << LineAt(lines, QStringLiteral("2024-02-12T13:29:36Z")).toStdString() << " vs "
        << expected.toStdString();

    // The downlink of doppler.sql, corrected for Doppler: 436795 kHz, FM.
    EXPECT_TRUE(LineAt(lines, QStringLiteral("2024-02-12T13:20:00Z"))
                    .contains(QStringLiteral(" kHz FM  ")));

    // The event log went to stderr: the example's rotor line at start-up.
    EXPECT_TRUE(r.err.contains(QStringLiteral("Rotor at COM1, 9600,n,8,1  (5°)")))
        << r.err.toStdString();
}

TEST_F(TrackStation, SpeedOneRunsThreeSimulatedSecondsAsThreeLines)
{
    const CliResult r = RunCli(
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--start"),
            QStringLiteral("2024-02-12T13:17:00Z"), QStringLiteral("--speed"), QStringLiteral("1"),
            QStringLiteral("--for"), QStringLiteral("3") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.OutLines();
    ASSERT_EQ(lines.size(), 3);
    // Without --sat the first satellite of the file, as at start-up.
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("2024-02-12T13:17:00Z  OSCAR 7 (AO-7)  ")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2024-02-12T13:17:01Z  ")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("2024-02-12T13:17:02Z  ")));
}

TEST_F(TrackStation, TerminationEndsItCleanly)
{
    QProcess process;
    process.start(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"),
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--start"),
            QStringLiteral("2024-02-12T13:17:00Z") });
    ASSERT_TRUE(process.waitForStarted(30000));
    ASSERT_TRUE(process.waitForReadyRead(30000)); // the first second is out
    process.terminate(); // SIGTERM, handled like Ctrl-C
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(
        process.readAllStandardOutput().startsWith("2024-02-12T13:17:00Z  OSCAR 7 (AO-7)  "));
}

TEST_F(TrackStation, SignalsEndItWhateverTheReceiverPeerDoes)
{
    // The receiver library talks to a peer that floods it with answers
    // without end; Ctrl-C and SIGTERM still end the tool at once. (The peer
    // used to take the whole event loop, and only SIGKILL ended it.)
    const QString program = m_dir.filePath(QStringLiteral("aostrack-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), program));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/libExtIO_FCD_Quillon.so"),
        m_dir.filePath(QStringLiteral("libExtIO_FCD_Quillon.so"))));
    std::string answers;
    for (int i = 0; i < 1000; ++i)
        answers += "RPRT 0\n";
    test::FloodingPeer flood(answers);
    QFile receiverIni(m_dir.filePath(QStringLiteral("receiver.ini")));
    ASSERT_TRUE(receiverIni.open(QIODevice::WriteOnly));
    receiverIni.write(QStringLiteral("HOST=127.0.0.1\nPORT=%1\n")
                          .arg(QString::fromStdString(flood.Port()))
                          .toLatin1());
    receiverIni.close();

    for (const int signal : { SIGTERM, SIGINT }) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        QProcess process;
        process.start(program,
            { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
                QStringLiteral("12"), QStringLiteral("--start"),
                QStringLiteral("2024-02-12T13:20:00Z"), QStringLiteral("--receiver") });
        ASSERT_TRUE(process.waitForStarted(30000));
        // Some lines out while the peer floods.
        QByteArray out;
        while (out.count('\n') < 3 && process.waitForReadyRead(30000))
            out += process.readAllStandardOutput();
        ASSERT_GE(out.count('\n'), 3) << process.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(process.processId()), signal);
        // Ended within a second, with a margin for a loaded machine; without
        // the fix it never ends at all.
        const bool ended = process.waitForFinished(5000);
        if (!ended)
            process.kill();
        ASSERT_TRUE(ended);
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
    EXPECT_GE(flood.Connections(), 2);
}

TEST_F(TrackStation, BadSatelliteOrMissingSatIniGivesExitTwo)
{
    const CliResult unknown = RunCli(
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("NO SUCH SAT"), QStringLiteral("--for"), QStringLiteral("1") });
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.ErrLines().size(), 1) << unknown.err.toStdString();
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("no satellite named \"NO SUCH SAT\"")))
        << unknown.err.toStdString();
    EXPECT_TRUE(unknown.out.isEmpty());

    const CliResult missing = RunCli({ QStringLiteral("track"), QStringLiteral("--config"),
        m_dir.filePath(QStringLiteral("elsewhere/sat.ini")), QStringLiteral("--for"),
        QStringLiteral("1") });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.ErrLines().size(), 1) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.contains(QStringLiteral("aostrack-cli: File sat.ini not found")))
        << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
}

TEST_F(TrackStation, ModelOptionTracksWithSgp4)
{
    // SO-50 from Munich at 13:17:00: the countdown runs to the AOS that SGP4
    // finds (Plan13's is 13:18:22).
    const CliResult r = RunCli({ QStringLiteral("track"), QStringLiteral("--config"), Ini(),
        QStringLiteral("--sat"), QStringLiteral("SAUDISAT 1C (SO-50)"), QStringLiteral("--start"),
        QStringLiteral("2024-02-12T13:17:00Z"), QStringLiteral("--speed"), QStringLiteral("100"),
        QStringLiteral("--for"), QStringLiteral("1"), QStringLiteral("--model"),
        QStringLiteral("sgp4") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const TleLoad load = LoadTleFile(ExampleFile(QStringLiteral("amateur.txt")).toStdString());
    const Station munich { 48.1371, 11.5754, 0.519 };
    const sys_seconds start = sys_days { 2024y / 2 / 12 } + 13h + 17min;
    const NextPass next
        = FindNextPass(load.Table.Record(12).Elements, munich, start, OrbitModelKind::Sgp4);
    ASSERT_TRUE(next.AosTime.has_value());
    const QString expected = QStringLiteral("Time to AOS: ")
        + QString::fromStdString(
            FormatCountdown(static_cast<double>((*next.AosTime - start).count())));
    ASSERT_EQ(r.OutLines().size(), 1);
    EXPECT_TRUE(r.OutLines().first().endsWith(expected))
        << r.OutLines().first().toStdString() << " vs " << expected.toStdString();

    const CliResult bad = RunCli(
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--for"),
            QStringLiteral("1"), QStringLiteral("--model"), QStringLiteral("kepler") });
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.err, "aostrack-cli: --model: \"kepler\" is neither plan13 nor sgp4\n");
}

TEST_F(TrackStation, ConfigUnderAnotherNameIsRead)
{
    // A second station kept beside the first one's files.
    ASSERT_TRUE(QFile::copy(Ini(), m_dir.filePath(QStringLiteral("portable.ini"))));
    const CliResult r = RunCli({ QStringLiteral("track"), QStringLiteral("--config"),
        m_dir.filePath(QStringLiteral("portable.ini")), QStringLiteral("--start"),
        QStringLiteral("2024-02-12T13:17:00Z"), QStringLiteral("--for"), QStringLiteral("1"),
        QStringLiteral("--speed"), QStringLiteral("100") });
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    ASSERT_EQ(r.OutLines().size(), 1);
    EXPECT_TRUE(r.OutLines().first().startsWith(QStringLiteral("2024-02-12T13:17:00Z  ")))
        << r.out.toStdString();
}

#ifdef __linux__
// --rotor against a pseudo-terminal standing in for the rotor's serial line:
// the antenna is sent after SO-50 from before AOS and parked after LOS.
TEST_F(TrackStation, RotorFollowsTheSo50PassAndParksAfterIt)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const QByteArray device = ptsname(master);

    QFile ini(Ini());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    QByteArray text = ini.readAll();
    ini.close();
    text.replace("#ROTOR_DEVICE=/dev/ttyUSB0", "ROTOR_DEVICE=" + device);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(text);
    ini.close();

    const CliResult r = RunCli(
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("12"), QStringLiteral("--start"), QStringLiteral("2024-02-12T13:18:15Z"),
            QStringLiteral("--speed"), QStringLiteral("2000"), QStringLiteral("--for"),
            QStringLiteral("900"), QStringLiteral("--rotor") },
        120000);
    fcntl(master, F_SETFL, O_NONBLOCK);
    QByteArray wire;
    char buffer[4096];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
        wire.append(buffer, n);
    close(master);

    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // The port line of the rotor link, then the timed "opened" line.
    EXPECT_TRUE(r.err.contains(
        QStringLiteral("Rotor at %1, 9600,n,8,1  (5°)").arg(QString::fromLatin1(device))))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("opened"))) << r.err.toStdString();

    // 13:18:15, elevation -0.30: above -3, so the first command goes out with
    // the azimuth rounded (320.15 -> 320) and the elevation held at 0.
    EXPECT_TRUE(wire.startsWith("AZ320.0 EL000.0\r")) << wire.left(64).toStdString();
    // Below -3 after LOS, AUTO_PARK=1: the park text of sat.ini, once, last.
    EXPECT_TRUE(wire.endsWith("\rAZ000.0 EL000.0\r")) << wire.right(64).toStdString();
    EXPECT_EQ(wire.count("AZ000.0 EL000.0\r"), 1);
    // The highest point of the pass, 12 degrees, was commanded.
    EXPECT_TRUE(wire.contains(" EL012.0\r"));

    const QStringList lines = r.OutLines();
    ASSERT_EQ(lines.size(), 900);
    EXPECT_TRUE(lines.first().endsWith(QStringLiteral("rotor: AZ320.0 EL000.0   AUTO")))
        << lines.first().toStdString();
}
#endif

// --receiver with the tracker's own receiver library talking to hamlib's
// rigctld (dummy rig) on a loopback port: the rig ends on the corrected
// downlink of the last second shown. At speed 5 a tick comes every 50 ms, time
// enough for the daemon to answer each frequency before the next one (the
// library sends no new frequency while one is unanswered).
TEST_F(TrackStation, ReceiverIsTunedToTheCorrectedDownlinkThroughRigctld)
{
    // A program folder of its own: the tool, the library beside it and a
    // receiver.ini that names our daemon.
    const QString program = m_dir.filePath(QStringLiteral("aostrack-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), program));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/libExtIO_FCD_Quillon.so"),
        m_dir.filePath(QStringLiteral("libExtIO_FCD_Quillon.so"))));
    quint16 port = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    QFile receiverIni(m_dir.filePath(QStringLiteral("receiver.ini")));
    ASSERT_TRUE(receiverIni.open(QIODevice::WriteOnly));
    receiverIni.write(QStringLiteral("HOST=127.0.0.1\nPORT=%1\n").arg(port).toLatin1());
    receiverIni.close();

    QProcess rigctld;
    rigctld.start(QStringLiteral("rigctld"),
        { QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
            QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(port) });
    ASSERT_TRUE(rigctld.waitForStarted(10000));
    const auto askFrequency = [port]() -> QByteArray {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!socket.waitForConnected(1000))
            return {};
        socket.write("f\n");
        if (!socket.waitForReadyRead(5000))
            return {};
        return socket.readLine().trimmed();
    };
    QByteArray before;
    for (int i = 0; i < 100 && before.isEmpty(); ++i) {
        before = askFrequency();
        if (before.isEmpty())
            QThread::msleep(100); // the daemon is still starting
    }
    ASSERT_FALSE(before.isEmpty()) << "rigctld did not answer";

    const CliResult r = RunProgram(program,
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("12"), QStringLiteral("--start"), QStringLiteral("2024-02-12T13:20:00Z"),
            QStringLiteral("--speed"), QStringLiteral("5"), QStringLiteral("--for"),
            QStringLiteral("10"), QStringLiteral("--receiver") });
    const QByteArray after = askFrequency();
    rigctld.terminate();
    rigctld.waitForFinished(5000);

    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral(": receiver library loaded: ")))
        << r.err.toStdString();
    const QStringList lines = r.OutLines();
    ASSERT_EQ(lines.size(), 10);
    // "... 436801.442 kHz FM ..." on the last line: the same number in Hz on the rig.
    const QString last = lines.last();
    const qsizetype kHzAt = last.indexOf(QStringLiteral(" kHz FM"));
    ASSERT_GT(kHzAt, 0) << last.toStdString();
    QString kHz = last.left(kHzAt).section(QLatin1Char(' '), -1);
    EXPECT_EQ(after, kHz.remove(QLatin1Char('.')).toLatin1()) << last.toStdString();
    // SO-50 approaching from the north-west: the downlink is shifted up by
    // several kHz from its nominal 436795 kHz.
    EXPECT_GT(after.toLongLong(), 436795000LL);
    EXPECT_LT(after.toLongLong(), 436805000LL);
}

#ifdef __linux__
// On a terminal: the full-screen panel in its own screen, azimuth and
// elevation green while the satellite is up, the terminal given back at the end.
TEST_F(TrackStation, OnATerminalDrawsThePanelAndRestoresTheScreen)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    fcntl(master, F_SETFL, O_NONBLOCK);

    QProcess process;
    process.setStandardOutputFile(QString::fromLatin1(ptsname(master)));
    process.start(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"),
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("12"), QStringLiteral("--start"), QStringLiteral("2024-02-12T13:20:00Z"),
            QStringLiteral("--speed"), QStringLiteral("100"), QStringLiteral("--for"),
            QStringLiteral("3") });
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray screen;
    char buffer[4096];
    const auto drain = [&] {
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
            screen.append(buffer, n);
    };
    for (int i = 0; i < 1200 && !process.waitForFinished(50); ++i)
        drain(); // the terminal must be read or the panel would stall
    ASSERT_EQ(process.state(), QProcess::NotRunning);
    drain();
    close(master);

    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(screen.startsWith("\x1b[?1049h\x1b[?25l")) << screen.left(32).toStdString();
    EXPECT_TRUE(screen.endsWith("\x1b[?25h\x1b[?1049l"));
    EXPECT_EQ(screen.count("\x1b[H"), 3); // one frame per second
    EXPECT_TRUE(screen.contains("aostrack  SAUDISAT 1C (SO-50)"));
    EXPECT_TRUE(screen.contains("13:20:02 UTC"));
    EXPECT_TRUE(screen.contains("Time to LOS: 00:09:"));
    EXPECT_TRUE(screen.contains("\x1b[30;42m")); // SO-50 is up: green
    EXPECT_TRUE(screen.contains(
        "12.02.2024 14:59 (Az 324\xC2\xB0) -> 15:13 (Az 117\xC2\xB0) maxEl: 33\xC2\xB0)"));
}
#endif

#ifdef __linux__
// An SSH session of 80 x 24: every frame fits, the essentials are in each, and
// a new size (SIGWINCH) clears the screen and draws the frame anew at once.
TEST_F(TrackStation, FitsAnEightyByTwentyFourTerminalAndRedrawsOnResize)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    fcntl(master, F_SETFL, O_NONBLOCK);
    winsize size {};
    size.ws_col = 80;
    size.ws_row = 24;
    ASSERT_EQ(ioctl(master, TIOCSWINSZ, &size), 0);

    QProcess process;
    process.setStandardOutputFile(QString::fromLatin1(ptsname(master)));
    process.start(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"),
        { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
            QStringLiteral("SO-50"), QStringLiteral("--start"),
            QStringLiteral("2024-02-12T13:20:00Z"), QStringLiteral("--speed"), QStringLiteral("1"),
            QStringLiteral("--for"), QStringLiteral("4") });
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray screen;
    char buffer[4096];
    const auto drain = [&] {
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
            screen.append(buffer, n);
    };
    bool resized = false;
    for (int i = 0; i < 1200 && !process.waitForFinished(50); ++i) {
        drain();
        // After the first frame: the operator widens the window.
        if (!resized && screen.contains("\x1b[J")) {
            size.ws_col = 120;
            size.ws_row = 50;
            ioctl(master, TIOCSWINSZ, &size);
            kill(static_cast<pid_t>(process.processId()), SIGWINCH);
            resized = true;
        }
    }
    ASSERT_EQ(process.state(), QProcess::NotRunning);
    drain();
    close(master);
    EXPECT_EQ(process.exitCode(), 0);
    ASSERT_TRUE(resized);

    // The terminal turns each line feed into CR LF.
    const QString text = QString::fromUtf8(screen).remove(QLatin1Char('\r'));
    const QStringList frames = text.split(QStringLiteral("\x1b[H"));
    ASSERT_GE(frames.size(), 3);
    // The first frame: 80 x 24.
    const QString first = frames[1];
    const QStringList rows = first.left(first.indexOf(QStringLiteral("\x1b[J")))
                                 .split(QStringLiteral("\x1b[K\n"), Qt::SkipEmptyParts);
    EXPECT_LE(rows.size(), 23);
    const QRegularExpression colour(QStringLiteral("\x1b\\[[0-9;]*m"));
    for (QString row : rows)
        EXPECT_LE(row.remove(colour).size(), 80) << row.toStdString();
    for (const char* essential : { "Time to LOS: 00:09:", "Azimut", "Elevation", "Distance",
             "Doppler shift", "pass 2024-02-12T13:20:01Z -> 2024-02-12T13:29:34Z" })
        EXPECT_TRUE(first.contains(QString::fromLatin1(essential))) << essential;
    // The resize cleared the screen and drew at once; at 120 x 50 the whole
    // pass list is back.
    EXPECT_TRUE(text.contains(QStringLiteral("\x1b[2J\x1b[H")));
    EXPECT_TRUE(
        text.section(QStringLiteral("\x1b[2J"), 1).contains(QStringLiteral("next 24 hours")));
}
#endif

// Piped into a log, an old element set is said once on stderr.
TEST_F(TrackStation, PipedTrackWarnsOnceOfAnOldElementSet)
{
    const CliResult old = RunCli({ QStringLiteral("track"), QStringLiteral("--config"), Ini(),
        QStringLiteral("--sat"), QStringLiteral("iss"), QStringLiteral("--start"),
        QStringLiteral("2026-12-07T12:00:00Z"), QStringLiteral("--speed"), QStringLiteral("100"),
        QStringLiteral("--for"), QStringLiteral("3") });
    ASSERT_EQ(old.exitCode, 0) << old.err.toStdString();
    EXPECT_EQ(old.err.count(QStringLiteral("element set of ISS (ZARYA) is 1029 days old: run "
                                           "'aostrack-cli update'\n")),
        1)
        << old.err.toStdString();
    EXPECT_EQ(old.OutLines().size(), 3);

    const CliResult fresh = RunCli({ QStringLiteral("track"), QStringLiteral("--config"), Ini(),
        QStringLiteral("--sat"), QStringLiteral("iss"), QStringLiteral("--start"),
        QStringLiteral("2024-02-12T12:00:00Z"), QStringLiteral("--speed"), QStringLiteral("100"),
        QStringLiteral("--for"), QStringLiteral("3") });
    EXPECT_FALSE(fresh.err.contains(QStringLiteral("element set of")));
}

// Tracking needs no frequency list: without DOPPLERFILE the run starts with
// a warning and no frequency.
TEST_F(TrackStation, WithoutDopplerFileTracksWithoutFrequency)
{
    QFile example(Ini());
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    WriteTestFile(Ini(), example.readAll().replace("DOPPLERFILE=doppler.sql\r\n", ""));
    const CliResult r = RunCli({ QStringLiteral("track"), QStringLiteral("--config"), Ini(),
        QStringLiteral("--sat"), QStringLiteral("iss"), QStringLiteral("--start"),
        QStringLiteral("2024-02-12T12:20:00Z"), QStringLiteral("--speed"), QStringLiteral("100"),
        QStringLiteral("--for"), QStringLiteral("3") });
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(": no doppler.sql file given, the receiver has no frequencies"));
    ASSERT_EQ(r.OutLines().size(), 3);
    EXPECT_FALSE(r.OutLines().last().contains(QStringLiteral("kHz"))); // the ISS is up at 12:20
}

// --receiver ends with 1 only without a receiver library; a rigctld that is
// down is logged and tried again while the tracking goes on.
TEST_F(TrackStation, ReceiverExitCodeFollowsTheHelp)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    const QString program = m_dir.filePath(QStringLiteral("aostrack-cli"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli"), program));
    WriteTestFile(m_dir.filePath(QStringLiteral("receiver.ini")),
        QStringLiteral("HOST=127.0.0.1\nPORT=%1\n").arg(closedPort).toLatin1());
    const QString library = m_dir.filePath(QStringLiteral("libExtIO_FCD_Quillon.so"));
    const struct {
        bool library;
        int exitCode;
        QString err;
    } rows[] = {
        { true, 0, QStringLiteral(": cannot connect to rigctld at 127.0.0.1:%1").arg(closedPort) },
        { false, 1, QStringLiteral(": receiver library not found: ") },
    };
    for (const auto& row : rows) {
        QFile::remove(library);
        if (row.library)
            QFile::copy(QStringLiteral(AOSTRACK_BIN_DIR "/libExtIO_FCD_Quillon.so"), library);
        const CliResult r = RunProgram(program,
            { QStringLiteral("track"), QStringLiteral("--config"), Ini(), QStringLiteral("--sat"),
                QStringLiteral("iss"), QStringLiteral("--start"),
                QStringLiteral("2024-02-12T12:20:00Z"), QStringLiteral("--speed"),
                QStringLiteral("10"), QStringLiteral("--for"), QStringLiteral("3"),
                QStringLiteral("--receiver") });
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(row.err)) << r.err.toStdString();
    }
}
