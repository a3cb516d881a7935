#include "core/UtcText.h"

#include <algorithm>

namespace aostrack {

using namespace std::chrono;

namespace {

QString Hms(long long totalSeconds)
{
    return QString::asprintf(
        "%02lld:%02lld:%02lld", totalSeconds / 3600, totalSeconds / 60 % 60, totalSeconds % 60);
}

} // namespace

QString UtcInstantText(sys_seconds instant)
{
    const sys_days day = floor<days>(instant);
    const year_month_day date { day };
    return QString::asprintf("%04d-%02u-%02uT", static_cast<int>(date.year()),
               static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()))
        + UtcTimeOfDayText(instant) + QLatin1Char('Z');
}

QString UtcTimeOfDayText(sys_seconds instant)
{
    return Hms((instant - floor<days>(instant)).count());
}

QString SpanText(seconds span)
{
    return Hms(std::max<long long>(span.count(), 0));
}

} // namespace aostrack
