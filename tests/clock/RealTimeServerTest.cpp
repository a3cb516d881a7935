// The client against a real RFC 868 server: xinetd's built-in "time"
// service, started by the test on a free loopback port with a configuration
// of its own and stopped at the end. The clock setter is a fake.
#include "ClockTestSupport.h"
#include "FakeClock.h"
#include "clock/TimeSyncClient.h"
#include "core/EventLog.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace aostrack;
using namespace std::chrono;

namespace {

const QString XinetdPath = QStringLiteral("/usr/sbin/xinetd");

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

class XinetdTimeServer {
public:
    ~XinetdTimeServer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate(); // SIGTERM to our own instance only
            if (!m_process.waitForFinished(5000))
                m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Starts xinetd in the foreground; true once the port accepts.
    bool Start(quint16 port)
    {
        const QString conf = m_dir.filePath(QStringLiteral("xinetd.conf"));
        QFile file(conf);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
            return false;
        file.write(QStringLiteral("service time\n"
                                  "{\n"
                                  "    type        = INTERNAL UNLISTED\n"
                                  "    id          = time-stream\n"
                                  "    socket_type = stream\n"
                                  "    protocol    = tcp\n"
                                  "    port        = %1\n"
                                  "    bind        = 127.0.0.1\n"
                                  "    wait        = no\n"
                                  "    user        = root\n"
                                  "}\n")
                       .arg(port)
                       .toLatin1());
        file.close();
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(XinetdPath,
            { QStringLiteral("-dontfork"), QStringLiteral("-f"), conf, QStringLiteral("-pidfile"),
                m_dir.filePath(QStringLiteral("xinetd.pid")) });
        if (!m_process.waitForStarted(5000))
            return false;
        // Ready when a connection is accepted (it gets a time reply, unused).
        return WaitUntil([&] {
            if (m_process.state() == QProcess::NotRunning)
                return true;
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(200);
        }) && m_process.state() == QProcess::Running;
    }

    QString Output() { return QString::fromLocal8Bit(m_process.readAll()); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

TEST(RealTimeServerTest, XinetdTimeServiceGivesTheCurrentTime)
{
    if (!QFileInfo(XinetdPath).isExecutable())
        GTEST_SKIP() << "xinetd is not installed";
    const quint16 port = FreeLoopbackPort();
    ASSERT_NE(port, 0);
    XinetdTimeServer xinetd;
    ASSERT_TRUE(xinetd.Start(port)) << xinetd.Output().toStdString();

    // The fake clock reads the machine's real time once; nothing here sets it.
    const sys_seconds realNow = floor<seconds>(system_clock::now());
    FakeClock clock(realNow, 0);
    EventLog log(clock);
    FakeClockSetter setter;
    TimeSyncClient client(log, clock, &setter);
    std::optional<TimeSyncClient::Outcome> outcome;
    QObject::connect(
        &client, &TimeSyncClient::finished, [&](TimeSyncClient::Outcome o) { outcome = o; });

    client.StartTimeSync(QStringLiteral("127.0.0.1:%1").arg(port));
    ASSERT_TRUE(WaitUntil([&] { return outcome.has_value(); }));

    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::ClockSet) << log.Lines().join(u'\n').toStdString();
    ASSERT_EQ(setter.calls.size(), 1u);
    // The server and this test read the same machine clock; two seconds
    // cover the whole-second truncation on both sides and a slow start.
    const auto difference = setter.calls[0] - floor<seconds>(system_clock::now());
    EXPECT_LE(std::chrono::abs(difference), seconds { 2 });
    EXPECT_TRUE(log.Lines()
                    .filter(QStringLiteral(": data received: "))
                    .first()
                    .endsWith(QStringLiteral("  (4 bytes)")));
    EXPECT_EQ(client.TimeReplyBuffer().size(), 4);
}

} // namespace
