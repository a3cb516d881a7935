#pragma once
// Reference pass searches that compute every step, with no skipping: the
// searches in passes/ must give exactly these results, only faster.
#include "passes/Passes.h"

#include <chrono>

namespace aostrack {

// Every one of the PassSearchSteps one-second steps.
inline NextPass FindNextPassPlain(const OrbitModel& model, std::chrono::sys_seconds now)
{
    NextPass result;
    for (long long i = 1; i <= PassSearchSteps; ++i) {
        const std::chrono::sys_seconds t = now + std::chrono::seconds { i };
        const double el = model.Look(t).SatElevation;
        if (el > 0 && !result.AosTime)
            result.AosTime = t;
        if (el < 0 && result.AosTime) {
            result.LosTime = t;
            break;
        }
    }
    return result;
}

// Every one of the PassListSteps minutes.
inline PassList BuildPassListPlain(const OrbitModel& model, std::chrono::sys_seconds now)
{
    PassList list;
    bool inPass = false;
    ListedPass current;
    double maxElevation = 0;
    for (long long m = 1; m <= PassListSteps; ++m) {
        const std::chrono::sys_seconds t = now + std::chrono::minutes { m };
        const OrbitModel::Horizon h = model.Look(t);
        if (h.SatElevation > 0 && !inPass) {
            inPass = true;
            current = ListedPass {};
            current.AosTime = t;
            current.AosAzimuth = h.SatAzimuth;
        }
        if (h.SatElevation > maxElevation)
            maxElevation = h.SatElevation;
        if (h.SatElevation < 0 && inPass) {
            inPass = false;
            current.LosTime = t;
            current.LosAzimuth = h.SatAzimuth;
            current.MaxElevation = maxElevation;
            list.Passes.push_back(current);
            list.Lines.push_back(FormatPassLine(current));
            maxElevation = 0;
        }
    }
    return list;
}

inline NextPass FindNextPassPlain(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds now, OrbitModelKind kind = OrbitModelKind::Plan13)
{
    return FindNextPassPlain(OrbitModel(elements, station, kind), now);
}

inline PassList BuildPassListPlain(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds now, OrbitModelKind kind = OrbitModelKind::Plan13)
{
    return BuildPassListPlain(OrbitModel(elements, station, kind), now);
}

} // namespace aostrack
