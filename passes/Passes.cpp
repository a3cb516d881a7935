#include "passes/Passes.h"

#include "orbit/Engine.h"
#include "orbit/TimeAngle.h"
#include "passes/HorizonSkipper.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace aostrack {

using namespace std::chrono;

namespace {

NextPass SearchNextPass(const OrbitModel& model, sys_seconds now)
{
    const HorizonSkipper skipper(model, now, PassSearchSteps / 86400.0 + 1.0);
    NextPass result;
    bool passBegun = false;
    for (long long i = 1; i <= PassSearchSteps; ++i) {
        const sys_seconds t = now + seconds { i };
        const OrbitModel::Horizon h = model.Look(t);
        if (h.SatElevation > 0 && !passBegun) {
            passBegun = true;
            result.AosTime = t;
        }
        if (h.SatElevation < 0 && passBegun) {
            result.LosTime = t;
            break;
        }
        // Skip only samples whose sign is certain and would not change the
        // outcome: below the horizon before AOS, above it during the pass.
        if ((!passBegun && h.SatElevation < 0 && h.AboveHorizonKm < 0)
            || (passBegun && h.SatElevation > 0 && h.AboveHorizonKm > 0))
            i += skipper.SameSignSamples(h.AboveHorizonKm, 1.0);
    }
    return result;
}

std::string TwoDigits(long long v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%02lld", v);
    return buf;
}

std::string ThreeDigits(long long v)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%03lld", v);
    return buf;
}

std::string HourMinute(sys_seconds t)
{
    const sys_days day = floor<days>(t);
    const hh_mm_ss<seconds> hms { t - day };
    return TwoDigits(hms.hours().count()) + ":" + TwoDigits(hms.minutes().count());
}

PassList ListPasses(const OrbitModel& model, sys_seconds now)
{
    const HorizonSkipper skipper(model, now, PassListSteps / 1440.0 + 1.0);
    PassList list;
    bool inPass = false;
    ListedPass current;
    double maxElevation = 0;
    // Minutes of the current pass that were skipped as certainly above the
    // horizon; their elevations count for the maximum only if the pass ends.
    std::vector<std::pair<long long, long long>> skippedInPass;

    for (long long m = 1; m <= PassListSteps; ++m) {
        const sys_seconds t = now + minutes { m };
        const OrbitModel::Horizon h = model.Look(t);
        const double el = h.SatElevation;
        if (el > 0 && !inPass) {
            inPass = true;
            current = ListedPass {};
            current.AosTime = t;
            current.AosAzimuth = h.SatAzimuth;
        }
        if (el > maxElevation)
            maxElevation = el;
        if (el < 0 && inPass) {
            inPass = false;
            for (const auto& [first, last] : skippedInPass)
                for (long long k = first; k <= last; ++k) {
                    const double e = model.Look(now + minutes { k }).SatElevation;
                    if (e > maxElevation)
                        maxElevation = e;
                }
            skippedInPass.clear();
            current.LosTime = t;
            current.LosAzimuth = h.SatAzimuth;
            current.MaxElevation = maxElevation;
            list.Passes.push_back(current);
            list.Lines.push_back(FormatPassLine(current));
            maxElevation = 0;
        }
        if (!inPass && el < 0 && h.AboveHorizonKm < 0) {
            m += skipper.SameSignSamples(h.AboveHorizonKm, 60.0);
        } else if (inPass && el > 0 && h.AboveHorizonKm > 0) {
            const long long k = std::min<long long>(
                skipper.SameSignSamples(h.AboveHorizonKm, 60.0), PassListSteps - m);
            if (k > 0) {
                skippedInPass.emplace_back(m + 1, m + k);
                m += k;
            }
        }
    }
    return list;
}

} // namespace

NextPass FindNextPass(const OrbitModel& model, sys_seconds now)
{
    return SearchNextPass(model, now);
}

PassList BuildPassList(const OrbitModel& model, sys_seconds now)
{
    return ListPasses(model, now);
}

std::string FormatPassLine(const ListedPass& pass)
{
    const year_month_day date { floor<days>(pass.LosTime) };
    // Azimuths and the maximum are cut to their whole part (rounded down).
    auto whole = [](double v) { return static_cast<long long>(std::floor(v)); };
    return TwoDigits(static_cast<unsigned>(date.day())) + "."
        + TwoDigits(static_cast<unsigned>(date.month())) + "."
        + std::to_string(static_cast<int>(date.year())) + " " + HourMinute(pass.AosTime) + " (Az "
        + ThreeDigits(whole(pass.AosAzimuth)) + "\u00B0) -> " + HourMinute(pass.LosTime) + " (Az "
        + ThreeDigits(whole(pass.LosAzimuth))
        + "\u00B0) maxEl: " + TwoDigits(whole(pass.MaxElevation)) + "\u00B0)";
}

std::vector<double> PassTrack(const OrbitModel& model, sys_seconds aosTime, sys_seconds losTime)
{
    std::vector<double> track;
    if (losTime < aosTime)
        return track;
    const long long d = std::min<long long>((losTime - aosTime).count(), PassTrackMaxSeconds);
    track.reserve(static_cast<std::size_t>(d + 1));
    for (long long s = 0; s <= d; ++s)
        track.push_back(model.Look(aosTime + seconds { s }).SatElevation);
    return track;
}

std::vector<PassLook> PassLookTrack(
    const OrbitModel& model, sys_seconds aosTime, sys_seconds losTime)
{
    std::vector<PassLook> track;
    if (losTime < aosTime)
        return track;
    const long long d = std::min<long long>((losTime - aosTime).count(), PassTrackMaxSeconds);
    track.reserve(static_cast<std::size_t>(d + 1));
    for (long long s = 0; s <= d; ++s) {
        const OrbitModel::Horizon look = model.Look(aosTime + seconds { s });
        track.push_back(PassLook { look.SatAzimuth, look.SatElevation });
    }
    return track;
}

} // namespace aostrack

namespace aostrack {

HorizonSpan ClassifyHorizon(const OrbitModel& model, sys_seconds now, seconds step, int steps)
{
    bool anyAbove = false;
    bool anyNotAbove = false;
    for (int i = 1; i <= steps && !(anyAbove && anyNotAbove); ++i) {
        if (model.Look(now + step * i).SatElevation > 0)
            anyAbove = true;
        else
            anyNotAbove = true;
    }
    if (anyAbove && !anyNotAbove)
        return HorizonSpan::AlwaysAbove;
    if (!anyAbove)
        return HorizonSpan::NeverAbove;
    return HorizonSpan::Crosses;
}

} // namespace aostrack
