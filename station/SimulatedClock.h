#pragma once
// The clock of a rehearsal: starts at a chosen instant and moves only when
// told, a quarter second per tick, so that a pass can be run through faster
// than real time with every second of it seen by the tracker.
#include "orbit/Clock.h"

namespace aostrack {

class SimulatedClock : public Clock {
public:
    SimulatedClock(std::chrono::sys_seconds start, int utcOffsetMinutes)
        : m_start(start)
        , m_offsetMinutes(utcOffsetMinutes)
    {
    }

    std::chrono::sys_seconds UtcNow() const override
    {
        return m_start + std::chrono::floor<std::chrono::seconds>(m_elapsed);
    }
    int UtcOffsetMinutes() const override { return m_offsetMinutes; }

    void Advance(std::chrono::milliseconds by) { m_elapsed += by; }
    std::chrono::milliseconds Elapsed() const { return m_elapsed; }

private:
    std::chrono::sys_seconds m_start;
    std::chrono::milliseconds m_elapsed { 0 };
    int m_offsetMinutes;
};

} // namespace aostrack
