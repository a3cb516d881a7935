#include "rotor/RotorPlan.h"

#include <algorithm>
#include <cmath>

namespace aostrack {

namespace {

// The step from one azimuth to the next the short way round, -180..180: a
// satellite never moves half a circle in azimuth within one second except
// straight through the zenith, where either way is as good.
double ShortStep(double from, double to)
{
    double step = std::fmod(to - from, 360.0);
    if (step > 180)
        step -= 360;
    else if (step < -180)
        step += 360;
    return step;
}

// The pass's azimuths as one continuous run (no jump at north), starting at
// the first azimuth plus offset (180 for the flipped view).
struct Run {
    double first = 0;
    double last = 0;
    double low = 0;
    double high = 0;
};

Run Unwrapped(const std::vector<PassLook>& track, double offset)
{
    Run run;
    double az = track.front().SatAzimuth + offset;
    run.first = run.low = run.high = az;
    for (std::size_t i = 1; i < track.size(); ++i) {
        az += ShortStep(track[i - 1].SatAzimuth, track[i].SatAzimuth);
        run.low = std::min(run.low, az);
        run.high = std::max(run.high, az);
    }
    run.last = az;
    return run;
}

// The whole turns to add so that the run lies within 0..azMax, the smallest
// that lifts it above 0; false when no such shift exists.
bool FitTurns(const Run& run, double azMax, double* shift)
{
    const double turns = std::ceil(-run.low / 360.0);
    const double s = turns * 360.0;
    if (run.high + s > azMax)
        return false;
    *shift = s;
    return true;
}

RotorPlan Planned(RotorPlanKind kind, const Run& run, double shift, double azMax)
{
    RotorPlan plan;
    plan.Kind = kind;
    plan.CrossesNorth = true;
    plan.CentreAz = (run.low + run.high) / 2 + shift;
    plan.AzMaxDeg = azMax;
    plan.FromAz = run.first + shift;
    plan.ToAz = run.last + shift;
    return plan;
}

} // namespace

RotorAim RotorPlan::Aim(double satAzimuth, double satElevation) const
{
    if (Kind == RotorPlanKind::Normal)
        return { satAzimuth, satElevation };
    double az = Kind == RotorPlanKind::Flip ? satAzimuth + 180 : satAzimuth;
    az += 360 * std::round((CentreAz - az) / 360);
    az = std::clamp(az, 0.0, AzMaxDeg);
    if (Kind == RotorPlanKind::Flip)
        return { az, 180 - std::max(satElevation, 0.0) };
    return { az, satElevation };
}

RotorPlan ChooseRotorPlan(const std::vector<PassLook>& track, const RotorLimits& limits)
{
    RotorPlan plan;
    if (track.empty())
        return plan;
    const Run run = Unwrapped(track, 0);
    double shift = 0;
    plan.FromAz = track.front().SatAzimuth;
    plan.ToAz = track.back().SatAzimuth;
    // A run that fits 0..360 as it stands keeps off north.
    if (FitTurns(run, 360, &shift))
        return plan;
    plan.CrossesNorth = true;
    if (FitTurns(run, limits.AzMaxDeg, &shift))
        return Planned(RotorPlanKind::Overlap, run, shift, limits.AzMaxDeg);
    if (limits.ElMaxDeg >= 180) {
        // Seen from behind, a pass through north goes through south.
        const Run flipped = Unwrapped(track, 180);
        if (FitTurns(flipped, limits.AzMaxDeg, &shift))
            return Planned(RotorPlanKind::Flip, flipped, shift, limits.AzMaxDeg);
    }
    return plan;
}

const char* RotorPlanName(RotorPlanKind kind)
{
    switch (kind) {
    case RotorPlanKind::Overlap:
        return "overlap";
    case RotorPlanKind::Flip:
        return "flip";
    case RotorPlanKind::Normal:
        break;
    }
    return "normal";
}

bool WithinReach(double azimuth, double elevation, const RotorLimits& limits)
{
    // Written so that NaN fails every comparison and is out of reach.
    return azimuth >= -180 - kRotorReadbackSlackDeg
        && azimuth <= limits.AzMaxDeg + kRotorReadbackSlackDeg
        && elevation >= -kRotorReadbackSlackDeg
        && elevation <= limits.ElMaxDeg + kRotorReadbackSlackDeg;
}

} // namespace aostrack
