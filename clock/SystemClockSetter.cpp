#include "clock/SystemClockSetter.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <ctime>
#endif

namespace aostrack {

SystemTimeRecord ToSystemTimeRecord(std::chrono::sys_seconds utc)
{
    using namespace std::chrono;
    const sys_days day = floor<days>(utc);
    const year_month_day date { day };
    const hh_mm_ss<seconds> time { utc - day };
    SystemTimeRecord record;
    record.Year = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    record.Month = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    record.Day = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    record.Hour = static_cast<std::uint16_t>(time.hours().count());
    record.Minute = static_cast<std::uint16_t>(time.minutes().count());
    record.Second = static_cast<std::uint16_t>(time.seconds().count());
    return record;
}

SetClockResult RealSystemClockSetter::SetSystemClock(std::chrono::sys_seconds utc)
{
#ifdef _WIN32
    const SystemTimeRecord r = ToSystemTimeRecord(utc);
    SYSTEMTIME st { r.Year, r.Month, r.DayOfWeek, r.Day, r.Hour, r.Minute, r.Second,
        r.Milliseconds };
    if (::SetSystemTime(&st))
        return { true, {} };
    wchar_t* text = nullptr;
    const DWORD error = ::GetLastError();
    ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString reason
        = text ? QString::fromWCharArray(text).trimmed() : QStringLiteral("error %1").arg(error);
    if (text)
        ::LocalFree(text);
    return { false, reason };
#else
    timespec ts {};
    ts.tv_sec = static_cast<time_t>(utc.time_since_epoch().count());
    ts.tv_nsec = 0;
    if (::clock_settime(CLOCK_REALTIME, &ts) == 0)
        return { true, {} };
    const int error = errno;
    return { false, QString::fromLocal8Bit(std::strerror(error)) };
#endif
}

} // namespace aostrack
