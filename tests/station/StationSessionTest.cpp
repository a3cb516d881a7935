// The station object both programs start: a real start-up in a folder of the
// test's own, then a rehearsal on the simulated clock through a real pass of
// OSCAR 7 over Munich, and the links a face may leave out.
#include "FakeClock.h"
#include "TestFiles.h"

#include "rotor/RotorController.h"
#include "station/StationSession.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Noon = sys_days(year(2024) / February / 12) + hours(12);

class StationSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QFile::copy(QStringLiteral(AOSTRACK_SOURCE_DIR "/examples/amateur.txt"),
            m_dir.filePath("amateur.txt")));
        WriteTestFile(m_dir.filePath("doppler.sql"), ";key,down,up,mode,tone,remark\r\n");
    }
    void WriteIni(const QByteArray& rotorLines)
    {
        WriteTestFile(m_dir.filePath("station.ini"),
            "QTH=Test\r\nTLEFILE=amateur.txt\r\nDOPPLERFILE=doppler.sql\r\n"
            "QTH_LAT=48.1371\r\nQTH_LONG=11.5754\r\nQTH_HEIGHT=0.519\r\n"
                + rotorLines);
    }
    QString Ini() const { return m_dir.filePath("station.ini"); }

    QTemporaryDir m_dir;
    FakeClock m_clock { Noon };
};

TEST_F(StationSessionTest, TickSpeedKeepsFourTicksPerSimulatedSecond)
{
    const struct {
        double speed;
        int intervalMs; // 250 / speed, rounded down
    } cases[] = {
        { 1, 250 }, { 0.1, 2500 }, { 3, 83 }, // 83.3 ms
        { 10, 25 }, { 10000, 0 }, // as fast as the event loop runs
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.speed);
        StationSession station(m_clock, { .RotorLink = false, .ClockSync = false });
        station.SetTickSpeed(c.speed, Noon + hours(1));
        EXPECT_TRUE(station.Simulated());
        EXPECT_EQ(station.Tracking().TickTimer().interval(), c.intervalMs);
        // The simulated clock, not the given one, is the station's now.
        EXPECT_EQ(station.StationClock().UtcNow(), Noon + hours(1));
    }
}

TEST_F(StationSessionTest, RehearsalRunsThroughAPassOfTheExampleFile)
{
    WriteIni("");
    StationSession station(m_clock, { .RotorLink = false, .ClockSync = false });
    station.SetTickSpeed(10000);
    QStringList log;
    QObject::connect(&station, &StationSession::logLine, [&](const QString& l) { log << l; });
    station.StartupFromIni(Ini());
    EXPECT_EQ(station.Tracking().SelectedName(), "OSCAR 7 (AO-7)");
    ASSERT_TRUE(station.Tracking().AosTime() && station.Tracking().LosTime());
    const sys_seconds aos = *station.Tracking().AosTime();
    const sys_seconds los = *station.Tracking().LosTime();
    ASSERT_LT(Noon, aos);

    std::vector<sys_seconds> ticks;
    std::vector<sys_seconds> starts;
    std::vector<sys_seconds> ends;
    QEventLoop loop;
    QObject::connect(
        &station, &StationSession::ticked, [&](sys_seconds now) { ticks.push_back(now); });
    QObject::connect(
        &station, &StationSession::passStarted, [&](sys_seconds now) { starts.push_back(now); });
    QObject::connect(&station, &StationSession::passEnded, [&](sys_seconds now) {
        ends.push_back(now);
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit); // a safety net, not a measurement
    loop.exec();
    station.Stop();

    // The countdown's horizon rule: the pass starts at the first tick at 0
    // degrees or above, the search's AOS, and ends at its LOS.
    ASSERT_EQ(starts.size(), 1u);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(starts[0], aos);
    EXPECT_EQ(ends[0], los);
    // Every simulated second is seen, four times, from the start.
    ASSERT_GE(ticks.size(), 8u);
    EXPECT_EQ(ticks[0], Noon);
    EXPECT_EQ(ticks[3], Noon);
    EXPECT_EQ(ticks[4], Noon + seconds(1));
    EXPECT_EQ(ticks.back(), los);
    EXPECT_DOUBLE_EQ(station.ElapsedSeconds(), static_cast<double>(ticks.size()) * 0.25);
    EXPECT_FALSE(station.Tracking().TickTimer().isActive());
    EXPECT_TRUE(log.isEmpty()) << log.join('\n').toStdString();
}

TEST_F(StationSessionTest, TheRotorLinkIsThereWhenAskedFor)
{
    // A port number the rotor link refuses: only a station with the link
    // stops its start-up on it.
    WriteIni("ROTOR_PORT=300\r\nROTOR_PORT_SETTINGS=9600,n,8,1\r\n");
    {
        StationSession station(m_clock, { .RotorLink = false, .ClockSync = false });
        EXPECT_EQ(station.Rotor(), nullptr);
        EXPECT_NO_THROW(station.StartupFromIni(Ini()));
        EXPECT_TRUE(station.Tracking().TickTimer().isActive());
    }
    {
        StationSession station(m_clock, { .RotorLink = true, .ClockSync = false });
        ASSERT_NE(station.Rotor(), nullptr);
        EXPECT_THROW(station.StartupFromIni(Ini()), StartupError);
        EXPECT_FALSE(station.Tracking().TickTimer().isActive());
    }
}

} // namespace
} // namespace aostrack
