#pragma once
// Shared pieces of the clock tests: a setter that records instead of setting
// the machine's clock, and a wait that keeps the event loop running.
#include "clock/SystemClockSetter.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <chrono>
#include <stdexcept>
#include <vector>

namespace aostrack {

class FakeClockSetter : public SystemClockSetter {
public:
    SetClockResult SetSystemClock(std::chrono::sys_seconds utc) override
    {
        calls.push_back(utc);
        if (throwText)
            throw std::runtime_error(throwText);
        return result;
    }

    std::vector<std::chrono::sys_seconds> calls;
    SetClockResult result { true, {} };
    const char* throwText = nullptr;
};

// Runs the event loop until done() holds or timeoutMs passes; returns done().
// The limit is generous: it only stops a broken test, it measures nothing.
template <typename Predicate> bool WaitUntil(Predicate done, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace aostrack
