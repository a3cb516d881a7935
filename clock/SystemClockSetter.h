#pragma once
// Setting the PC clock. Behind an interface because the real setter changes
// the clock of the whole machine: tests and the command-line tool's read-only
// mode use their own.
#include <QString>
#include <chrono>
#include <cstdint>

namespace aostrack {

// The outcome of one attempt; Reason is the system's text on failure
// ("Operation not permitted" without CAP_SYS_TIME).
struct SetClockResult {
    bool Succeeded = false;
    QString Reason;
    bool operator==(const SetClockResult&) const = default;
};

class SystemClockSetter {
public:
    virtual ~SystemClockSetter() = default;
    // Sets the system clock to utc (whole seconds, milliseconds 0).
    virtual SetClockResult SetSystemClock(std::chrono::sys_seconds utc) = 0;
};

// The system-time record of the Windows call, eight 16-bit fields in this
// order; the day of week is left 0, which the system ignores.
struct SystemTimeRecord {
    std::uint16_t Year = 0;
    std::uint16_t Month = 0; // 1 to 12
    std::uint16_t DayOfWeek = 0;
    std::uint16_t Day = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint16_t Milliseconds = 0;
    bool operator==(const SystemTimeRecord&) const = default;
};

SystemTimeRecord ToSystemTimeRecord(std::chrono::sys_seconds utc);

// The machine's own clock: clock_settime(CLOCK_REALTIME) on POSIX (needs
// CAP_SYS_TIME), SetSystemTime on Windows (needs the right to change the
// system time). Only app/ creates one, and only where the operator asked for
// the clock to be set.
class RealSystemClockSetter : public SystemClockSetter {
public:
    SetClockResult SetSystemClock(std::chrono::sys_seconds utc) override;
};

} // namespace aostrack
