#include "passes/PassAlarm.h"

namespace aostrack {

using namespace std::chrono;

std::vector<PassEvent> PassAlarm::Step(
    sys_seconds now, std::optional<sys_seconds> aosTime, std::optional<sys_seconds> losTime)
{
    std::vector<PassEvent> due;
    if (!aosTime)
        return due;
    if (m_aos != aosTime) {
        // A new pass. The one before may have ended between two ticks, after
        // which the countdown's search moved on at once.
        if (m_aos && m_begun && !m_ended && m_los && now >= *m_los)
            due.push_back({ PassEventKind::Los, *m_aos, m_los });
        m_aos = aosTime;
        m_warned = m_begun = m_ended = false;
    }
    m_los = losTime;
    const sys_seconds aos = *aosTime;
    if (!m_warned && !m_begun && m_lead > seconds { 0 } && now >= aos - m_lead && now < aos) {
        m_warned = true;
        due.push_back({ PassEventKind::Warning, aos, losTime });
    }
    if (!m_begun && now >= aos) {
        m_begun = m_warned = true;
        due.push_back({ PassEventKind::Aos, aos, losTime });
    }
    if (m_begun && !m_ended && losTime && now >= *losTime) {
        m_ended = true;
        due.push_back({ PassEventKind::Los, aos, losTime });
    }
    return due;
}

} // namespace aostrack
