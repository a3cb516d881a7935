// The rotctld link against daemons that answer what no rotctld should: codes
// out of every range, positions no rotor reaches, a flood after each answer.
// The peers are scripted loopback servers (tests/support/ScriptedPeer.h).
#include "FakeClock.h"
#include "QtPrinters.h"
#include "Rotctld.h"
#include "ScriptedPeer.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>
#include <climits>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

class RotctldHostileTest : public ::testing::Test {
protected:
    Configuration Station(uint16_t port) const
    {
        Configuration c;
        c.RotorHost = QStringLiteral("127.0.0.1");
        c.RotorHostPort = port;
        c.RotorStepDeg = 5;
        return c;
    }
    int LogCount(const QString& part) const
    {
        int n = 0;
        for (const QString& line : m_log.Lines())
            n += line.contains(part);
        return n;
    }
    QString Log() const { return m_log.Lines().join('\n'); }

    FakeClock m_clock { sys_days { 2024y / February / 13 } + 9h + 50min };
    EventLog m_log { m_clock };
};

} // namespace

TEST(HamlibCode, ReadCheckedAndNamed)
{
    const struct {
        const char* text;
        std::optional<int> code;
        const char* meaning;
    } cases[] = {
        { "0", 0, "Command completed successfully" },
        { " -1 ", -1, "Invalid parameter" },
        { "+9", 9, "Command rejected by the rig" },
        { "-22", -22, "Access denied" },
        { "-23", -23, "unknown hamlib error -23" },
        { "-2147483648", INT_MIN, "unknown hamlib error -2147483648" },
        { "2147483648", std::nullopt, "unknown hamlib error 2147483648" },
        { "1e308", std::nullopt, "unknown hamlib error 1e308" },
        { "-1.5", std::nullopt, "unknown hamlib error -1.5" },
        { "", std::nullopt, "no code" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadHamlibCode(QByteArray(c.text)), c.code);
        EXPECT_EQ(HamlibErrorText(QString::fromLatin1(c.text).trimmed()), c.meaning);
    }
    EXPECT_EQ(HamlibErrorText(INT_MIN), "unknown hamlib error -2147483648");
}

// Each refusal is logged with the code as the daemon wrote it; before, these
// codes crashed the tracker (int cast of 1e308, -INT_MIN, a table read far
// out of bounds).
TEST_F(RotctldHostileTest, AnyRefusalCodeIsLoggedNotFollowed)
{
    const std::string longCode(500, '7');
    const struct {
        std::string code;
        QString shown;
    } cases[] = {
        { "-2147483648", "RPRT -2147483648 (unknown hamlib error -2147483648)" },
        { "2147483648", "RPRT 2147483648 (unknown hamlib error 2147483648)" },
        { "1e308", "RPRT 1e308 (unknown hamlib error 1e308)" },
        { "-1", "RPRT -1 (Invalid parameter)" },
        { longCode,
            "RPRT " + QString(80, '7') + QStringLiteral("\u2026 (unknown hamlib error ")
                + QString(80, '7') + QStringLiteral("\u2026)") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code.substr(0, 20));
        EventLog log(m_clock);
        ScriptedPeer daemon([&c](const std::string& line) {
            return line == "p" ? std::string("10\n20\n") : "RPRT " + c.code + "\n";
        });
        RotorController rotor(log);
        rotor.ApplyConfiguration(Station(daemon.Port()));
        rotor.ToggleRotorLink();
        ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));
        rotor.PointRotor(200, 20);
        ASSERT_TRUE(WaitFor([&] { return log.Lines().size() > 1; }));
        EXPECT_EQ(log.Lines().last(),
            GeneralDateTimeText(m_clock.UtcNow())
                + QStringLiteral(": rotctld at 127.0.0.1:%1 refused \"P 200.0 20.0\": ")
                      .arg(daemon.Port())
                + c.shown);
        rotor.ToggleRotorLink();
    }
}

// A position no rotor of the station can be at (1e308 was shown with 309
// digits) is logged once and not shown; a real one is shown again.
TEST_F(RotctldHostileTest, PositionOutOfReachNotShown)
{
    std::atomic<bool> sane { false };
    ScriptedPeer daemon([&sane](const std::string& line) {
        if (line != "p")
            return std::string("RPRT 0\n");
        return sane ? std::string("371.5\n44.9\n") : std::string("1e308\n0\n");
    });
    Configuration station = Station(daemon.Port());
    station.RotorAzMaxDeg = 450;
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(station);
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));
    rotor.PointRotor(10, 20);
    int asked = 0;
    ASSERT_TRUE(WaitFor([&] {
        if (rotor.CommandPending())
            return false;
        rotor.RequestPosition(); // three readings, one after the other
        return ++asked > 3;
    }));
    ASSERT_TRUE(WaitFor([&] { return !rotor.CommandPending(); }));
    EXPECT_EQ(LogCount(QStringLiteral("outside the rotor's reach")), 1) << Log().toStdString();
    EXPECT_TRUE(Log().contains(QStringLiteral(
        ": rotctld at 127.0.0.1:%1 reports the position 1e+308/0, outside the rotor's reach; "
        "not shown ")
                                   .arg(daemon.Port())));
    EXPECT_FALSE(rotor.ReportedPosition());
    EXPECT_EQ(rotor.PositionText(), QStringLiteral("cmd 10°/20°"));

    sane = true;
    rotor.RequestPosition();
    ASSERT_TRUE(WaitFor([&] { return rotor.ReportedPosition().has_value(); }));
    EXPECT_EQ(*rotor.ReportedPosition(), (RotorAim { 371.5, 44.9 }));
    rotor.ToggleRotorLink();
}

TEST(RotorReach, EdgesOfTheStation)
{
    const RotorLimits overlap { 450, 90 };
    const struct {
        double az, el;
        bool within;
    } cases[] = {
        { 0, 0, true },
        { -180, 45, true }, // hamlib's -180..180 rotors
        { 455, 95, true }, // coasting past the stops
        { 455.1, 45, false },
        { -185.1, 45, false },
        { 10, -5.1, false },
        { 1e308, 0, false },
        { std::nan(""), 0, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithinReach(c.az, c.el, overlap), c.within) << c.az << " " << c.el;
}

// A daemon that takes the connection, answers and then floods: before, it
// was connected again at once, dozens of times a second with two log lines
// each. Now the losses back off (at once, 1 s, 2 s ...) and are logged once.
TEST_F(RotctldHostileTest, DaemonFloodingAfterEachAnswerBacksOff)
{
    ScriptedPeer daemon(
        [](const std::string& line) {
            return line == "p" ? std::string("10\n20\n") : std::string("RPRT 0\n");
        },
        std::string(8192, 'x'));
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station(daemon.Port()));
    QElapsedTimer elapsed;
    elapsed.start();
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor(
        [&] {
            if (rotor.PortOpen() && !rotor.CommandPending())
                rotor.RequestPosition();
            return daemon.Connections() >= 4;
        },
        20000));
    // Connections at 0 s, at once after the first loss, after 1 s and 2 s
    // more: 3 s, less the 5 % by which Qt's coarse timers may fire early.
    EXPECT_GE(elapsed.elapsed(), 2800);
    // "opened", "lost", "opened" once more, then nothing for the repeats.
    EXPECT_EQ(LogCount(QStringLiteral(" lost (")), 1) << Log().toStdString();
    EXPECT_EQ(m_log.Lines().size(), 3) << Log().toStdString();
    rotor.ToggleRotorLink();
}

// commandSent names what went onto the wire: a point replaced by a newer
// one while the daemon is busy, and a park dropped with the connection, are
// not announced (the sky plot showed a rotor that was never told).
TEST_F(RotctldHostileTest, OnlyWrittenCommandsAreAnnounced)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket* daemon = nullptr;
    QList<QByteArray> moves; // what the daemon received, "p" aside
    bool answer = true;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        daemon = server.nextPendingConnection();
        QObject::connect(daemon, &QTcpSocket::readyRead, [&] {
            while (daemon->canReadLine()) {
                const QByteArray line = daemon->readLine();
                if (line == "p\n")
                    daemon->write("10\n20\n");
                else
                    moves << line;
                if (line != "p\n" && answer)
                    daemon->write("RPRT 0\n");
            }
        });
    });
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station(server.serverPort()));
    QList<QByteArray> sent;
    QObject::connect(
        &rotor, &RotorController::commandSent, [&](const QByteArray& bytes) { sent << bytes; });
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen() && daemon; }));

    rotor.PointRotor(100, 10);
    rotor.PointRotor(110, 10); // replaced before it goes out
    rotor.PointRotor(120, 10);
    ASSERT_TRUE(WaitFor([&] { return moves.contains("P 120.0 10.0\n"); }));
    EXPECT_EQ(sent, moves);
    EXPECT_FALSE(sent.contains("P 110.0 10.0\n"));

    answer = false;
    rotor.PointRotor(130, 10);
    ASSERT_TRUE(WaitFor([&] { return moves.contains("P 130.0 10.0\n"); }));
    rotor.ParkRotor(); // waits behind the unanswered point, then the link drops
    server.close();
    daemon->abort();
    ASSERT_TRUE(WaitFor([&] { return !rotor.PortOpen(); }));
    EXPECT_EQ(sent, moves);
    EXPECT_EQ(sent.last(), "P 130.0 10.0\n");
    rotor.ToggleRotorLink();
}
