#pragma once
// Pass prediction over the station: the next AOS/LOS in one-second steps, the
// 24-hour pass list in one-minute steps, and the per-second elevation track of
// a pass for the plot. "Now" is an argument, read once by the caller.
// The horizon is 0 deg; an elevation of exactly 0 counts neither as above nor
// as below. All functions throw OrbitError for an element set that cannot be
// propagated. Every search takes an OrbitModel already built for the set
// and station in the chosen theory (the tracker's, or one per set of a
// catalogue), so the per-set constants are worked out once.
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/Station.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace aostrack {

inline constexpr int PassSearchSteps = 50400; // 14 hours of one-second steps
inline constexpr int PassListSteps = 1440; // 24 hours of one-minute steps

// Result of the AOS/LOS search. AosTime: the first step (now + i s, i >= 1)
// with the elevation above 0; LosTime: the first later step with it below 0.
// Neither set: no rise within 14 hours. Only AosTime set: the pass does not
// end within 14 hours (keep the LosTime you had, or show no end).
struct NextPass {
    std::optional<std::chrono::sys_seconds> AosTime;
    std::optional<std::chrono::sys_seconds> LosTime;
    bool operator==(const NextPass&) const = default;
};
// Skips stretches whose sign the horizon bound makes certain; gives the
// result of computing every one of the 50400 steps.
NextPass FindNextPass(const OrbitModel& model, std::chrono::sys_seconds now);

// One pass of the 24-hour list, at one-minute resolution: AosTime is the first
// sampled minute above the horizon, LosTime the first sampled minute below.
struct ListedPass {
    std::chrono::sys_seconds AosTime;
    std::chrono::sys_seconds LosTime;
    double AosAzimuth = 0; // degrees, at the AOS step
    double LosAzimuth = 0; // degrees, at the LOS step
    double MaxElevation = 0; // degrees, highest sampled elevation of the pass
    bool operator==(const ListedPass&) const = default;
};

struct PassList {
    std::vector<ListedPass> Passes;
    std::vector<std::string> Lines; // one per pass, same order, UTF-8
    bool operator==(const PassList&) const = default;
};

// Steps m = 1..1440 minutes after now; lists the passes that end within them
// (skipping as FindNextPass does, with the same result as every minute).
PassList BuildPassList(const OrbitModel& model, std::chrono::sys_seconds now);

// The list line of a pass (UTC):
// "DD.MM.YYYY HH:MM (Az AAA°) -> HH:MM (Az AAA°) maxEl: EE°)", the date being
// that of the LOS; azimuths and elevation cut to their whole part.
std::string FormatPassLine(const ListedPass& pass);

// Elevations (degrees) at AosTime + s for s = 0..D, D = whole seconds from
// aosTime to losTime (at most PassTrackMaxSeconds); empty when losTime is
// before aosTime.
inline constexpr long long PassTrackMaxSeconds = 86400;
std::vector<double> PassTrack(
    const OrbitModel& model, std::chrono::sys_seconds aosTime, std::chrono::sys_seconds losTime);

// Look angles (degrees) at AosTime + s for s = 0..D, as PassTrack steps them:
// what a rotor must follow through the pass, azimuth 0..360 from north.
struct PassLook {
    double SatAzimuth = 0;
    double SatElevation = 0;
    bool operator==(const PassLook&) const = default;
};
std::vector<PassLook> PassLookTrack(
    const OrbitModel& model, std::chrono::sys_seconds aosTime, std::chrono::sys_seconds losTime);

} // namespace aostrack

namespace aostrack {

// Where the satellite stands against the horizon over a span of one-second or
// one-minute steps: a pass list or a search that found no pass to show may be
// one of a satellite that never sets (a geostationary one in view) or one that
// never rises, and the operator must be able to tell the two apart.
enum class HorizonSpan {
    Crosses, // above at some steps and not at others
    AlwaysAbove, // above 0 deg at every step
    NeverAbove, // above 0 deg at no step
};
// Elevations at now + i x step for i = 1..steps.
HorizonSpan ClassifyHorizon(
    const OrbitModel& model, std::chrono::sys_seconds now, std::chrono::seconds step, int steps);

} // namespace aostrack
