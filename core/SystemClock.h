#pragma once
// The real clock of the machine.
#include "orbit/Clock.h"

namespace aostrack {

class SystemClock : public Clock {
public:
    // System time in UTC, truncated to the whole second.
    std::chrono::sys_seconds UtcNow() const override;
    // Local time minus UTC in minutes for the present moment (summer time
    // included), east of Greenwich positive.
    int UtcOffsetMinutes() const override;
};

} // namespace aostrack
