#pragma once
// Time and angle helpers of the orbit engine. Angles are degrees; radians are
// degrees / DegPerRad. Day numbers count days from 1978 January 1, 0h UT
// (Julian date - 2443509.5). None of them keeps state or reads a clock.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace aostrack {

// Degrees per radian as the engine has always used it: differs from 180/pi in
// the 13th significant digit, kept so that results match other Plan13 tools.
inline constexpr double DegPerRad = 57.29577951309679;

inline double SinDeg(double x)
{
    return std::sin(x / DegPerRad);
}
inline double CosDeg(double x)
{
    return std::cos(x / DegPerRad);
}
// 5729578 at exactly 90 and 270 (stands in for the infinite tangent).
inline double TanDeg(double x)
{
    if (x == 90.0 || x == 270.0)
        return 5729578.0;
    return std::sin(x / DegPerRad) / std::cos(x / DegPerRad);
}
// arctan(y) in degrees, -90..90.
inline double ArcTanDeg(double y)
{
    return std::atan(y) * DegPerRad;
}
// Clamped: 90 for x >= 1, -90 for x <= -1.
inline double ArcSinDeg(double x)
{
    if (x >= 1.0)
        return 90.0;
    if (x <= -1.0)
        return -90.0;
    return std::atan(x / std::sqrt(1.0 - x * x)) * DegPerRad;
}
// Clamped: 0 for x >= 1, 180 for x <= -1.
inline double ArcCosDeg(double x)
{
    if (x >= 1.0)
        return 0.0;
    if (x <= -1.0)
        return 180.0;
    return 90.0 - std::atan(x / std::sqrt(1.0 - x * x)) * DegPerRad;
}
// Direction of the vector (x north, y east), 0 to below 360; (0, 0) gives 0.
inline double ArcTan2Deg(double y, double x)
{
    double a;
    if (x != 0.0)
        a = ArcTanDeg(y / x);
    else
        a = y > 0.0 ? 90.0 : (y < 0.0 ? -90.0 : 0.0);
    if (x < 0.0)
        a += 180.0;
    if (a < 0.0)
        a += 360.0;
    return a;
}
// ln(x)/ln(10) for x > 0, 0 otherwise.
inline double Log10(double x)
{
    return x > 0.0 ? std::log(x) / std::log(10.0) : 0.0;
}
// exp(p ln x), for x > 0.
double RealPower(double x, double p);
// x reduced to 0 to below 360.
inline double Norm360(double x)
{
    return x - 360.0 * std::floor(x / 360.0);
}
// West longitude 0..360 to east-positive longitude above -180 to 180.
double WestToEast180(double w);
// x truncated toward zero as a signed 32-bit number (saturates outside its range;
// a NaN gives 0).
inline std::int32_t IntPart(double x)
{
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (!(x == x))
        return 0;
    if (x <= lo)
        return std::numeric_limits<std::int32_t>::min();
    if (x >= hi)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(x); // truncates toward zero
}
// |x - IntPart(x)|, 0 to below 1.
inline double FracPart(double x)
{
    return std::fabs(x - IntPart(x));
}

// Day number of a Gregorian date at 0h UT; day 0 is the last day of the month before.
std::int32_t DayNumber(int day, int month, int year);
// Day number of an epoch YYDDD.DDDDDDDD including its fraction; the year is 2000 + YY.
double EpochDayNumber(double epoch);
// Greenwich mean sidereal angle, degrees 0..360, for day number n at 0h UT plus
// the UT day fraction f.
double SiderealAngle(double dayNumber, double dayFraction);
// 1 for 1 January.
int DayOfYear(std::chrono::year_month_day date);
// Seconds of the day of a text "HH:mm:ss" (characters 1-2, 4-5, 7-8); a
// missing or non-numeric piece counts 0.
double HmsToSeconds(std::string_view text);
// The UTC instant as an epoch number YY*1000 + day of year + day fraction,
// comparable with ElementSet::Epoch (the element-set age is the difference).
double CurrentEpochNumber(std::chrono::sys_seconds utcNow);

// The computation instant split into the calendar fields the engine works on.
struct CalcInstant {
    int CalcDay = 0;
    int CalcMonth = 0;
    int CalcYear = 0;
    double CalcHour = 0;
    double CalcMinute = 0;
    double CalcSecond = 0;
    bool operator==(const CalcInstant&) const = default;
};
CalcInstant SplitInstant(std::chrono::sys_seconds utc);

// Date-time as days since 1899-12-30 00:00 with the time of day as the
// fraction (the classic desktop date format), and back (rounded to the second).
double ToDateTime(std::chrono::sys_seconds utc);
std::chrono::sys_seconds FromDateTime(double dateTime);

} // namespace aostrack
