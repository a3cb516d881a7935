#pragma once
// Time and angle helpers of the orbit engine. Angles are degrees; radians are
// degrees / DegPerRad. Day numbers count days from 1978 January 1, 0h UT
// (Julian date - 2443509.5). None of them keeps state or reads a clock.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace aostrack {

// Degrees per radian as the engine has always used it: differs from 180/pi in
// the 13th significant digit, kept so that results match other Plan13 tools.
inline constexpr double DegPerRad = 57.29577951309679;

inline double SinDeg(double x) { return std::sin(x / DegPerRad); }
inline double CosDeg(double x) { return std::cos(x / DegPerRad); }
// 5729578 at exactly 90 and 270 (stands in for the infinite tangent).
double TanDeg(double x);
// arctan(y) in degrees, -90..90.
inline double ArcTanDeg(double y) { return std::atan(y) * DegPerRad; }
// Clamped: 90 for x >= 1, -90 for x <= -1.
double ArcSinDeg(double x);
// Clamped: 0 for x >= 1, 180 for x <= -1.
double ArcCosDeg(double x);
// Direction of the vector (x north, y east), 0 to below 360; (0, 0) gives 0.
double ArcTan2Deg(double y, double x);
// ln(x)/ln(10) for x > 0, 0 otherwise.
double Log10(double x);
// exp(p ln x), for x > 0.
double RealPower(double x, double p);
// x reduced to 0 to below 360.
inline double Norm360(double x) { return x - 360.0 * std::floor(x / 360.0); }
// West longitude 0..360 to east-positive longitude above -180 to 180.
double WestToEast180(double w);
// x truncated toward zero as a signed 32-bit number (saturates outside its range).
std::int32_t IntPart(double x);
// |x - IntPart(x)|, 0 to below 1.
double FracPart(double x);

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
