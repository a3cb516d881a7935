#include "orbit/TimeText.h"

#include "orbit/TimeAngle.h"

#include <cmath>
#include <cstdio>

namespace aostrack {

namespace {
// At least two digits with a leading zero, as "00" does; a sign is kept.
std::string TwoDigit(long long v)
{
    char buf[32];
    if (v < 0)
        std::snprintf(buf, sizeof buf, "-%02lld", -v);
    else
        std::snprintf(buf, sizeof buf, "%02lld", v);
    return buf;
}

struct Sexagesimal {
    std::int32_t Whole, Minutes, Seconds;
};

// Half a second is added, then truncated toward zero with positive minutes.
Sexagesimal Split(double value)
{
    const double v = value + 0.5 / 3600.0;
    const std::int32_t h = IntPart(v);
    const double f = FracPart(v);
    const std::int32_t m = IntPart(f * 60.0);
    const double g = FracPart(f * 60.0);
    const std::int32_t s = IntPart(g * 60.0);
    return { h, m, s };
}
} // namespace

std::string HmsText(long long totalSeconds)
{
    char buf[72];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", totalSeconds / 3600,
        totalSeconds / 60 % 60, totalSeconds % 60);
    return buf;
}

std::string UtcInstantString(std::chrono::sys_seconds instant)
{
    using namespace std::chrono;
    const sys_days day = floor<days>(instant);
    const year_month_day date(day);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text + HmsText((instant - day).count()) + "Z";
}

std::string FormatCountdown(double s)
{
    if (!std::isfinite(s))
        return "--:--:--"; // no pass known: nothing to count down to
    const double days = std::floor(s / 86400.0);
    const double hours = std::floor((s - 86400.0 * days) / 3600.0);
    const double minutes = std::floor((s - 86400.0 * days - 3600.0 * hours) / 60.0);
    const double seconds = std::round(s - 86400.0 * days - 3600.0 * hours - 60.0 * minutes);
    return TwoDigit(static_cast<long long>(hours)) + ":" + TwoDigit(static_cast<long long>(minutes))
        + ":" + TwoDigit(static_cast<long long>(seconds));
}

std::string FormatHms(double hours)
{
    const Sexagesimal x = Split(hours);
    return TwoDigit(x.Whole) + ":" + TwoDigit(x.Minutes) + ":" + TwoDigit(x.Seconds);
}

std::string FormatDms(double degrees)
{
    const Sexagesimal x = Split(degrees);
    return TwoDigit(x.Whole) + "\u00B0" + TwoDigit(x.Minutes) + "' " + TwoDigit(x.Seconds) + "\"";
}

} // namespace aostrack
