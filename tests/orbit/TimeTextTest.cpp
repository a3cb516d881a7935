// Countdown, hours-minutes-seconds and degrees-minutes-seconds texts.
#include "orbit/TimeText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace aostrack {
namespace {

// The one fixed time text every command, the web page and the window use:
// day and year boundaries, and spans of more than 99 hours written in full.
TEST(UtcInstantString, WorkedExamples)
{
    using namespace std::chrono;
    const struct {
        sys_seconds instant;
        const char* text;
    } cases[] = {
        { sys_days { 2024y / February / 12 } + 14h + 3min + 27s, "2024-02-12T14:03:27Z" },
        { sys_days { 2024y / February / 29 } + 23h + 59min + 59s, "2024-02-29T23:59:59Z" },
        { sys_days { 2027y / January / 1 }, "2027-01-01T00:00:00Z" },
        { sys_days { 1969y / December / 31 } + 12h, "1969-12-31T12:00:00Z" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(UtcInstantString(c.instant), c.text);
    EXPECT_EQ(HmsText(0), "00:00:00");
    EXPECT_EQ(HmsText(86399), "23:59:59");
    EXPECT_EQ(HmsText(100 * 3600 + 61), "100:01:01");
}

TEST(FormatCountdown, WorkedExamples)
{
    EXPECT_EQ(FormatCountdown(0), "00:00:00");
    EXPECT_EQ(FormatCountdown(59), "00:00:59");
    EXPECT_EQ(FormatCountdown(3600), "01:00:00");
    EXPECT_EQ(FormatCountdown(86399), "23:59:59");
}

TEST(FormatCountdown, DaysDroppedNegativeWraps)
{
    EXPECT_EQ(FormatCountdown(86400), "00:00:00");
    EXPECT_EQ(FormatCountdown(86400 + 3600 + 60 + 1), "01:01:01");
    EXPECT_EQ(FormatCountdown(-1), "23:59:59");
    EXPECT_EQ(FormatCountdown(-5), "23:59:55");
    EXPECT_EQ(FormatCountdown(-86400 - 5), "23:59:55");
    EXPECT_EQ(FormatCountdown(std::nan("")), "--:--:--");
    EXPECT_EQ(FormatCountdown(1e12), "01:46:40");
}

TEST(FormatHms, RoundsToTheSecond)
{
    EXPECT_EQ(FormatHms(14 + 3 / 60.0 + 27 / 3600.0), "14:03:27");
    EXPECT_EQ(FormatHms(24 * (86399.0 / 86400.0)), "23:59:59");
    EXPECT_EQ(FormatHms(0), "00:00:00");
    // Less than half a second below 24 hours reads 24:00:00.
    EXPECT_EQ(FormatHms(24 - 0.4 / 3600.0), "24:00:00");
}

TEST(FormatDms, PositiveAndNegative)
{
    EXPECT_EQ(FormatDms(48.5), "48\u00B030' 00\"");
    EXPECT_EQ(FormatDms(8.25), "08\u00B015' 00\"");
    // Negative values round toward zero, minutes and seconds stay positive.
    EXPECT_EQ(FormatDms(-12.5), "-12\u00B029' 59\"");
    EXPECT_EQ(FormatDms(-2.5), "-02\u00B029' 59\"");
    // Between -1 and 0 the degrees show 00 without a sign.
    EXPECT_EQ(FormatDms(-0.5), "00\u00B029' 59\"");
    EXPECT_EQ(FormatDms(179.99999), "180\u00B000' 00\"");
}

} // namespace
} // namespace aostrack
