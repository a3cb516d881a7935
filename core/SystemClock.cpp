#include "core/SystemClock.h"

#include <ctime>
#ifdef _WIN32
#include <windows.h>
#endif

namespace aostrack {

std::chrono::sys_seconds SystemClock::UtcNow() const
{
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

int SystemClock::UtcOffsetMinutes() const
{
#ifdef _WIN32
    TIME_ZONE_INFORMATION info;
    const DWORD mode = GetTimeZoneInformation(&info);
    LONG bias = info.Bias;
    if (mode == TIME_ZONE_ID_DAYLIGHT)
        bias += info.DaylightBias;
    else if (mode == TIME_ZONE_ID_STANDARD)
        bias += info.StandardBias;
    return static_cast<int>(-bias);
#else
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    if (!localtime_r(&now, &local))
        return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
#endif
}

} // namespace aostrack
