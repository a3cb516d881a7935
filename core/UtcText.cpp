#include "core/UtcText.h"

#include "orbit/TimeText.h"

#include <algorithm>

namespace aostrack {

using namespace std::chrono;

QString UtcInstantText(sys_seconds instant)
{
    return QString::fromStdString(UtcInstantString(instant));
}

QString UtcTimeOfDayText(sys_seconds instant)
{
    return QString::fromStdString(HmsText((instant - floor<days>(instant)).count()));
}

QString SpanText(seconds span)
{
    return QString::fromStdString(HmsText(std::max<long long>(span.count(), 0)));
}

} // namespace aostrack
