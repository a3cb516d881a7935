#pragma once
// The program's one hh:mm:ss: fixed-format UTC instants, times of day and
// spans for the window, the web page, the pass commands and the tool (no
// regional settings involved).
#include <QString>
#include <chrono>

namespace aostrack {

// "2026-12-07T14:03:27Z".
QString UtcInstantText(std::chrono::sys_seconds instant);
// "14:03:27": the time of day of instant in UTC.
QString UtcTimeOfDayText(std::chrono::sys_seconds instant);
// "01:02:03" of a span; a negative span shows as "00:00:00", hours past 99 in full.
QString SpanText(std::chrono::seconds span);

} // namespace aostrack
