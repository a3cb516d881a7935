#pragma once
// Passes of every satellite of a catalogue over the station within a window
// (24 hours unless told), for the "what comes up next" overview, and the sky
// track of one pass for the polar plot.
//
// AOS and LOS follow the countdown's horizon rules at whole seconds: steps
// start + i s for i = 1.., AOS the first step above 0 deg, LOS the first
// later step below 0 deg (exactly 0 counts neither). A pass counts when its
// AOS lies within the window; its LOS is looked for up to one more day past
// the window's end. MaxElevation is the highest elevation at any whole second
// from AOS up to the second before LOS, MaxElevationTime the first second
// that reaches it.
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/Station.h"

#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace aostrack {

inline constexpr std::chrono::seconds UpcomingWindow { 86400 };
// How far past the window's end the LOS of a pass that began in it is sought.
inline constexpr std::chrono::seconds UpcomingLosReach { 86400 };

struct UpcomingPass {
    int Satellite = 0; // index in the catalogue given, from 0
    std::chrono::sys_seconds AosTime;
    std::optional<std::chrono::sys_seconds> LosTime; // none: no LOS within the reach
    std::chrono::sys_seconds MaxElevationTime;
    double MaxElevation = 0; // degrees
    double AosAzimuth = 0; // degrees, at the AOS second
    double LosAzimuth = 0; // degrees, at the LOS second (0 without a LOS)
    // Up already at the window's first step: AosTime is that step, the real
    // rise lies before the window.
    bool InProgress = false;
    bool operator==(const UpcomingPass&) const = default;
};

enum class SkyPresence {
    Passes, // rises at least once (Passes holds them)
    AlwaysInView, // above the horizon at every step of the window
    NeverInView, // below the horizon at every step of the window
    Refused, // the element set cannot be propagated (Refusal says why)
};

struct SatellitePasses {
    SkyPresence Presence = SkyPresence::NeverInView;
    std::vector<UpcomingPass> Passes; // in time order
    std::string Refusal;
    bool operator==(const SatellitePasses&) const = default;
};

// One satellite: the one call a catalogue search makes per element set, on
// the chosen theory. Throws OrbitError for an element set the model cannot
// propagate.
SatellitePasses FindSatellitePasses(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds start, std::chrono::seconds window = UpcomingWindow,
    OrbitModelKind kind = OrbitModelKind::Plan13);
// The same on a model already built (either theory).
SatellitePasses FindSatellitePasses(const OrbitModel& model, std::chrono::sys_seconds start,
    std::chrono::seconds window = UpcomingWindow);
// Reference: every second computed, the maximum by trying every second.
SatellitePasses FindSatellitePassesPlain(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds start, std::chrono::seconds window = UpcomingWindow,
    OrbitModelKind kind = OrbitModelKind::Plan13);

// Every satellite of the catalogue, one result per element set in the same
// order (Satellite = its index). The catalogue is shared among `threads`
// threads (0: one per core); each result depends on its own element set
// alone, so the output is the same for any thread count. A set that cannot
// be propagated comes back Refused, the others are unaffected.
// `found`, when given, is called on the worker right after each satellite's
// search (with its index), so that work on its result is shared out too; it
// may take the passes away (the result keeps whatever it leaves), which
// spares a whole catalogue's passes being held to the end.
using SatelliteFound = std::function<void(std::size_t, SatellitePasses&)>;
std::vector<SatellitePasses> FindUpcomingPasses(std::span<const ElementSet> catalogue,
    const Station& station, std::chrono::sys_seconds start,
    std::chrono::seconds window = UpcomingWindow, unsigned threads = 0,
    OrbitModelKind kind = OrbitModelKind::Plan13, const SatelliteFound& found = {});

// All passes of all satellites sorted by AOS (then by catalogue index).
std::vector<UpcomingPass> SortedByAos(const std::vector<SatellitePasses>& found);

// Azimuth and elevation of the satellite at one second, degrees.
struct SkyPoint {
    std::chrono::sys_seconds Time;
    double Azimuth = 0;
    double Elevation = 0;
    bool operator==(const SkyPoint&) const = default;
};
// The path of a pass across the sky from aosTime to losTime, a point every
// stepSeconds and one at losTime; empty when losTime is before aosTime.
// At most PassTrackMaxSeconds / stepSeconds points.
std::vector<SkyPoint> SkyTrack(const ElementSet& elements, const Station& station,
    std::chrono::sys_seconds aosTime, std::chrono::sys_seconds losTime, int stepSeconds = 10,
    OrbitModelKind kind = OrbitModelKind::Plan13);

} // namespace aostrack
