#pragma once
// The pass searches from an element set and station (Plan13 unless told), for
// tests and benchmarks that ask about one set once: each builds the
// OrbitModel the production callers hold and asks it.
#include "passes/Passes.h"

#include <chrono>
#include <vector>

namespace aostrack {

inline NextPass FindNextPass(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds now, OrbitModelKind kind = OrbitModelKind::Plan13)
{
    return FindNextPass(OrbitModel(elements, station, kind), now);
}

inline PassList BuildPassList(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds now, OrbitModelKind kind = OrbitModelKind::Plan13)
{
    return BuildPassList(OrbitModel(elements, station, kind), now);
}

// Empty (without building the model) when losTime is before aosTime.
inline std::vector<double> PassTrack(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds aosTime, std::chrono::sys_seconds losTime,
    OrbitModelKind kind = OrbitModelKind::Plan13)
{
    if (losTime < aosTime)
        return {};
    return PassTrack(OrbitModel(elements, station, kind), aosTime, losTime);
}

inline std::vector<PassLook> PassLookTrack(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds aosTime, std::chrono::sys_seconds losTime,
    OrbitModelKind kind = OrbitModelKind::Plan13)
{
    if (losTime < aosTime)
        return {};
    return PassLookTrack(OrbitModel(elements, station, kind), aosTime, losTime);
}

} // namespace aostrack
