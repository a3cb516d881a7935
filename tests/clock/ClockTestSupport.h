#pragma once
// Shared pieces of the clock tests: a setter that records instead of setting
// the machine's clock, and a wait that keeps the event loop running.
#include "clock/SystemClockSetter.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <chrono>
#include <initializer_list>
#include <stdexcept>
#include <vector>

namespace aostrack {

// A reply as the server sends it, byte by byte.
inline QByteArray Bytes(std::initializer_list<unsigned char> values)
{
    QByteArray bytes;
    for (unsigned char v : values)
        bytes.append(static_cast<char>(v));
    return bytes;
}

inline std::chrono::sys_seconds Utc(int y, unsigned mo, unsigned d, int h, int mi, int s)
{
    using namespace std::chrono;
    return sys_days { year { y } / month { mo } / day { d } } + hours { h } + minutes { mi }
    + seconds { s };
}

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
