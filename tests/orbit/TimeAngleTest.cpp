// Day numbers, sidereal angle and the small angle helpers, checked against
// worked examples and hand-derived values.
#include "orbit/TimeAngle.h"

#include <gtest/gtest.h>

#include <cmath>

namespace aostrack {
namespace {

using namespace std::chrono;

TEST(DayNumber, WorkedExamples)
{
    EXPECT_EQ(DayNumber(1, 1, 1978), 0);
    EXPECT_EQ(DayNumber(1, 1, 2000), 8035);
    EXPECT_EQ(DayNumber(1, 3, 2013), 12843);
    // Day 0 is the last day of the month before.
    EXPECT_EQ(DayNumber(0, 1, 2008), 10956);
    EXPECT_EQ(DayNumber(31, 12, 2007), 10956);
}

TEST(DayNumber, LeapYearsAndCenturies)
{
    EXPECT_EQ(DayNumber(1, 3, 2012) - DayNumber(29, 2, 2012), 1);
    EXPECT_EQ(DayNumber(1, 3, 2000) - DayNumber(28, 2, 2000), 2); // 2000 is a leap year
    EXPECT_EQ(DayNumber(1, 3, 2100) - DayNumber(28, 2, 2100), 1); // 2100 is not
    // Whole Gregorian calendar from 1978 to 2100: one day per calendar day.
    const sys_days origin { 1978y / January / 1 };
    for (sys_days d = origin; d < sys_days { 2100y / January / 1 }; d += days { 1 }) {
        const year_month_day ymd { d };
        ASSERT_EQ(
            DayNumber(static_cast<int>(static_cast<unsigned>(ymd.day())),
                static_cast<int>(static_cast<unsigned>(ymd.month())), static_cast<int>(ymd.year())),
            (d - origin).count());
    }
}

TEST(EpochDayNumber, YearAndFraction)
{
    // Year 08, day 1 at noon: 31 December 2007 plus 1.5.
    EXPECT_DOUBLE_EQ(EpochDayNumber(8001.5), 10956 + 1.5);
    // ISS element set of amateur.txt: 2024 day 43 = 12 February.
    EXPECT_NEAR(EpochDayNumber(24043.00684501), DayNumber(12, 2, 2024) + 0.00684501, 1e-9);
    // Year digits 99 are 2099, not 1999.
    EXPECT_DOUBLE_EQ(EpochDayNumber(99001.0), DayNumber(1, 1, 2099));
    EXPECT_NE(EpochDayNumber(99001.0), DayNumber(1, 1, 1999));
}

TEST(SiderealAngle, J2000)
{
    // GMST at 2000 January 1, 12h UT: 280.46061837 deg (IAU 1982).
    EXPECT_NEAR(SiderealAngle(8035, 0.5), 280.46061837, 1e-7);
    // One sidereal day later the angle is 0.98565 deg further at 0h UT.
    EXPECT_NEAR(SiderealAngle(8036, 0) - SiderealAngle(8035, 0), 0.9856473, 1e-6);
    // Always reduced to 0..360.
    for (int n = 0; n < 20000; n += 37)
        for (double f : { 0.0, 0.25, 0.999988 }) {
            const double g = SiderealAngle(n, f);
            ASSERT_GE(g, 0.0);
            ASSERT_LT(g, 360.0);
        }
}

TEST(AngleHelpers, Norm360)
{
    EXPECT_DOUBLE_EQ(Norm360(-10), 350);
    EXPECT_DOUBLE_EQ(Norm360(360), 0);
    EXPECT_DOUBLE_EQ(Norm360(725), 5);
    EXPECT_DOUBLE_EQ(Norm360(0), 0);
}

TEST(AngleHelpers, IntPartFracPart)
{
    EXPECT_EQ(IntPart(5), 5);
    EXPECT_DOUBLE_EQ(FracPart(5), 0);
    EXPECT_EQ(IntPart(-1.75), -1);
    EXPECT_DOUBLE_EQ(FracPart(-1.75), 0.75);
    EXPECT_EQ(IntPart(2.99), 2);
    EXPECT_DOUBLE_EQ(FracPart(-1.25), 0.25);
    // Oversized: saturates instead of wrapping.
    EXPECT_EQ(IntPart(1e12), 2147483647);
    EXPECT_EQ(IntPart(-1e12), -2147483647 - 1);
}

// DegPerRad differs from 180/pi in the 13th digit: exact angles come out
// within 1e-10 deg, not to the last bit.
constexpr double DegPerRadSlack = 1e-10;

TEST(AngleHelpers, ArcFunctionsClamp)
{
    EXPECT_DOUBLE_EQ(ArcSinDeg(1.0000001), 90);
    EXPECT_DOUBLE_EQ(ArcSinDeg(-3), -90);
    EXPECT_NEAR(ArcSinDeg(0.5), 30, DegPerRadSlack);
    EXPECT_DOUBLE_EQ(ArcCosDeg(-1), 180);
    EXPECT_DOUBLE_EQ(ArcCosDeg(1), 0);
    EXPECT_NEAR(ArcCosDeg(0.5), 60, DegPerRadSlack);
    EXPECT_NEAR(ArcTanDeg(1), 45, DegPerRadSlack);
}

TEST(AngleHelpers, ArcTan2Directions)
{
    EXPECT_DOUBLE_EQ(ArcTan2Deg(1, 0), 90);
    EXPECT_DOUBLE_EQ(ArcTan2Deg(-1, 0), 270);
    EXPECT_DOUBLE_EQ(ArcTan2Deg(0, -1), 180);
    EXPECT_NEAR(ArcTan2Deg(-1, 1), 315, DegPerRadSlack);
    EXPECT_DOUBLE_EQ(ArcTan2Deg(0, 0), 0);
    EXPECT_DOUBLE_EQ(ArcTan2Deg(0, 1), 0);
    EXPECT_NEAR(ArcTan2Deg(1, -1), 135, DegPerRadSlack);
}

TEST(AngleHelpers, TanDegSpecialValues)
{
    EXPECT_DOUBLE_EQ(TanDeg(90), 5729578);
    EXPECT_DOUBLE_EQ(TanDeg(270), 5729578);
    EXPECT_NEAR(TanDeg(45), 1, 1e-12);
    // Only exactly 90 and 270 are special: -90 takes the ordinary path.
    EXPECT_LT(TanDeg(-90), -1e12);
    EXPECT_GT(TanDeg(89.9999999), 1e8);
}

TEST(AngleHelpers, LongitudesLogsPowers)
{
    EXPECT_DOUBLE_EQ(WestToEast180(350), 10);
    EXPECT_DOUBLE_EQ(WestToEast180(10), -10);
    EXPECT_DOUBLE_EQ(WestToEast180(180), 180);
    EXPECT_NEAR(Log10(1000), 3, 1e-14);
    EXPECT_DOUBLE_EQ(Log10(0), 0);
    EXPECT_DOUBLE_EQ(Log10(-5), 0);
    EXPECT_NEAR(RealPower(8, 1.0 / 3.0), 2, 1e-14);
    EXPECT_NEAR(SinDeg(30), 0.5, 1e-12);
    EXPECT_NEAR(CosDeg(60), 0.5, 1e-12);
}

TEST(CalendarHelpers, DayOfYearAndHms)
{
    EXPECT_EQ(DayOfYear(2024y / January / 1), 1);
    EXPECT_EQ(DayOfYear(2024y / February / 12), 43);
    EXPECT_EQ(DayOfYear(2024y / December / 31), 366);
    EXPECT_EQ(DayOfYear(2023y / March / 1), 60);
    EXPECT_DOUBLE_EQ(HmsToSeconds("14:03:27"), 50607);
    EXPECT_DOUBLE_EQ(HmsToSeconds("00:00:00"), 0);
    EXPECT_DOUBLE_EQ(HmsToSeconds("23:59:59"), 86399);
    EXPECT_DOUBLE_EQ(HmsToSeconds(""), 0);
}

TEST(CalendarHelpers, CurrentEpochNumber)
{
    EXPECT_DOUBLE_EQ(CurrentEpochNumber(sys_days { 2024y / February / 12 } + 12h), 24043.5);
    EXPECT_DOUBLE_EQ(CurrentEpochNumber(sys_days { 2008y / January / 1 }), 8001.0);
    // The element-set age is a plain difference: 3.4 days.
    const double age
        = CurrentEpochNumber(sys_days { 2024y / February / 15 } + 9h + 36min) - 24043.0;
    EXPECT_NEAR(age, 3.4, 1e-9);
}

TEST(CalendarHelpers, SplitInstantAndDateTime)
{
    const sys_seconds t = sys_days { 2024y / February / 29 } + 23h + 58min + 7s;
    const CalcInstant c = SplitInstant(t);
    EXPECT_EQ(c, (CalcInstant { 29, 2, 2024, 23, 58, 7 }));
    EXPECT_DOUBLE_EQ(ToDateTime(sys_seconds {}), 25569.0); // 1970-01-01
    EXPECT_DOUBLE_EQ(ToDateTime(sys_days { 2024y / February / 12 } + 12h), 45334.5);
    EXPECT_EQ(FromDateTime(45334.5), sys_days { 2024y / February / 12 } + 12h);
    EXPECT_EQ(FromDateTime(ToDateTime(t)), t);
}

} // namespace
} // namespace aostrack
