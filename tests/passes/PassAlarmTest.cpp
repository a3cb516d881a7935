// The pass alarm's events, tick by tick, as a table of scripted ticks.
#include "passes/PassAlarm.h"

#include <gtest/gtest.h>

namespace aostrack {
namespace {

using namespace std::chrono;

const sys_seconds T0 = sys_days { 2024y / February / 12 } + 12h;
const sys_seconds Aos = T0 + 10min;
const sys_seconds Los = Aos + 11min;
const sys_seconds NextAos = Los + 90min;

struct Tick {
    sys_seconds Now;
    std::optional<sys_seconds> AosTime, LosTime;
    std::vector<PassEventKind> Expected;
};

struct Script {
    const char* Name;
    seconds Lead;
    std::vector<Tick> Ticks;
};

using K = PassEventKind;

TEST(PassAlarm, Scripts)
{
    const Script scripts[] = {
        { "warning, AOS and LOS each once, at their second", 5min,
            { { Aos - 5min - 1s, Aos, Los, {} }, { Aos - 5min, Aos, Los, { K::Warning } },
                { Aos - 5min, Aos, Los, {} }, // four ticks a second: once only
                { Aos - 1s, Aos, Los, {} }, { Aos, Aos, Los, { K::Aos } },
                { Los - 1s, Aos, Los, {} }, { Los, Aos, Los, { K::Los } },
                { Los + 1s, NextAos, NextAos + 10min, {} } } },
        { "no lead: no warning", 0s,
            { { Aos - 5min, Aos, Los, {} }, { Aos, Aos, Los, { K::Aos } },
                { Los, Aos, Los, { K::Los } } } },
        { "started inside the lead: the warning at once", 10min,
            { { Aos - 3min, Aos, Los, { K::Warning } }, { Aos, Aos, Los, { K::Aos } } } },
        { "a late tick raises what it passed over, in order", 5min,
            { { Aos - 6min, Aos, Los, {} }, { Aos + 2s, Aos, Los, { K::Aos } },
                { Los + 5s, Aos, Los, { K::Los } } } },
        { "LOS missed because the search already moved on", 0s,
            { { Aos, Aos, Los, { K::Aos } }, { Los + 1s, NextAos, NextAos + 10min, { K::Los } } } },
        { "no pass known: nothing", 5min,
            { { Aos, std::nullopt, std::nullopt, {} }, { Los, std::nullopt, std::nullopt, {} } } },
        { "the next pass is announced again", 1min,
            { { Aos, Aos, Los, { K::Aos } }, { Los, Aos, Los, { K::Los } },
                { NextAos - 1min, NextAos, NextAos + 10min, { K::Warning } },
                { NextAos, NextAos, NextAos + 10min, { K::Aos } } } },
    };
    for (const Script& script : scripts) {
        PassAlarm alarm(script.Lead);
        int step = 0;
        for (const Tick& tick : script.Ticks) {
            std::vector<K> kinds;
            for (const PassEvent& e : alarm.Step(tick.Now, tick.AosTime, tick.LosTime))
                kinds.push_back(e.Kind);
            EXPECT_EQ(kinds, tick.Expected) << script.Name << ", tick " << step;
            ++step;
        }
    }
}

TEST(PassAlarm, EventsCarryTheirPass)
{
    PassAlarm alarm;
    alarm.Step(Aos, Aos, Los);
    const std::vector<PassEvent> late = alarm.Step(Los + 1s, NextAos, NextAos + 10min);
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0], (PassEvent { K::Los, Aos, Los }));
}

} // namespace
} // namespace aostrack
