// Whole passes through UpdateRotor, four ticks a second on a fake clock,
// a 5° rotor step (ROTOR_DEG=5) and automatic park: the exact bytes the rotor receives.
#include "RotorLinkFixture.h"
#include "TleFile.h"

#ifdef AOSTRACK_HAVE_ORBIT
#include "orbit/Engine.h"
#include "orbit/Tle.h"
#endif

#include <QRegularExpression>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace aostrack;
using namespace std::chrono;

namespace {

constexpr int kTicksPerSecond = 4;
const QByteArray kPark = "AZ000.0 EL000.0\r";

class RotorPassTest : public RotorLinkTest {
protected:
    RotorPassTest()
    {
        m_clock.Set(sys_days { 2024y / February / 12 } + 9h);
        OpenLink();
    }

    // One second of the tracking cycle: the look angles change once, the
    // rotor step runs four times. Returns what went down the line.
    QByteArray Second(double az, double el)
    {
        m_port->written.clear();
        for (int tick = 0; tick < kTicksPerSecond; ++tick)
            m_rotor->UpdateRotor(az, el);
        m_clock.Advance(1s);
        return m_port->written;
    }
};

} // namespace

TEST_F(RotorPassTest, syntheticPassByteStream)
{
    // (azimuth, elevation) one per second, and what the rotor must hear then.
    struct Step {
        double az, el;
        const char* bytes;
    };
    const Step pass[] = {
        { 150.0, -10.0, "AZ000.0 EL000.0\r" }, // first tick, far below: park once
        { 152.0, -4.0, "" },
        { 153.4, -2.5, "AZ153.0 EL000.0\r" }, // 153.4 from the start value 0
        { 155.0, 1.0, "" }, // moved 1.6 and 1.0
        { 158.5, 4.9, "AZ158.0 EL005.0\r" }, // azimuth 5.1; 158.5 halves to even
        { 162.0, 5.2, "AZ162.0 EL005.0\r" }, // elevation 5.2 from 0
        { 175.0, 20.0, "AZ175.0 EL020.0\rAZ175.0 EL020.0\r" }, // both moved
        { 200.0, 40.5, "AZ200.0 EL040.0\rAZ200.0 EL040.0\r" }, // 40.5 halves to 40
        { 260.0, 22.0, "AZ260.0 EL022.0\rAZ260.0 EL022.0\r" },
        { 262.0, 8.0, "AZ262.0 EL008.0\r" }, // sinking: elevation 14 from 22
        { 264.9, 0.5, "AZ265.0 EL000.0\r" }, // elevation 7.5 from 8; 0.5 halves to 0
        { 266.0, -1.0, "AZ266.0 EL000.0\r" }, // azimuth 6 from 260, below 0
        { 267.0, -3.0, "" }, // exactly -3: neither step nor park
        { 268.0, -3.2, "AZ000.0 EL000.0\r" }, // set: automatic park
        { 270.0, -20.0, "" }, // parked already
        // The next pass rises in the north-east.
        { 20.0, -2.9, "AZ020.0 EL000.0\r" }, // 246 from 266, re-arms the park
        { 22.0, 3.0, "" }, // elevation 2.5 from 0.5
        { 25.5, 6.0, "AZ026.0 EL006.0\rAZ026.0 EL006.0\r" }, // 25.5 halves to 26
        { 30.0, -4.0, "AZ000.0 EL000.0\r" }, // a short pass: parked again
        { 31.0, -6.0, "" },
    };
    QByteArray all;
    for (const Step& s : pass) {
        const QByteArray got = Second(s.az, s.el);
        EXPECT_EQ(got, QByteArray(s.bytes)) << "at azimuth " << s.az << ", elevation " << s.el;
        all += got;
    }
    EXPECT_EQ(all.size(), 18 * 16);
    EXPECT_EQ(m_rotor->LastRotorAz(), 25.5);
    EXPECT_EQ(m_rotor->LastRotorEl(), 6.0);
    EXPECT_TRUE(m_rotor->RotorParked());
}

#ifdef AOSTRACK_HAVE_ORBIT

// ISS (ZARYA) from the example station's February 2024 element file, over a
// station at 52 N 8 E, 100 m: the pass of 12 February 2024 that rises at 09:04:35 UTC in the
// west-south-west (246 degrees), culminates near 60 degrees in the south and
// sets at 09:15:32 in the east (79 degrees); then the next pass, rising in
// the west (271 degrees) at 10:41.
TEST_F(RotorPassTest, realPassByteStream)
{
    const TleLoad load = LoadTleFile(AOSTRACK_SOURCE_DIR "/examples/amateur.txt");
    int iss = 0;
    const auto names = load.Table.Names();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i].rfind("ISS (ZARYA)", 0) == 0)
            iss = static_cast<int>(i) + 1;
    ASSERT_GT(iss, 0);
    const ElementSet elements = SelectSatellite(load.Table, iss);
    const Station station { 52.0, 8.0, 0.1 };
    const OrbitModel model(elements, station);
    const sys_seconds day = sys_days { 2024y / February / 12 };
    auto at = [&day](int second) { return day + seconds(second); };

    // Second of the day -> bytes sent in that second; look angles kept for
    // the tracking check below.
    std::map<int, QByteArray> sent;
    std::map<int, std::pair<double, double>> look;
    auto sentAt = [&sent](int second) {
        const auto it = sent.find(second);
        return it == sent.end() ? QByteArray() : it->second;
    };
    QStringList statusShown;
    QObject::connect(m_rotor.get(), &RotorController::statusTextChanged,
        [&statusShown](const QString& text) { statusShown << text; });
    QString statusAfterPark;
    m_clock.Set(at(32600));
    for (int s = 32600; s <= 38480; ++s) {
        ASSERT_EQ(m_clock.UtcNow(), at(s));
        const SatelliteState state = model.Compute(m_clock.UtcNow());
        look[s] = { state.SatAzimuth, state.SatElevation };
        const QByteArray got = Second(state.SatAzimuth, state.SatElevation);
        if (!got.isEmpty())
            sent[s] = got;
        if (s == 33385)
            statusAfterPark = m_rotor->StatusText();
    }

    // 09:03:20, elevation -4.1: the link starts parked.
    EXPECT_EQ(sentAt(32600), kPark);
    // 09:03:43, azimuth 246.722, elevation -2.982: first above -3.
    EXPECT_EQ(sentAt(32623), QByteArray("AZ247.0 EL000.0\r"));
    // Until 09:05:47 the azimuth drifts by 2.2 only; at 09:05:46 the
    // elevation is 4.99993, at 09:05:47 5.080 (azimuth 244.554).
    for (int s = 32601; s < 32747; ++s) {
        if (s != 32623) {
            EXPECT_FALSE(sent.count(s)) << "second " << s;
        }
    }
    EXPECT_EQ(sentAt(32747), QByteArray("AZ245.0 EL005.0\r"));
    // 09:07:01: azimuth 241.712 is 5.01 from 246.722 (elevation 12.316).
    EXPECT_EQ(sentAt(32821), QByteArray("AZ242.0 EL012.0\r"));

    // 09:16:24: elevation -3.016 after LOS, parked once; then silence until
    // the next pass comes above -3 at 10:40:23 (azimuth 270.835).
    EXPECT_EQ(sentAt(33384), kPark);
    // The park text shows until the next tick puts the port summary back.
    EXPECT_EQ(statusShown.count("parking position at AZ000.0 EL000.0"), 2);
    EXPECT_EQ(statusAfterPark, QStringLiteral("COM3, 9600,n,8,1  (5\u00b0)"));
    for (int s = 33385; s < 38423; ++s)
        EXPECT_FALSE(sent.count(s)) << "second " << s;
    EXPECT_EQ(sentAt(38423), QByteArray("AZ271.0 EL000.0\r"));
    EXPECT_FALSE(m_rotor->RotorParked());

    // Every command is a well-formed EasyComm line, and two at most per second.
    const QRegularExpression form(QStringLiteral("^AZ\\d{3}\\.0 EL\\d{3}\\.0\\r$"));
    int commands = 0, parks = 0;
    for (const auto& [s, bytes] : sent) {
        ASSERT_EQ(bytes.size() % 16, 0) << "second " << s;
        ASSERT_LE(bytes.size(), 32) << "second " << s;
        for (qsizetype i = 0; i < bytes.size(); i += 16) {
            const QByteArray line = bytes.mid(i, 16);
            EXPECT_TRUE(form.match(QString::fromLatin1(line)).hasMatch()) << line.constData();
            ++commands;
            parks += line == kPark;
        }
    }
    EXPECT_EQ(parks, 2);

    // While the satellite is up the antenna never trails it by more than the
    // step plus the half degree of rounding, in either axis.
    double rotorAz = 0, rotorEl = 0;
    for (int s = 32600; s <= 33384; ++s) {
        if (sent.count(s)) {
            const QByteArray last = sent[s].right(16);
            rotorAz = last.mid(2, 3).toDouble();
            rotorEl = last.mid(10, 3).toDouble();
        }
        const auto [az, el] = look[s];
        if (el > 0) {
            EXPECT_LE(std::abs(az - rotorAz), 5.5) << "second " << s;
            EXPECT_LE(std::abs(el - rotorEl), 5.5) << "second " << s;
        }
    }
    EXPECT_GT(commands, 40); // a 60-degree pass needs dozens of steps
}

#endif
