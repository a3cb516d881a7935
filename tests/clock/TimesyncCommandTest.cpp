// aostrack-cli timesync as a station script runs it, against a loopback
// server of the test's own. Only the read-only form runs here: --set would
// reach this machine's clock.
#include "ClockTestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace std::chrono;

namespace {

const QString CliPath = QStringLiteral(AOSTRACK_BIN_DIR "/aostrack-cli");

class TimesyncCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(CliPath).isExecutable())
            GTEST_SKIP() << "aostrack-cli is not built";
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        cli.setProgram(CliPath);
    }

    void Run(const QStringList& args)
    {
        cli.setArguments(QStringList { QStringLiteral("timesync") } + args);
        cli.start();
        ASSERT_TRUE(cli.waitForStarted(10000));
    }

    bool WaitForExit()
    {
        return WaitUntil([this] { return cli.state() == QProcess::NotRunning; }, 30000);
    }

    QStringList OutputLines()
    {
        return QString::fromUtf8(cli.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTcpServer server;
    QProcess cli;
};

TEST_F(TimesyncCommandTest, Normal_PrintsTheExchangeAndLeavesTheClock)
{
    Run({ QStringLiteral("127.0.0.1:%1").arg(server.serverPort()) });
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 30000));
    QTcpSocket* peer = server.nextPendingConnection();

    // The present as the server would send it: seconds since 1900, which
    // fits the first era of the 32-bit field until 2036.
    const qint64 since1900
        = floor<seconds>(system_clock::now()).time_since_epoch().count() + 2208988800LL;
    const quint32 value = static_cast<quint32>(since1900);
    QByteArray reply;
    for (int shift = 24; shift >= 0; shift -= 8)
        reply.append(static_cast<char>((value >> shift) & 0xFF));
    peer->write(reply);
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitForExit());

    EXPECT_EQ(cli.exitCode(), 0);
    const QStringList lines = OutputLines();
    ASSERT_EQ(lines.size(), 11) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(
        lines[0].endsWith(QStringLiteral(": opening connection to TIMESERVER [127.0.0.1:%1]")
                              .arg(server.serverPort())));
    const QString dump = QStringLiteral("%1 %2 %3 %4 ")
                             .arg(value >> 24, 2, 16, QChar(u'0'))
                             .arg((value >> 16) & 0xFF, 2, 16, QChar(u'0'))
                             .arg((value >> 8) & 0xFF, 2, 16, QChar(u'0'))
                             .arg(value & 0xFF, 2, 16, QChar(u'0'))
                             .toUpper();
    EXPECT_TRUE(lines[2].endsWith(
        QStringLiteral(": data received: ") + dump + QStringLiteral(" (4 bytes)")))
        << lines[2].toStdString();
    EXPECT_TRUE(
        lines[6].endsWith(QStringLiteral(": data value (GMT): \t") + QString::number(value)));
    EXPECT_TRUE(
        lines[10].contains(QStringLiteral(": clock left unchanged (read only), it differs by ")));
}

TEST_F(TimesyncCommandTest, ConnectionRefusedExitsWithOne)
{
    const quint16 port = server.serverPort();
    server.close();
    Run({ QStringLiteral("127.0.0.1:%1").arg(port) });
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 1);
    const QStringList lines = OutputLines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral(": error received: 10061")));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral(": sockets closed")));
}

TEST_F(TimesyncCommandTest, Empty_ShortReplyExitsWithOne)
{
    Run({ QStringLiteral("127.0.0.1:%1").arg(server.serverPort()) });
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 30000));
    QTcpSocket* peer = server.nextPendingConnection();
    peer->write(QByteArray("\xD2\x3A", 2));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(OutputLines().last().endsWith(
        QStringLiteral(": Time passed not valid. Clock not synchronised !")));
}

// Without a host the station's TIMESERVER is asked, from the sat.ini --config names.
TEST_F(TimesyncCommandTest, NoHost_AsksTheTimeServerOfTheConfig)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("station.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("TIMESERVER=127.0.0.1:%1\r\n").arg(server.serverPort()).toUtf8());
    file.close();
    Run({ QStringLiteral("--config"), ini });
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 30000));
    server.nextPendingConnection()->disconnectFromHost();
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 1); // nothing was sent: no time
    EXPECT_TRUE(OutputLines().value(0).endsWith(
        QStringLiteral("opening connection to TIMESERVER [127.0.0.1:%1]")
            .arg(server.serverPort())));
}

TEST_F(TimesyncCommandTest, Malformed_ArgumentsExitWithTwo)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("sat.ini"));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("QTH=no clock here\r\n");
    file.close();
    Run({ QStringLiteral("--config"), ini });
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 2);
    EXPECT_EQ(QString::fromUtf8(cli.readAllStandardError()),
        QStringLiteral("aostrack-cli: timesync needs a time server: give HOST[:PORT] or "
                       "TIMESERVER in %1\n")
            .arg(ini));

    Run({ QStringLiteral("127.0.0.1:70000") });
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 2);

    Run({ QStringLiteral("127.0.0.1"), QStringLiteral("--sett") });
    ASSERT_TRUE(WaitForExit());
    EXPECT_EQ(cli.exitCode(), 2);
    EXPECT_TRUE(OutputLines().isEmpty());
}

} // namespace
