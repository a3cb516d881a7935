// The real clock: whole seconds of the system time, and the local offset from
// the time-zone rules (set through TZ for this process only; the machine's
// clock is only read).
#include "core/SystemClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

using namespace aostrack;

namespace {

class ZoneScope {
public:
    explicit ZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            m_saved = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope()
    {
        if (m_saved)
            setenv("TZ", m_saved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_saved;
};

} // namespace

TEST(SystemClock, UtcNowIsTheSystemTimeInWholeSeconds)
{
    const SystemClock clock;
    const auto before = std::chrono::system_clock::now();
    const std::chrono::sys_seconds now = clock.UtcNow();
    const auto after = std::chrono::system_clock::now();
    EXPECT_LE(now, after);
    EXPECT_GT(now + std::chrono::seconds(1), before);
}

TEST(SystemClock, OffsetFromZoneRules)
{
    const SystemClock clock;
    {
        ZoneScope zone("UTC0");
        EXPECT_EQ(clock.UtcOffsetMinutes(), 0);
    }
    {
        ZoneScope zone("<+0530>-5:30"); // India: east of Greenwich, positive
        EXPECT_EQ(clock.UtcOffsetMinutes(), 330);
    }
    {
        ZoneScope zone("<-03>3"); // Brazil: west, negative
        EXPECT_EQ(clock.UtcOffsetMinutes(), -180);
    }
}
