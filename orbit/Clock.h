#pragma once
// The station's clock, injected wherever "now" is needed so that tests and
// rehearsals run on a clock of their own.
#include <chrono>

namespace aostrack {

class Clock {
public:
    virtual ~Clock() = default;
    // Current UTC, truncated to the whole second.
    virtual std::chrono::sys_seconds UtcNow() const = 0;
    // Local time minus UTC in minutes (east of Greenwich positive), for the
    // local-time texts shown to the operator.
    virtual int UtcOffsetMinutes() const = 0;
};

} // namespace aostrack
