#include "orbit/TimeAngle.h"

#include <cmath>

namespace aostrack {

using namespace std::chrono;

double RealPower(double x, double p)
{
    return std::exp(p * std::log(x));
}

double WestToEast180(double w)
{
    return w >= 180.0 ? 360.0 - w : -w;
}

namespace {
// Day number of a Gregorian date in floating point: the epoch of an element
// set is unchecked input, and 1000 * YY or 2000 + YY must not overflow for a
// damaged field. Exact for every date a whole number of days can hold.
double DayNumberOf(double day, double month, double year)
{
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    const double a = std::floor(year / 100.0);
    const double b = 2 - a + std::floor(a / 4.0);
    return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + b
        - 2445034;
}
} // namespace

std::int32_t DayNumber(int day, int month, int year)
{
    return IntPart(DayNumberOf(day, month, year));
}

double EpochDayNumber(double epoch)
{
    const double yy = std::trunc(epoch / 1000.0);
    const double ddd = std::trunc(epoch) - 1000.0 * yy;
    return DayNumberOf(0, 1, 2000.0 + yy) + ddd + std::fabs(epoch - std::trunc(epoch));
}

double SiderealAngle(double dayNumber, double dayFraction)
{
    // Julian centuries of 0h UT of the date from J2000.0 (IAU 1982 GMST series).
    // The date's part of the sum changes once a day and the pass searches ask
    // many thousand times a day, so each thread keeps the last date's (the
    // same terms added in the same order: the same angle to the bit).
    thread_local double lastDay = std::nan(""), lastDayPart = 0;
    if (!(dayNumber == lastDay)) {
        const double t = (dayNumber + 2443509.5 - 2451545.0) / 36525.0;
        lastDayPart = 100.460618375 + 36000.7700536083 * t + 0.0003879333 * (t * t)
            - t * t * t / 38710000.0;
        lastDay = dayNumber;
    }
    return Norm360(lastDayPart + 360.98564736629 * dayFraction);
}

int DayOfYear(year_month_day date)
{
    const sys_days first { date.year() / January / 1 };
    return static_cast<int>((sys_days { date } - first).count()) + 1;
}

namespace {
int TwoDigits(std::string_view text, std::size_t pos)
{
    int value = 0;
    for (std::size_t i = pos; i < pos + 2 && i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}
} // namespace

double HmsToSeconds(std::string_view text)
{
    return TwoDigits(text, 0) * 3600.0 + TwoDigits(text, 3) * 60.0 + TwoDigits(text, 6);
}

double CurrentEpochNumber(sys_seconds utcNow)
{
    const sys_days day = floor<days>(utcNow);
    const year_month_day ymd { day };
    const hh_mm_ss<seconds> hms { utcNow - day };
    const int yy = static_cast<int>(ymd.year()) % 100;
    const double secs = hms.hours().count() * 3600.0 + hms.minutes().count() * 60.0
        + static_cast<double>(hms.seconds().count());
    return yy * 1000.0 + DayOfYear(ymd) + secs / 86400.0;
}

CalcInstant SplitInstant(sys_seconds utc)
{
    const sys_days day = floor<days>(utc);
    const year_month_day ymd { day };
    const hh_mm_ss<seconds> hms { utc - day };
    CalcInstant c;
    c.CalcDay = static_cast<int>(static_cast<unsigned>(ymd.day()));
    c.CalcMonth = static_cast<int>(static_cast<unsigned>(ymd.month()));
    c.CalcYear = static_cast<int>(ymd.year());
    c.CalcHour = static_cast<double>(hms.hours().count());
    c.CalcMinute = static_cast<double>(hms.minutes().count());
    c.CalcSecond = static_cast<double>(hms.seconds().count());
    return c;
}

namespace {
// 1899-12-30 is 25569 days before 1970-01-01.
constexpr double DateTimeUnixOffsetDays = 25569.0;
} // namespace

double ToDateTime(sys_seconds utc)
{
    return DateTimeUnixOffsetDays + static_cast<double>(utc.time_since_epoch().count()) / 86400.0;
}

sys_seconds FromDateTime(double dateTime)
{
    const double secs = std::round((dateTime - DateTimeUnixOffsetDays) * 86400.0);
    return sys_seconds { seconds { static_cast<long long>(secs) } };
}

} // namespace aostrack
