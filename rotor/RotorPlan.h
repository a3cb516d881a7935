#pragma once
// How the rotor follows one pass. A pass that crosses north (azimuth 350 ->
// 10) would make a rotor with its stop at north turn a whole circle in the
// middle of the pass and lose the satellite meanwhile. Chosen once per pass
// from the whole pass track, before the rotor first moves for it:
//   overlap  the rotor turns past 360 (ROTOR_AZ_MAX up to 540): azimuths
//            continue on the side that keeps the whole pass in range;
//   flip     a rotor whose elevation runs to 180 looks the other way over
//            the zenith: az + 180 and 180 - el for the whole pass;
//   normal   the satellite's own azimuth and elevation, as without a plan.
// Plain arithmetic: no Qt, no clock.
#include "passes/Passes.h"

#include <vector>

namespace aostrack {

enum class RotorPlanKind { Normal, Overlap, Flip };

// What the rotor can reach (degrees): azimuth 0..AzMaxDeg, elevation
// 0..ElMaxDeg.
struct RotorLimits {
    double AzMaxDeg = 360; // ROTOR_AZ_MAX, 360..540
    double ElMaxDeg = 90; // ROTOR_EL_MAX, 90 or 180
    bool operator==(const RotorLimits&) const = default;
};

// Where the rotor is sent (degrees in the rotor's own frame): azimuth may
// exceed 360 (overlap), elevation 90 (flip). Elevations below 0 stay below 0
// under the normal and overlap plans (the command then waits at the horizon).
struct RotorAim {
    double Azimuth = 0;
    double Elevation = 0;
    bool operator==(const RotorAim&) const = default;
};

struct RotorPlan {
    RotorPlanKind Kind = RotorPlanKind::Normal;
    bool CrossesNorth = false; // the pass goes through azimuth 0/360
    // Overlap and flip: an azimuth is taken as the turn of it nearest this
    // centre of the pass (rotor frame), then held within 0..AzMaxDeg.
    double CentreAz = 180;
    double AzMaxDeg = 360;
    double FromAz = 0; // rotor azimuth at AOS under the plan
    double ToAz = 0; // and at LOS

    // The rotor's aim for the satellite at (satAzimuth, satElevation).
    // Normal: unchanged, so that the bytes sent are exactly as without plans.
    RotorAim Aim(double satAzimuth, double satElevation) const;
    bool operator==(const RotorPlan&) const = default;
};

// The plan for a pass from its look angles (one per second, AOS to LOS):
// normal when the pass keeps off north, else overlap when the rotor reaches
// far enough past 360, else flip when its elevation runs to 180, else normal.
// An empty track gives the normal plan.
RotorPlan ChooseRotorPlan(const std::vector<PassLook>& track, const RotorLimits& limits);

// "overlap", "flip" or "normal".
const char* RotorPlanName(RotorPlanKind kind);

// Whether a position the rotor reports (degrees) is one it can be at:
// azimuth from -180 (hamlib rotors that count -180..180) to AzMaxDeg,
// elevation 0..ElMaxDeg, each with kRotorReadbackSlackDeg to spare for a
// rotor that coasts past its stop. NaN and infinities are out of reach.
inline constexpr double kRotorReadbackSlackDeg = 5;
bool WithinReach(double azimuth, double elevation, const RotorLimits& limits);

} // namespace aostrack
