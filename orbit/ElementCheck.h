#pragma once
// The plausibility check every element set passes before the engine believes
// it, whatever format it came in (two-line files, OMM documents). A number
// outside its physical meaning (a mean motion of 1E+300 rev/day, an epoch
// year of 2147484) would otherwise give NaN look angles, heights below the
// earth's centre or hundreds of passes a day.
#include "orbit/ElementSet.h"

#include <optional>
#include <string>

namespace aostrack {

// Why an element set was refused: the field (named as in ElementSet, for
// example "MeanMotion") and the reason in words.
struct ElementFault {
    std::string Field;
    std::string Reason;
    bool operator==(const ElementFault&) const = default;
};

// Limits of the checked fields, wide enough for every object in orbit.
inline constexpr double MinMeanMotion = 0.01; // rev/day, beyond geostationary (1.0)
inline constexpr double MaxMeanMotion = 20.0; // rev/day, a grazing orbit makes about 17
inline constexpr double MaxAbsDecay = 1.0; // rev/day^2; real values stay below 0.1
inline constexpr double MaxEpochRev = 999999.0;
inline constexpr double MaxAbsBStar = 1.0; // per earth radius; real values stay below 0.1

// The first field of elements outside its meaning (fields in the order of
// ElementSet), or nothing when every field is plausible. NaN and infinities
// are always refused.
std::optional<ElementFault> CheckElementSet(const ElementSet& elements);

} // namespace aostrack
