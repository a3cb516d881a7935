// The time-server client against a loopback server of the test's own: the
// exact log lines of each exchange and what reaches the clock setter.
#include "clock/TimeSyncClient.h"
#include "ClockTestSupport.h"
#include "FakeClock.h"
#include "core/EventLog.h"

#include <QLocale>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <optional>

using namespace aostrack;
using namespace std::chrono;

namespace {

class TimeSyncClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // British short date and long time, so the texts are fixed:
        // "08/10/2011 05:30:00".
        m_savedLocale = QLocale();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        host = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
        client.SetValidTimeRange({ Utc(2000, 1, 1, 0, 0, 0), Utc(2100, 1, 1, 0, 0, 0) });
        QObject::connect(
            &client, &TimeSyncClient::finished, [this](TimeSyncClient::Outcome o) { outcome = o; });
    }
    void TearDown() override { QLocale::setDefault(m_savedLocale); }

    // The server side of the connection the client opens.
    QTcpSocket* Accept()
    {
        if (!WaitUntil([this] { return server.hasPendingConnections(); }))
            return nullptr;
        return server.nextPendingConnection();
    }

    bool WaitForLines(qsizetype count)
    {
        return WaitUntil([&] { return log.Lines().size() >= count; });
    }
    bool WaitForOutcome()
    {
        return WaitUntil([this] { return outcome.has_value(); });
    }

    // One exchange with the test's server, which sends reply and closes.
    void Exchange(const QByteArray& reply)
    {
        client.StartTimeSync(host);
        QTcpSocket* peer = Accept();
        ASSERT_NE(peer, nullptr);
        peer->write(reply);
        peer->disconnectFromHost();
        ASSERT_TRUE(WaitForOutcome());
    }

    // A timed line as the log writes it at the fake clock's 05:30:00 UTC.
    static QString At(const QString& text) { return QStringLiteral("08/10/2011 05:30:00") + text; }

    QStringList OpeningLines() const
    {
        return { At(QStringLiteral(": opening connection to TIMESERVER [") + host + u']'),
            At(QStringLiteral(": winsock connection made")) };
    }

    FakeClock clock { Utc(2011, 10, 8, 5, 30, 0), 120 };
    EventLog log { clock };
    FakeClockSetter setter;
    TimeSyncClient client { log, clock, &setter };
    QTcpServer server;
    QString host;
    std::optional<TimeSyncClient::Outcome> outcome;

private:
    QLocale m_savedLocale;
};

TEST_F(TimeSyncClientTest, Normal_WorkedExampleSetsTheClockAndLogsEveryStep)
{
    int selections = 0;
    QObject::connect(&log, &EventLog::lastLineSelected, [&] { ++selections; });

    client.StartTimeSync(host);
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    ASSERT_TRUE(WaitForLines(2));
    peer->write(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitForOutcome());

    QStringList expected = OpeningLines();
    expected << At(QStringLiteral(": data received: D2 3A 5F 80  (4 bytes)"))
             << At(QStringLiteral(": closing connection")) << At(QStringLiteral(": sockets closed"))
             << At(QStringLiteral(": beginning system clock synchronization"))
             << At(QStringLiteral(": data value (GMT): \t3527040896"))
             << At(QStringLiteral(": sec since 1990 (GMT):\t686900096"))
             // The local clock: 05:30:00 UTC plus 120 minutes.
             << At(QStringLiteral(": system date (local) : \t08/10/2011 07:30:00"))
             << At(QStringLiteral(": synced date (GMT) : \t08/10/2011 05:34:56"))
             << At(QStringLiteral(": system clock synchronised succesfully"))
             << At(QStringLiteral(": clock corrected by +296 s (it was 296 s slow)"));
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::ClockSet);
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], Utc(2011, 10, 8, 5, 34, 56));
    EXPECT_EQ(selections, 1);
    EXPECT_EQ(client.TimeReplyBuffer(), Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    EXPECT_FALSE(client.IsPending());
}

TEST_F(TimeSyncClientTest, Normal_ReplySplitOverTwoArrivals)
{
    client.StartTimeSync(host);
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    ASSERT_TRUE(WaitForLines(2));
    peer->write(Bytes({ 0xD2, 0x3A, 0x5F }));
    peer->flush();
    ASSERT_TRUE(WaitForLines(3));
    peer->write(Bytes({ 0x80 }));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitForOutcome());

    const QStringList& lines = log.Lines();
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[2], At(QStringLiteral(": data received: D2 3A 5F  (3 bytes)")));
    EXPECT_EQ(lines[3], At(QStringLiteral(": data received: 80  (1 bytes)")));
    EXPECT_EQ(lines[4], At(QStringLiteral(": closing connection")));
    EXPECT_EQ(lines[7], At(QStringLiteral(": data value (GMT): \t3527040896")));
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], Utc(2011, 10, 8, 5, 34, 56));
}

TEST_F(TimeSyncClientTest, Normal_FirstByteBlankIsApplied)
{
    // 20 3A 5F 80: top bit clear, so the era after the 2036 wrap.
    ASSERT_NO_FATAL_FAILURE(Exchange(Bytes({ 0x20, 0x3A, 0x5F, 0x80 })));
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::ClockSet);
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], Utc(2053, 3, 27, 7, 55, 44));
    EXPECT_TRUE(log.Lines().contains(At(QStringLiteral(": sec since 1990 (GMT):\t1995522944"))));
}

TEST_F(TimeSyncClientTest, Maximum_After2058TheCountStillDecodes)
{
    // 2060-01-01 is 5 049 129 600 s after 1900; sent as that minus 2^32 =
    // 754 162 304 = 2C F3 9A 80. Its seconds since 1990, 2 208 988 800, do
    // not fit a signed 32-bit count.
    clock.Set(Utc(2059, 12, 31, 23, 59, 0));
    ASSERT_NO_FATAL_FAILURE(Exchange(Bytes({ 0x2C, 0xF3, 0x9A, 0x80 })));
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], Utc(2060, 1, 1, 0, 0, 0));
    const QStringList& lines = log.Lines();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("31/12/2059 23:59:00: data value (GMT): \t754162304")));
    EXPECT_TRUE(
        lines.contains(QStringLiteral("31/12/2059 23:59:00: sec since 1990 (GMT):\t2208988800")));
    // At exactly midnight the general form shows the date alone.
    EXPECT_TRUE(
        lines.contains(QStringLiteral("31/12/2059 23:59:00: synced date (GMT) : \t01/01/2060")));
    EXPECT_EQ(lines.last(),
        QStringLiteral("31/12/2059 23:59:00: clock corrected by +60 s (it was 60 s slow)"));
}

TEST_F(TimeSyncClientTest, EmptyAndOversizedRepliesAreNotValid)
{
    int selections = 0;
    QObject::connect(&log, &EventLog::lastLineSelected, [&] { ++selections; });
    const struct {
        QByteArray reply;
        QStringList dataLines;
    } cases[] = {
        { QByteArray(), { At(QStringLiteral(": closing connection")) } }, // closes, sends nothing
        // The 5th byte ends the exchange on the client's side.
        { Bytes({ 0xD2, 0x3A, 0x5F, 0x80, 0x00 }),
            { At(QStringLiteral(": data received: D2 3A 5F 80 00  (5 bytes)")),
                At(QStringLiteral(
                    ": reply longer than 4 bytes, not a time reply: closing connection")) } },
    };
    for (const auto& c : cases) {
        outcome.reset();
        const qsizetype first = log.Lines().size();
        ASSERT_NO_FATAL_FAILURE(Exchange(c.reply));
        QStringList expected = OpeningLines() + c.dataLines;
        expected << At(QStringLiteral(": sockets closed"))
                 << At(QStringLiteral(": Time passed not valid. Clock not synchronised !"));
        EXPECT_EQ(log.Lines().mid(first), expected);
        EXPECT_EQ(*outcome, TimeSyncClient::Outcome::NotValid);
    }
    EXPECT_TRUE(setter.calls.empty());
    EXPECT_EQ(selections, 2);
}

TEST_F(TimeSyncClientTest, Malformed_ImpossibleTimesAreRefused)
{
    // The default range runs from this program's build to 20 years after: a
    // server stuck in 1990 must not drag the station's clock back there, nor
    // one at the far end of the second era push it to 2104.
    client.SetValidTimeRange(DefaultValidTimeRange());
    ASSERT_TRUE(DefaultValidTimeRange().Contains(Utc(2036, 2, 7, 6, 28, 16)));
    // Four zero bytes, a server that does not know the time, would read as
    // 2036-02-07 06:28:16, inside the range: they are refused all the same.
    const struct {
        QByteArray reply;
        QString why;
    } cases[] = {
        { Bytes({ 0xA9, 0x49, 0x1C, 0x00 }),
            QStringLiteral(": time received is impossible: 01/01/1990 (GMT)") },
        { Bytes({ 0x7F, 0xFF, 0xFF, 0xFF }),
            QStringLiteral(": time received is impossible: 26/02/2104 09:42:23 (GMT)") },
        { Bytes({ 0x00, 0x00, 0x00, 0x00 }),
            QStringLiteral(": time received is 0, the server does not know the time") },
    };
    for (const auto& c : cases) {
        outcome.reset();
        ASSERT_NO_FATAL_FAILURE(Exchange(c.reply));
        const QStringList& lines = log.Lines();
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines[lines.size() - 2], At(c.why));
        EXPECT_EQ(
            lines.last(), At(QStringLiteral(": Time passed not valid. Clock not synchronised !")));
        EXPECT_EQ(*outcome, TimeSyncClient::Outcome::NotValid);
    }
    EXPECT_TRUE(setter.calls.empty());
}

TEST_F(TimeSyncClientTest, ConnectionRefused)
{
    const quint16 port = server.serverPort();
    server.close(); // nothing listens there any more
    const QString target = QStringLiteral("127.0.0.1:%1").arg(port);
    client.StartTimeSync(target);
    ASSERT_TRUE(WaitForOutcome());

    const QStringList expected {
        At(QStringLiteral(": opening connection to TIMESERVER [") + target + u']'),
        At(QStringLiteral(": error received: Connection refused")),
        At(QStringLiteral(": error received: 10061")),
        At(QStringLiteral(": sockets closed")),
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::Failed);
    EXPECT_TRUE(setter.calls.empty());
}

TEST_F(TimeSyncClientTest, ServerThatNeverClosesTimesOut)
{
    client.SetReplyTimeoutMs(300);
    client.StartTimeSync(host);
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    peer->write(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    peer->flush();
    ASSERT_TRUE(WaitForOutcome());

    QStringList expected = OpeningLines();
    expected << At(QStringLiteral(": data received: D2 3A 5F 80  (4 bytes)"))
             << At(QStringLiteral(
                    ": error received: no complete reply from the time server within 300 ms"))
             << At(QStringLiteral(": error received: 10060"))
             << At(QStringLiteral(": sockets closed"));
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::Failed);
    EXPECT_TRUE(setter.calls.empty());
    EXPECT_FALSE(client.IsPending());
    // The client hung up: the server sees the close.
    EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    // A late close from the server changes nothing.
    const qsizetype count = log.Lines().size();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.Lines().size(), count);
}

TEST_F(TimeSyncClientTest, Oversized_FloodIsRefusedAtTheFifthByte)
{
    // A megabyte at once, and bytes without end: both are refused as soon as
    // the 5th byte is read, well within the time limit, with short log lines.
    for (const bool endless : { false, true }) {
        SCOPED_TRACE(endless ? "endless" : "1 MB");
        outcome.reset();
        const qsizetype first = log.Lines().size();
        client.StartTimeSync(host);
        QPointer<QTcpSocket> peer = Accept();
        ASSERT_NE(peer, nullptr);
        const QByteArray chunk(endless ? 64 * 1024 : 1024 * 1024, '\x7F');
        peer->write(chunk);
        // Keep writing while the client listens; a closed client stops this.
        ASSERT_TRUE(WaitUntil(
            [&] {
                if (endless && peer && peer->state() == QAbstractSocket::ConnectedState
                    && peer->bytesToWrite() < chunk.size())
                    peer->write(chunk);
                return outcome.has_value();
            },
            5000)); // far below the 10 s limit
        EXPECT_EQ(*outcome, TimeSyncClient::Outcome::NotValid);
        const QStringList lines = log.Lines().mid(first);
        ASSERT_GE(lines.size(), 3);
        EXPECT_EQ(lines.mid(lines.size() - 3),
            QStringList({ At(QStringLiteral(
                              ": reply longer than 4 bytes, not a time reply: closing connection")),
                At(QStringLiteral(": sockets closed")),
                At(QStringLiteral(": Time passed not valid. Clock not synchronised !")) }));
        EXPECT_EQ(client.TimeReplyBuffer(), QByteArray(5, '\x7F'));
        for (const QString& line : lines)
            EXPECT_LT(line.size(), 120) << line.left(200).toStdString();
        EXPECT_TRUE(
            WaitUntil([&] { return !peer || peer->state() != QAbstractSocket::ConnectedState; }));
    }
    EXPECT_TRUE(setter.calls.empty());
}

TEST_F(TimeSyncClientTest, Empty_TimeServerStartsNothing)
{
    client.StartTimeSync(QString());
    client.StartTimeSync(QStringLiteral("   "));
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.Lines().isEmpty());
    EXPECT_FALSE(client.IsPending());
    EXPECT_FALSE(server.hasPendingConnections());
    EXPECT_FALSE(outcome.has_value());
}

TEST_F(TimeSyncClientTest, Malformed_PortInTimeServerIsAnError)
{
    client.StartTimeSync(QStringLiteral("127.0.0.1:99999"));
    ASSERT_TRUE(outcome.has_value());
    const QStringList expected {
        At(QStringLiteral(": opening connection to TIMESERVER [127.0.0.1:99999]")),
        At(QStringLiteral(": error received: TIMESERVER is not a host, host:port or "
                          "[address]:port: 127.0.0.1:99999")),
        At(QStringLiteral(": error received: 10022")),
        At(QStringLiteral(": sockets closed")),
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::Failed);
}

TEST_F(TimeSyncClientTest, SetterFailureGivesTheFailedLineWithTheReason)
{
    // Refused by the system (no CAP_SYS_TIME), or thrown out of the setter.
    setter.result = { false, QStringLiteral("Operation not permitted") };
    ASSERT_NO_FATAL_FAILURE(Exchange(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 })));
    EXPECT_EQ(log.Lines().last(),
        At(QStringLiteral(
            ": SetSystemTime failed. Clock not synchronised (Operation not permitted)")));
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::SetFailed);

    outcome.reset();
    setter.throwText = "clock device busy";
    ASSERT_NO_FATAL_FAILURE(Exchange(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 })));
    EXPECT_EQ(log.Lines().last(),
        At(QStringLiteral(": SetSystemTime failed. Clock not synchronised (clock device busy)")));
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::SetFailed);

    EXPECT_EQ(setter.calls.size(), 2u);
    EXPECT_EQ(log.Lines().filter(QStringLiteral("corrected")).size(), 0);
}

TEST_F(TimeSyncClientTest, ClockAheadIsReportedAsFast)
{
    clock.Set(Utc(2011, 10, 8, 5, 35, 3));
    ASSERT_NO_FATAL_FAILURE(Exchange(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 })));
    EXPECT_EQ(log.Lines().last(),
        QStringLiteral("08/10/2011 05:35:03: clock corrected by -7 s (it was 7 s fast)"));
}

TEST_F(TimeSyncClientTest, ReadOnlyClientComparesButNeverSets)
{
    TimeSyncClient reader(log, clock, nullptr);
    reader.SetValidTimeRange({ Utc(2000, 1, 1, 0, 0, 0), Utc(2100, 1, 1, 0, 0, 0) });
    std::optional<TimeSyncClient::Outcome> readOutcome;
    QObject::connect(
        &reader, &TimeSyncClient::finished, [&](TimeSyncClient::Outcome o) { readOutcome = o; });
    clock.Set(Utc(2011, 10, 8, 5, 34, 56));
    reader.StartTimeSync(host);
    QTcpSocket* peer = Accept();
    ASSERT_NE(peer, nullptr);
    peer->write(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return readOutcome.has_value(); }));
    EXPECT_EQ(*readOutcome, TimeSyncClient::Outcome::TimeRead);
    EXPECT_EQ(log.Lines().last(),
        QStringLiteral("08/10/2011 05:34:56: clock left unchanged (read only), it differs by 0 s "
                       "(it is right to the second)"));
}

TEST_F(TimeSyncClientTest, Normal_IPv6LoopbackWithPort)
{
    QTcpServer server6;
    if (!server6.listen(QHostAddress::LocalHostIPv6, 0))
        GTEST_SKIP() << "no IPv6 loopback on this machine";
    client.StartTimeSync(QStringLiteral("[::1]:%1").arg(server6.serverPort()));
    ASSERT_TRUE(WaitUntil([&] { return server6.hasPendingConnections(); }));
    QTcpSocket* peer = server6.nextPendingConnection();
    peer->write(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    peer->disconnectFromHost();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::ClockSet);
    ASSERT_EQ(setter.calls.size(), 1u);
    EXPECT_EQ(setter.calls[0], Utc(2011, 10, 8, 5, 34, 56));
}

TEST_F(TimeSyncClientTest, SecondStartBeginsWithAnEmptyBuffer)
{
    client.StartTimeSync(host);
    QTcpSocket* first = Accept();
    ASSERT_NE(first, nullptr);
    first->write(Bytes({ 0xD2, 0x3A }));
    first->disconnectFromHost();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::NotValid);

    outcome.reset();
    client.StartTimeSync(host);
    QTcpSocket* second = Accept();
    ASSERT_NE(second, nullptr);
    second->write(Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
    second->disconnectFromHost();
    ASSERT_TRUE(WaitForOutcome());
    EXPECT_EQ(*outcome, TimeSyncClient::Outcome::ClockSet);
    EXPECT_EQ(client.TimeReplyBuffer(), Bytes({ 0xD2, 0x3A, 0x5F, 0x80 }));
}

} // namespace
