#pragma once
// A clock the test sets by hand.
#include "orbit/Clock.h"

namespace aostrack {

class FakeClock : public Clock {
public:
    explicit FakeClock(std::chrono::sys_seconds now = {}, int offsetMinutes = 0)
        : m_now(now)
        , m_offsetMinutes(offsetMinutes)
    {
    }
    std::chrono::sys_seconds UtcNow() const override { return m_now; }
    int UtcOffsetMinutes() const override { return m_offsetMinutes; }
    void Set(std::chrono::sys_seconds now) { m_now = now; }
    void Advance(std::chrono::seconds by) { m_now += by; }
    void SetOffsetMinutes(int minutes) { m_offsetMinutes = minutes; }

private:
    std::chrono::sys_seconds m_now;
    int m_offsetMinutes;
};

} // namespace aostrack
