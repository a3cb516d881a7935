#include "orbit/ElementCheck.h"

#include <cmath>
#include <cstdio>

namespace aostrack {

namespace {

std::string Number(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

// Inclusive range check; the text names the range with its unit.
std::optional<ElementFault> Within(
    const char* field, double v, double lo, double hi, const char* unit)
{
    if (std::isfinite(v) && v >= lo && v <= hi)
        return std::nullopt;
    return ElementFault { field,
        Number(v) + " is outside " + Number(lo) + " to " + Number(hi) + unit };
}

} // namespace

std::optional<ElementFault> CheckElementSet(const ElementSet& e)
{
    // Epoch YYDDD.DDDDDDDD: two-digit year, day of year 1 to 366 with its fraction.
    if (!std::isfinite(e.Epoch) || e.Epoch < 0.0 || e.Epoch >= 100000.0)
        return ElementFault { "Epoch", Number(e.Epoch) + " is not a year 00-99 and a day of year" };
    const double year = std::floor(e.Epoch / 1000.0);
    const double day = e.Epoch - 1000.0 * year;
    if (day < 1.0 || day >= 367.0)
        return ElementFault { "Epoch",
            "day of year " + Number(day) + " is outside 1 to 366.99999999" };
    if (auto f = Within("Inclination", e.Inclination, 0.0, 180.0, " degrees"))
        return f;
    if (auto f = Within("RAAN", e.RAAN, 0.0, 360.0, " degrees"))
        return f;
    if (!std::isfinite(e.Eccentricity) || e.Eccentricity < 0.0 || e.Eccentricity >= 1.0)
        return ElementFault { "Eccentricity", Number(e.Eccentricity) + " is outside 0 to below 1" };
    if (auto f = Within("ArgPerigee", e.ArgPerigee, 0.0, 360.0, " degrees"))
        return f;
    if (auto f = Within("EpochMeanAnomaly", e.EpochMeanAnomaly, 0.0, 360.0, " degrees"))
        return f;
    if (auto f = Within("MeanMotion", e.MeanMotion, MinMeanMotion, MaxMeanMotion, " rev/day"))
        return f;
    if (auto f = Within("Decay", e.Decay, -MaxAbsDecay, MaxAbsDecay, " rev/day^2"))
        return f;
    if (auto f = Within("EpochRev", e.EpochRev, 0.0, MaxEpochRev, ""))
        return f;
    if (auto f = Within("BStar", e.BStar, -MaxAbsBStar, MaxAbsBStar, " per earth radius"))
        return f;
    return std::nullopt;
}

} // namespace aostrack
