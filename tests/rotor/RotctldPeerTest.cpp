// The rotor link against hamlib's own rotctld with its dummy rotor (model 1,
// azimuth -180..450, elevation 0..90) on a free loopback port. The daemon's
// verbose trace says what the dummy rotor was really told; the test reads
// it. Also against loopback servers that flood and that never answer.
#include "FakeClock.h"
#include "PassesFromElements.h"
#include "QtPrinters.h"
#include "Rotctld.h"
#include "TleFile.h"
#include "core/Configuration.h"
#include "core/EventLog.h"
#include "rotor/RotorController.h"

#ifdef AOSTRACK_HAVE_ORBIT
#include "orbit/Engine.h"
#include "orbit/Tle.h"
#endif

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace aostrack;
using namespace aostrack::test;
using namespace std::chrono;

namespace {

class RotctldPeerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("rotctld")).isEmpty())
            GTEST_SKIP() << "hamlib's rotctld is not installed (libhamlib-utils)";
        m_port = FreeLoopbackPort();
        ASSERT_NE(m_port, 0);
    }

    // The dummy's reach: 450 past north; parks with K; steps of 5 degrees.
    Configuration Station(int azMax = 450, int elMax = 90) const
    {
        Configuration c;
        c.RotorHost = QStringLiteral("127.0.0.1");
        c.RotorHostPort = m_port;
        c.RotorStepDeg = 5;
        c.AutoPark = true;
        c.RotorAzMaxDeg = azMax;
        c.RotorElMaxDeg = elMax;
        return c;
    }

    QString Timed(const QString& text) const
    {
        return GeneralDateTimeText(m_clock.UtcNow()) + text;
    }
    QString Name() const { return QStringLiteral("rotctld at 127.0.0.1:%1").arg(m_port); }
    int LogCount(const QString& part) const
    {
        int n = 0;
        for (const QString& line : m_log.Lines())
            n += line.contains(part);
        return n;
    }

    // Lets the daemon answer whatever the last tick asked.
    void Settle(RotorController& rotor)
    {
        WaitFor([&rotor] { return !rotor.CommandPending(); }, 2000);
    }

    quint16 m_port = 0;
    FakeClock m_clock { sys_days { 2024y / February / 13 } + 9h + 50min };
    EventLog m_log { m_clock };
};

} // namespace

// A server that floods every connection with bytes that never end a line:
// dropped once, reported once, connected again.
TEST_F(RotctldPeerTest, FloodingDaemonDroppedAndReportedOnce)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, m_port));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* peer = server.nextPendingConnection()) {
            ++connections;
            peer->write(QByteArray(64 * 1024, 'x'));
        }
    });
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station());
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return connections >= 3; }));
    EXPECT_TRUE(rotor.LinkChecked());
    EXPECT_EQ(LogCount(QStringLiteral(" lost (")), 1) << m_log.Lines().join('\n').toStdString();
    EXPECT_EQ(LogCount(Name()
                  + QStringLiteral(" lost (more than 4096 bytes without a line end), "
                                   "reconnecting ")),
        1);
    rotor.ToggleRotorLink();
}

// A server that takes commands and never answers: the tick does not wait;
// after five seconds the line is dropped and connected again.
TEST_F(RotctldPeerTest, StalledDaemonDropped)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, m_port));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (server.nextPendingConnection())
            ++connections;
    });
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station());
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));
    EXPECT_EQ(m_log.Lines().last(), Timed(": " + Name() + " opened "));
    rotor.UpdateRotor(200, 20);
    EXPECT_TRUE(rotor.CommandPending());
    ASSERT_TRUE(WaitFor([&] { return LogCount(QStringLiteral(" lost (")) == 1; }, 10000));
    EXPECT_TRUE(m_log.Lines().contains(
        Timed(": " + Name() + " lost (no answer to \"P 200.0 20.0\" within 5 s), reconnecting ")));
    EXPECT_TRUE(WaitFor([&] { return connections >= 2; }));
    rotor.ToggleRotorLink();
}

#ifdef AOSTRACK_HAVE_ORBIT

namespace {

// ISS over the example station: AOS 2024-02-13 09:53:45 at 279.4 degrees, north
// at 43 degrees elevation about 09:59, LOS 10:05 at 82 degrees.
class RotctldPassTest : public RotctldPeerTest {
protected:
    void SetUp() override
    {
        RotctldPeerTest::SetUp();
        if (IsSkipped())
            return;
        const TleLoad load = LoadTleFile(AOSTRACK_SOURCE_DIR "/examples/amateur.txt");
        const auto names = load.Table.Names();
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i].rfind("ISS (ZARYA)", 0) == 0)
                m_elements = SelectSatellite(load.Table, static_cast<int>(i) + 1);
        m_model.emplace(m_elements, m_station);
        const NextPass pass = FindNextPass(m_elements, m_station, m_clock.UtcNow());
        ASSERT_TRUE(pass.AosTime && pass.LosTime);
        m_aos = *pass.AosTime;
        m_los = *pass.LosTime;
        m_track = PassLookTrack(m_elements, m_station, m_aos, m_los);
    }

    // Seconds of the tracking cycle up to `until`: four ticks each, then the
    // daemon's answers.
    void Rehearse(RotorController& rotor, sys_seconds until)
    {
        while (m_clock.UtcNow() < until) {
            const SatelliteState state = m_model->Compute(m_clock.UtcNow());
            for (int tick = 0; tick < 4; ++tick)
                rotor.UpdateRotor(state.SatAzimuth, state.SatElevation);
            Settle(rotor);
            m_clock.Advance(1s);
        }
    }

    RotorAim Aim(const RotorController& rotor) const
    {
        const SatelliteState state = m_model->Compute(m_clock.UtcNow());
        return rotor.ActivePlan().Aim(state.SatAzimuth, state.SatElevation);
    }

    ElementSet m_elements;
    const aostrack::Station m_station { 48.1371, 11.5754, 0.519 };
    std::optional<OrbitModel> m_model;
    sys_seconds m_aos, m_los;
    std::vector<PassLook> m_track;
};

// The largest step between two positions in a row (degrees).
double LargestStep(const std::vector<RotorCall>& calls, double RotorCall::*axis)
{
    double largest = 0;
    for (std::size_t i = 1; i < calls.size(); ++i)
        largest = std::max(largest, std::abs(calls[i].*axis - calls[i - 1].*axis));
    return largest;
}

} // namespace

TEST_F(RotctldPassTest, OverlapPlanFollowsThroughNorthThenParks)
{
    Rotctld daemon(m_port);
    ASSERT_TRUE(daemon.Start());
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station());
    rotor.PassAhead(m_track);
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));

    Rehearse(rotor, m_aos - 60s);
    const sys_seconds planned = m_clock.UtcNow();
    Rehearse(rotor, m_los + 60s);

    const std::vector<RotorCall> calls = daemon.Calls();
    ASSERT_GT(calls.size(), 30u);
    // Parked below the horizon at the start and once after LOS, nothing more.
    EXPECT_TRUE(calls.front().park);
    EXPECT_TRUE(calls.back().park);
    const std::vector<RotorCall> moves(calls.begin() + 1, calls.end() - 1);
    for (const RotorCall& call : moves)
        ASSERT_FALSE(call.park);
    // From the west-north-west on past 360 to 82 + 360 in the east: no swing.
    EXPECT_NEAR(moves.front().az, 279, 2);
    EXPECT_EQ(moves.front().el, 0);
    EXPECT_NEAR(moves.back().az, 442, 3);
    EXPECT_LE(LargestStep(moves, &RotorCall::az), 6.0);
    EXPECT_LE(LargestStep(moves, &RotorCall::el), 6.0);
    double highest = 0;
    for (const RotorCall& call : moves)
        highest = std::max(highest, call.el);
    EXPECT_NEAR(highest, 43, 3);

    EXPECT_EQ(LogCount(QStringLiteral("refused")), 0) << m_log.Lines().join('\n').toStdString();
    const QString planLine
        = QStringLiteral(": pass crosses north: overlap plan, 279\u00B0 \u2192 442\u00B0");
    ASSERT_EQ(LogCount(planLine), 1) << m_log.Lines().join('\n').toStdString();
    // Named when the rotor first moves for the pass, within a minute before AOS.
    for (const QString& line : m_log.Lines()) {
        if (line.contains(planLine)) {
            EXPECT_LT(
                line.toStdString(), (GeneralDateTimeText(planned + 60s) + planLine).toStdString());
        }
    }
    EXPECT_TRUE(rotor.RotorParked());
    EXPECT_EQ(rotor.ActivePlan().Kind, RotorPlanKind::Normal); // released after the pass

    // The position read back once a second from the daemon.
    EXPECT_TRUE(WaitFor([&] { return rotor.ReportedPosition().has_value(); }, 5000));
    EXPECT_TRUE(rotor.PositionText().contains(QStringLiteral("rotor ")));
    rotor.ToggleRotorLink();
    EXPECT_EQ(m_log.Lines().last(), Timed(": " + Name() + " closed "));
}

// A rotor declared as flipping (ROTOR_EL_MAX=180) on a dummy that reaches 90
// only: the daemon refuses, and the log says so once, in hamlib's words.
TEST_F(RotctldPassTest, RefusedFlipLoggedOnce)
{
    Rotctld daemon(m_port);
    ASSERT_TRUE(daemon.Start());
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station(360, 180));
    rotor.PassAhead(m_track);
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));
    Rehearse(rotor, m_aos + 180s);

    EXPECT_EQ(rotor.ActivePlan().Kind, RotorPlanKind::Flip);
    EXPECT_EQ(
        LogCount(QStringLiteral(": pass crosses north: flip plan, 99\u00B0 \u2192 262\u00B0")), 1);
    ASSERT_EQ(LogCount(QStringLiteral("refused")), 1) << m_log.Lines().join('\n').toStdString();
    const QRegularExpression refusal(
        QStringLiteral("^.*: rotctld at 127\\.0\\.0\\.1:\\d+ refused \"P \\d+\\.0 180\\.0\": RPRT "
                       "-1 \\(Invalid parameter\\)$"));
    bool found = false;
    for (const QString& line : m_log.Lines())
        found = found || refusal.match(line).hasMatch();
    EXPECT_TRUE(found) << m_log.Lines().join('\n').toStdString();
    // Only the first park reached the dummy: every flipped position was refused.
    for (const RotorCall& call : daemon.Calls())
        EXPECT_TRUE(call.park);
    EXPECT_TRUE(rotor.LinkChecked());
    rotor.ToggleRotorLink();
}

// The daemon stops mid-pass and comes back: one line for the loss, the link
// connects again by itself and at once tells the new daemon where to point.
TEST_F(RotctldPassTest, DaemonRestartedMidPassIsSurvived)
{
    auto daemon = std::make_unique<Rotctld>(m_port);
    ASSERT_TRUE(daemon->Start());
    RotorController rotor(m_log);
    rotor.ApplyConfiguration(Station());
    rotor.PassAhead(m_track);
    rotor.ToggleRotorLink();
    ASSERT_TRUE(WaitFor([&] { return rotor.PortOpen(); }));
    Rehearse(rotor, m_aos + 120s);
    ASSERT_GT(daemon->Calls().size(), 3u);

    daemon->Stop();
    ASSERT_TRUE(WaitFor([&] { return !rotor.PortOpen(); }));
    // Twenty seconds of the pass without a daemon, a tenth of a second each.
    for (int s = 0; s < 20; ++s) {
        Rehearse(rotor, m_clock.UtcNow() + 1s);
        WaitFor([] { return false; }, 100);
    }
    EXPECT_EQ(LogCount(QStringLiteral(" lost (")), 1) << m_log.Lines().join('\n').toStdString();
    EXPECT_EQ(LogCount(QStringLiteral("could not be opened")), 0);
    EXPECT_TRUE(rotor.LinkChecked());

    auto again = std::make_unique<Rotctld>(m_port);
    ASSERT_TRUE(again->Start());
    ASSERT_TRUE(WaitFor([&] {
        Rehearse(rotor, m_clock.UtcNow() + 1s);
        return rotor.PortOpen();
    }));
    const RotorAim aim = Aim(rotor);
    Rehearse(rotor, m_clock.UtcNow() + 1s);
    EXPECT_EQ(LogCount(Name() + QStringLiteral(" opened ")), 2);

    // The new daemon hears the present aim first, not a step later.
    const std::vector<RotorCall> calls = again->Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_FALSE(calls.front().park);
    EXPECT_NEAR(calls.front().az, aim.Azimuth, 3);
    EXPECT_NEAR(calls.front().el, aim.Elevation, 3);

    Rehearse(rotor, m_los + 60s);
    EXPECT_TRUE(again->Calls().back().park);
    EXPECT_EQ(LogCount(QStringLiteral(" lost (")), 1);
    rotor.ToggleRotorLink();
}

#endif
