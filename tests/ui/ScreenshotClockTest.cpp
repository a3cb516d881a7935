// The program's clock: the real one unless a documentation screenshot asks
// for a rehearsal time; the system clock itself is never set.
#include "FakeClock.h"

#include "app/screenshot/Screenshot.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

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
    FakeClock real { Now, 60 };
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
    const sys_seconds start
        = sys_days(year(2024) / February / 12) + hours(12) + minutes(18) + seconds(30);
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

TEST(SaveScreenshotTest, WrittenOrRefusedWithTheSystemReason)
{
    QTemporaryDir dir;
    QImage image(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(
                x, y, qRgb(x * 7 % 256, y * 13 % 256, (x * y) % 256)); // little to compress
    EXPECT_EQ(SaveScreenshot(image, dir.filePath("ok.png")), "");
    EXPECT_EQ(QImage(dir.filePath("ok.png")).size(), image.size());

    EXPECT_EQ(SaveScreenshot(image, dir.filePath("absent/x.png")), "No such file or directory");

    // A file-size limit fails the write as a full disk would (EFBIG instead
    // of ENOSPC); no partial picture is left behind.
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto* handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const QString error = SaveScreenshot(image, dir.filePath("big.png"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(error, "File too large");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { "ok.png" });
}

} // namespace
} // namespace aostrack
