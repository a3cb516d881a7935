// The transceiver link against hamlib's rigctld with its dummy rig, and
// against loopback peers that refuse, flood or stall.
#include <gtest/gtest.h>

#include "FloodingPeer.h"
#include "Rigctld.h"
#include "ScriptedPeer.h"
#include "radio/DopplerLegs.h"
#include "radio/RigctldTransceiver.h"
#include "radio/TransceiverControl.h"

#include <QSignalSpy>
#include <mutex>

namespace aostrack {
namespace {

using test::DummyRig;
using test::WaitFor;

// An RS-44 pass from approach to recession: the dials read back from the
// daemon follow the Doppler legs of the passband centre, split on VFO B.
TEST(RigctldTransceiverTest, DummyRigFollowsASimulatedPass)
{
    DummyRig rig;
    ASSERT_TRUE(rig.Start());
    RigctldTransceiver link;
    QSignalSpy refused(&link, &RigctldTransceiver::refused);
    link.Open(QStringLiteral("127.0.0.1"), rig.Port());
    const TransmitterFrequencies rs44 { 435610000, 435670000, 145935000, 145995000, true };
    for (double rr = -7; rr <= 7; rr += 1.75) {
        const DialFrequencies dials = DialsFor(LegsAtSatellite(rs44), rr);
        link.Tune({ dials.ReceiveDialHz, dials.TransmitDialHz, "USB", "LSB", std::nullopt });
        const QByteArray rx = QByteArray::number(std::llround(*dials.ReceiveDialHz));
        const QByteArray tx = QByteArray::number(std::llround(*dials.TransmitDialHz));
        EXPECT_TRUE(WaitFor([&] { return rig.Ask("f") == rx && rig.Ask("i") == tx; }))
            << rr << " " << rig.Ask("f").toStdString() << " " << rig.Ask("i").toStdString();
    }
    EXPECT_EQ(rig.Ask("s"), QByteArray("1 VFOB"));
    EXPECT_EQ(rig.Ask("x").left(3), QByteArray("LSB"));
    EXPECT_EQ(rig.Ask("m").left(3), QByteArray("USB"));
    EXPECT_EQ(refused.size(), 0);
}

// A radio without CTCSS: told once, never asked again; the rest goes on.
TEST(RigctldTransceiverTest, NotAvailableIsToldOnce)
{
    std::mutex mutex;
    QList<QByteArray> heard;
    test::ScriptedPeer peer([&](const std::string& line) {
        std::lock_guard lock(mutex);
        heard.append(QByteArray::fromStdString(line));
        return line.rfind("C ", 0) == 0 ? std::string("RPRT -11\n") : std::string("RPRT 0\n");
    });
    RigctldTransceiver link;
    QSignalSpy unavailable(&link, &RigctldTransceiver::unavailable);
    link.Open(QStringLiteral("127.0.0.1"), peer.Port());
    link.Tune({ 436790483, 145851508, "FM", "FM", 67.0 });
    ASSERT_TRUE(unavailable.wait(15000));
    link.Tune({ 436790000, 145852000, "FM", "FM", 88.5 });
    const auto heardCount = [&](const QByteArray& prefix) {
        std::lock_guard lock(mutex);
        return std::count_if(heard.begin(), heard.end(),
            [&](const QByteArray& line) { return line.startsWith(prefix); });
    };
    ASSERT_TRUE(WaitFor([&] { return heardCount("I 145852000") == 1; }));
    EXPECT_EQ(heardCount("C "), 1);
    EXPECT_EQ(unavailable.size(), 1);
    EXPECT_EQ(unavailable[0][0].toString(), QStringLiteral("C 670"));
}

// A daemon that floods or never answers is dropped and connected again.
TEST(RigctldTransceiverTest, FloodAndStallDropTheLink)
{
    test::FloodingPeer flood(std::string(1000, 'x'));
    test::ScriptedPeer silent([](const std::string&) { return std::string(); });
    for (quint16 port : { static_cast<quint16>(std::stoi(flood.Port())), silent.Port() }) {
        RigctldTransceiver link;
        QSignalSpy lost(&link, &RigctldTransceiver::lost);
        QSignalSpy connected(&link, &RigctldTransceiver::connected);
        link.Open(QStringLiteral("127.0.0.1"), port);
        link.Tune({ 145800000, std::nullopt, {}, {}, std::nullopt });
        ASSERT_TRUE(lost.wait(kRigAnswerTimeoutMs * 3)) << port;
        EXPECT_TRUE(WaitFor([&] { return connected.size() >= 2; })) << port;
    }
}

// Two radios (RIG_UPLINK_HOST): each follows its leg of an RS-44 pass with F
// on its own VFO. Then the operator turns the receive dial by 1 kHz (F from
// another connection): the passband point moves by the same at the
// satellite and the uplink radio follows. The dummy rig has no "t": told once.
TEST(TransceiverControlTest, TwoRadiosFollowThePassAndTheDial)
{
    DummyRig down;
    DummyRig up;
    ASSERT_TRUE(down.Start() && up.Start());
    Transmitter rs44;
    rs44.Mode = "USB";
    rs44.UplinkMode = "LSB";
    rs44.Invert = true;
    rs44.DownlinkLowHz = 435610000;
    rs44.DownlinkHighHz = 435670000;
    rs44.UplinkLowHz = 145935000;
    rs44.UplinkHighHz = 145995000;
    TransceiverControl control;
    QStringList log;
    QObject::connect(&control, &TransceiverControl::logLine, [&](const QString& l) { log << l; });
    control.SetTransmitter(rs44);
    control.Open({ "127.0.0.1", down.Port(), "127.0.0.1", up.Port(), "VFOB", 10 });
    const auto dialsReadBack = [&](double downHz, double upHz, double rr) {
        const QByteArray rx = QByteArray::number(std::llround(ReceiveDopplerHz(downHz, rr)));
        const QByteArray tx = QByteArray::number(std::llround(TransmitDopplerHz(upHz, rr)));
        return WaitFor([&] { return down.Ask("f") == rx && up.Ask("f") == tx; });
    };
    for (const double rr : { -7.0, -3.5, 0.0, 3.5, 2.0 }) {
        control.Tick(rr);
        EXPECT_TRUE(dialsReadBack(435640000, 145965000, rr)) << rr;
    }
    EXPECT_EQ(down.Ask("m").left(3), QByteArray("USB"));
    EXPECT_EQ(up.Ask("m").left(3), QByteArray("LSB"));
    EXPECT_EQ(up.Ask("s").left(1), QByteArray("0")); // no split on either radio

    const double rx = ReceiveDopplerHz(435640000, 2.0);
    const long long turned = std::llround(rx) + 1000;
    EXPECT_EQ(down.Ask("F " + QByteArray::number(turned)), "RPRT 0");
    const double atSatellite = (turned - rx) / (1 - 2.0 / kSpeedOfLightKmPerSec);
    EXPECT_TRUE(WaitFor([&] { return std::abs(*control.PassbandPointHz() - 435641000) < 2; }));
    EXPECT_NEAR(*control.PassbandPointHz(), 435640000 + atSatellite, 1e-3);
    EXPECT_TRUE(dialsReadBack(435640000 + atSatellite, 145965000 - atSatellite, 2.0));
    EXPECT_EQ(log.filter("cannot do \"t\"").size(), 1) << log.join('\n').toStdString();
}

// While the radio says it transmits, the receive dial is not read back.
TEST(RigctldTransceiverTest, NoReadBackWhileTransmitting)
{
    std::mutex mutex;
    QList<QByteArray> heard;
    test::ScriptedPeer peer([&](const std::string& line) {
        std::lock_guard lock(mutex);
        heard.append(QByteArray::fromStdString(line));
        return line == "t" ? std::string("1\n") : std::string("RPRT 0\n");
    });
    RigctldTransceiver link;
    link.SetDialFollow(true);
    link.Open(QStringLiteral("127.0.0.1"), peer.Port());
    link.Tune({ 435640000, std::nullopt, {}, {}, std::nullopt });
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard lock(mutex);
        return heard.count("t") >= 3;
    }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(heard.count("f"), 0);
}

} // namespace
} // namespace aostrack
