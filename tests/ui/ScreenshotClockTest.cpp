// The program's clock: the real one unless a documentation screenshot asks
// for a rehearsal time; the system clock itself is never set.
#include "FakeClock.h"

#include "ui/Screenshot.h"

#include <QByteArray>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds Now = sys_days(year(2026) / December / 7) + hours(4) + minutes(50);

class ScreenshotClockTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        qunsetenv("AOSTRACK_SCREENSHOT");
        qunsetenv("AOSTRACK_SCREENSHOT_START");
        qunsetenv("AOSTRACK_SCREENSHOT_SPEED");
    }
    FakeClock real{Now, 60};
};

TEST_F(ScreenshotClockTest, NormalFollowsTheRealClock)
{
    ScreenshotClock clock(real);
    EXPECT_EQ(clock.UtcNow(), Now);
    real.Advance(5s);
    EXPECT_EQ(clock.UtcNow(), Now + 5s);
    EXPECT_EQ(clock.UtcOffsetMinutes(), 60);
}

TEST_F(ScreenshotClockTest, RehearsalStartsAtTheGivenMoment)
{
    qputenv("AOSTRACK_SCREENSHOT", QByteArray("/tmp/never-written.png"));
    qputenv("AOSTRACK_SCREENSHOT_START", QByteArray("2024-02-12T12:18:30Z"));
    qputenv("AOSTRACK_SCREENSHOT_SPEED", QByteArray("60"));
    ScreenshotClock clock(real);
    const sys_seconds start = sys_days(year(2024) / February / 12) + hours(12) + minutes(18) + seconds(30);
    // It runs 60 times as fast from the start; a test is never that slow.
    EXPECT_GE(clock.UtcNow(), start);
    EXPECT_LT(clock.UtcNow(), start + minutes(10));
    EXPECT_EQ(clock.UtcOffsetMinutes(), 60);
}

TEST_F(ScreenshotClockTest, MalformedStartOrNoScreenshotKeepsTheRealClock)
{
    qputenv("AOSTRACK_SCREENSHOT", QByteArray("/tmp/never-written.png"));
    qputenv("AOSTRACK_SCREENSHOT_START", QByteArray("yesterday noon"));
    EXPECT_EQ(ScreenshotClock(real).UtcNow(), Now);

    qunsetenv("AOSTRACK_SCREENSHOT");
    qputenv("AOSTRACK_SCREENSHOT_START", QByteArray("2024-02-12T12:18:30Z"));
    EXPECT_EQ(ScreenshotClock(real).UtcNow(), Now);
}

} // namespace
} // namespace aostrack
