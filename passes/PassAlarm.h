#pragma once
// When to raise the alarms of the tracked satellite's pass: a warning a set
// time before AOS, AOS itself and LOS, each once per pass. Fed every tick with
// the countdown's AOS/LOS, it works for the window's sound and notification
// and for the terminal tracker's commands alike. No clock: "now" is given.
#include <chrono>
#include <optional>
#include <vector>

namespace aostrack {

enum class PassEventKind { Warning, Aos, Los };

struct PassEvent {
    PassEventKind Kind = PassEventKind::Aos;
    std::chrono::sys_seconds AosTime;
    std::optional<std::chrono::sys_seconds> LosTime;
    bool operator==(const PassEvent&) const = default;
};

class PassAlarm {
public:
    // lead: how long before AOS the warning comes (0: no warning).
    explicit PassAlarm(std::chrono::seconds lead = std::chrono::seconds { 0 })
        : m_lead(lead)
    {
    }
    void SetLead(std::chrono::seconds lead) { m_lead = lead; }
    std::chrono::seconds Lead() const { return m_lead; }

    // The events due at now for the pass aosTime..losTime (the countdown's
    // current or next pass; a pass is known by its AOS). A tick that comes
    // late still raises what it passed over, in order; a pass whose LOS was
    // missed because the next search had already replaced it still gets its
    // LOS. Without an AOS nothing is due.
    std::vector<PassEvent> Step(std::chrono::sys_seconds now,
        std::optional<std::chrono::sys_seconds> aosTime,
        std::optional<std::chrono::sys_seconds> losTime);

private:
    std::chrono::seconds m_lead;
    std::optional<std::chrono::sys_seconds> m_aos; // the pass the flags belong to
    std::optional<std::chrono::sys_seconds> m_los;
    bool m_warned = false;
    bool m_begun = false;
    bool m_ended = false;
};

} // namespace aostrack
