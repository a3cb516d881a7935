#include "passes/UpcomingPasses.h"

#include "orbit/Engine.h"
#include "orbit/TimeAngle.h"
#include "passes/HorizonSkipper.h"
#include "passes/Passes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace aostrack {

using namespace std::chrono;

namespace {

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ZeroUpperAvx()
{
    _mm256_zeroupper();
}
#endif

// The search is plain SSE code (the maths library's own routines are AVX).
// Some library code run earlier in the process (seen in the command-line
// tool, not in the benchmark) leaves the upper halves of the AVX registers
// in use; on recent Intel cores every SSE instruction then waits on a merge
// with them, and the search ran five times slower for it. Threads inherit
// that state from their parent, so each worker clears it before it starts.
void ClearUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx"))
        ZeroUpperAvx();
#endif
}

// The highest elevation over the whole seconds first..last (offsets from
// start) and the first second reaching it.
struct Peak {
    long long Step = 0;
    double Elevation = 0;
};

// Look's elevation without the azimuth (the same value, see HeightAt).
OrbitModel::Height HeightOf(const OrbitModel& model, sys_seconds t)
{
    return model.HeightAt(model.EarthFixedPosition(t));
}

double ElevationOf(const OrbitModel& model, sys_seconds t)
{
    return ArcSinDeg(HeightOf(model, t).SinElevation);
}

Peak PeakByEverySecond(const OrbitModel& model, sys_seconds start, long long first, long long last)
{
    Peak best { first, model.Look(start + seconds { first }).SatElevation };
    for (long long i = first + 1; i <= last; ++i) {
        const double el = model.Look(start + seconds { i }).SatElevation;
        if (el > best.Elevation)
            best = { i, el };
    }
    return best;
}

// The same peak from far fewer computations. The pass is sampled at most
// PeakCoarseStep seconds apart (the search's own samples within the pass);
// the true peak lies within one gap of a sample that is at least as high as
// its neighbours (of the two samples around the peak, the higher one is such
// a sample, the elevation falling away from the peak within two gaps), and around each such
// sample the top second is found by climbing from a guess (PeakFromGuess),
// or by ternary search where the guess is far off. Why that finds the peak: over two coarse steps
// the satellite's path relative to the station is nearly a straight line (it bends by a few tens of
// km against a range of hundreds or thousands), and a straight line seen from a point runs along
// one great circle of the sky, on which the elevation has a single maximum. So the elevation within
// such a bracket rises to one top and falls, which the climb and the ternary search need; a second
// top would need the path to turn back within two minutes. The equality test against every-second
// stepping on real files holds this to account.
constexpr long long PeakCoarseStep = 60;

// Higher orbits keep the same straightness over longer steps: the step is
// lengthened (to ten minutes at most) while the path bends over two steps by
// no more than a low orbit's does over two minutes at its least range
// (about 20 km against 400, a twentieth).
long long CoarseStepFor(const HorizonSkipper& skipper)
{
    constexpr long long longest = 600;
    long long step = PeakCoarseStep;
    while (step < longest && skipper.BendKm(2.0 * (step + 60)) <= skipper.LeastRangeKm() / 20.0)
        step += 60;
    return step;
}

// A pass that keeps far from the station bends as little against its range
// over longer steps: on the same terms (bend over two steps at most a
// twentieth of the least range), the least range over the two steps ahead
// is bounded by the station's distance from the orbit plane, renewed every
// few minutes of the pass and lowered by how fast it can fall since. A
// pass low in the sky is then sampled every minute and a half or two
// instead of every minute.
class PassStepper {
public:
    PassStepper(const HorizonSkipper& skipper, long long orbitStep)
        : m_skipper(skipper)
        , m_orbitStep(orbitStep)
        , m_bendPerSec2(skipper.BendKm(1.0))
        , m_fallKmPerSec(skipper.OffPlaneFallKmPerSec())
    {
    }

    void Restart() { m_renewedAt = -1; }

    long long StepAt(const OrbitModel& model, sys_seconds start, long long step)
    {
        constexpr long long longest = 600, grain = 10, renewal = 240;
        if (!std::isfinite(m_bendPerSec2) || !(m_bendPerSec2 > 0))
            return m_orbitStep;
        if (m_renewedAt < 0 || step - m_renewedAt > renewal) {
            m_offPlaneKm = m_skipper.OffPlaneKm(model, start + seconds { step });
            m_renewedAt = step;
        }
        // The longest s with bend(2 s) = 4 b s^2 <= (D - f (elapsed + 2 s)) / 20.
        const double b = m_bendPerSec2, f = m_fallKmPerSec;
        const double d = m_offPlaneKm - f * static_cast<double>(step - m_renewedAt);
        if (!(d > 0))
            return m_orbitStep;
        const double s = (-2.0 * f + std::sqrt(4.0 * f * f + 320.0 * b * d)) / (160.0 * b);
        const auto longer = static_cast<long long>(std::floor(std::min(s, 600.0) / grain)) * grain;
        return std::clamp(longer, m_orbitStep, std::max(m_orbitStep, longest));
    }

private:
    const HorizonSkipper& m_skipper;
    long long m_orbitStep;
    double m_bendPerSec2;
    double m_fallKmPerSec;
    long long m_renewedAt = -1;
    double m_offPlaneKm = 0;
};

Peak PeakByThirds(const OrbitModel& model, sys_seconds start, long long lo, long long hi)
{
    auto el = [&](long long i) { return ElevationOf(model, start + seconds { i }); };
    while (hi - lo > 3) {
        const long long m1 = lo + (hi - lo) / 3;
        const long long m2 = hi - (hi - lo) / 3;
        if (el(m1) < el(m2))
            lo = m1 + 1;
        else
            hi = m2;
    }
    Peak best { lo, el(lo) };
    for (long long i = lo + 1; i <= hi; ++i) {
        const double e = el(i);
        if (e > best.Elevation)
            best = { i, e };
    }
    return best;
}

// A whole second to start the climb from, and on which side of it the
// vertex it was rounded from lies.
struct TopGuess {
    long long Step = 0;
    bool Later = false;
};

// The top of the bracket lo..hi (one top, see above), starting from a guess:
// the vertex of the parabola through the three coarse samples, which near a
// culmination is mostly within a second or two of the top. From the guess
// the search climbs second by second while the elevation rises (to the left
// also while it stays equal, so that the first second reaching the top is
// the one found); a second that no neighbour beats is the top of a bracket
// with one top. The neighbour on the vertex's side is tried first: a guess
// one second off is mostly off toward it, and the climb then starts without
// the other neighbour. A guess that is far off hands the rest of the climb
// to the ternary search on the part of the bracket still in question.
// The neighbour of `at` that is higher (earlier: at least as high, so that
// the first second reaching the top is found), as the direction to climb
// in, or direction 0 when neither is: the neighbour on the `laterFirst` side
// is tried first.
struct FirstStep {
    int Direction = 0;
    Peak Next;
};
template <typename Elevation>
FirstStep StepFrom(const Elevation& el, const Peak& at, long long lo, long long hi, bool laterFirst)
{
    FirstStep step { 0, at };
    const auto tryEarlier = [&] {
        if (step.Direction == 0 && at.Step > lo) {
            step.Next = { at.Step - 1, el(at.Step - 1) };
            if (step.Next.Elevation >= at.Elevation)
                step.Direction = -1;
        }
    };
    const auto tryLater = [&] {
        if (step.Direction == 0 && at.Step < hi) {
            step.Next = { at.Step + 1, el(at.Step + 1) };
            if (step.Next.Elevation > at.Elevation)
                step.Direction = 1;
        }
    };
    if (laterFirst) {
        tryLater();
        tryEarlier();
    } else {
        tryEarlier();
        tryLater();
    }
    return step;
}

Peak PeakFromGuess(
    const OrbitModel& model, sys_seconds start, long long lo, long long hi, TopGuess guess)
{
    auto el = [&](long long i) { return ElevationOf(model, start + seconds { i }); };
    constexpr int climbLimit = 4, guessLimit = 3;
    Peak next;
    int direction = 0;
    for (int round = 0; round < guessLimit; ++round) {
        Peak at { guess.Step, el(guess.Step) };
        const FirstStep first = StepFrom(el, at, lo, hi, guess.Later);
        direction = first.Direction;
        next = first.Next;
        if (direction == 0)
            return at;
        const Peak from = at;
        const double firstRise = next.Elevation - at.Elevation;
        for (int k = 0; k < climbLimit; ++k) {
            at = next;
            if (at.Step == (direction < 0 ? lo : hi))
                return at;
            next = { at.Step + direction, el(at.Step + direction) };
            const bool higher
                = direction < 0 ? next.Elevation >= at.Elevation : next.Elevation > at.Elevation;
            if (!higher)
                return at;
        }
        // Still rising: the rise per second fell from firstRise to lastRise
        // over the climb; where it would reach zero at that pace is the next
        // guess (the elevation's curvature changes little over seconds).
        const double lastRise = next.Elevation - at.Elevation;
        const auto climbed = static_cast<double>((at.Step - from.Step) * direction);
        if (!(lastRise > 0 && firstRise > lastRise))
            break;
        const double ahead = climbed * lastRise / (firstRise - lastRise);
        const double top = static_cast<double>(at.Step) + 0.5 * direction + ahead * direction;
        const long long step = std::clamp(static_cast<long long>(std::llround(top)), lo, hi);
        guess = { step, top > static_cast<double>(step) };
    }
    return direction < 0 ? PeakByThirds(model, start, lo, next.Step)
                         : PeakByThirds(model, start, next.Step, hi);
}

// The vertex of the parabola through (x0, y0), (x1, y1), (x2, y2) with y1 at
// least as high as the others, rounded to a whole step within x0..x2.
TopGuess ParabolaTop(long long x0, double y0, long long x1, double y1, long long x2, double y2)
{
    const double a = static_cast<double>(x1 - x0), b = static_cast<double>(x2 - x1);
    const double l = y1 - y0, r = y1 - y2;
    const double den = a * r + b * l;
    if (!(den > 0))
        return { x1, false };
    const double top = static_cast<double>(x1) - 0.5 * (a * a * r - b * b * l) / den;
    const long long step = std::clamp(static_cast<long long>(std::llround(top)), x0, x2);
    return { step, top > static_cast<double>(step) };
}

// The pass's samples: steps in time order from its first to its last
// second, at most PeakCoarseStep apart, with the sines of their elevations
// and the heights and ranges those came from. The angle itself is worked out
// only around the tops: the sines rank the samples as the angles do, except
// where two sines lie so close that their angles might round alike, and
// there the angles decide.
struct PassSamples {
    std::vector<long long> Steps;
    std::vector<OrbitModel::Height> Heights;
    void Add(long long step, const OrbitModel::Height& height)
    {
        Steps.push_back(step);
        Heights.push_back(height);
    }
    void Clear()
    {
        Steps.clear();
        Heights.clear();
    }
    double Sine(std::size_t k) const { return Heights[k].SinElevation; }
    double Elevation(std::size_t k) const { return ArcSinDeg(Sine(k)); }
    bool AtLeastAsHigh(std::size_t k, std::size_t j) const
    {
        if (std::fabs(Sine(k) - Sine(j)) > 1e-12)
            return Sine(k) > Sine(j);
        return Elevation(k) >= Elevation(j);
    }
};

// A closer guess of the top from the same three samples. Near a high
// culmination the elevation is sharply peaked and no parabola, but the
// height above the horizon plane and the square of the range are smooth and
// close to parabolas over two coarse steps (the path bends little). With
// both fitted, the sine h / sqrt(q) is highest where 2 h' q = h q'; Newton
// on that cubic from the elevation parabola's vertex. Without convergence
// inside the bracket, the vertex stays the guess.
TopGuess CulminationGuess(const PassSamples& samples, std::size_t k, TopGuess vertex)
{
    const long long t1 = samples.Steps[k];
    const double a = static_cast<double>(t1 - samples.Steps[k - 1]);
    const double b = static_cast<double>(samples.Steps[k + 1] - t1);
    struct Parabola {
        double A = 0, B = 0, C = 0; // A x^2 + B x + C, x from the middle sample
    };
    const auto fit = [&](double y0, double y1, double y2) {
        const double sq = (b * (y0 - y1) + a * (y2 - y1)) / (a * b * (a + b));
        return Parabola { sq, sq * a - (y0 - y1) / a, y1 };
    };
    const auto height = [&](std::size_t j) { return samples.Heights[j].AboveHorizonKm; };
    const auto rangeSq
        = [&](std::size_t j) { return samples.Heights[j].RangeKm * samples.Heights[j].RangeKm; };
    const Parabola h = fit(height(k - 1), height(k), height(k + 1));
    const Parabola q = fit(rangeSq(k - 1), rangeSq(k), rangeSq(k + 1));
    double x = static_cast<double>(vertex.Step - t1);
    for (int round = 0; round < 6; ++round) {
        const double hx = (h.A * x + h.B) * x + h.C, dh = 2 * h.A * x + h.B;
        const double qx = (q.A * x + q.B) * x + q.C, dq = 2 * q.A * x + q.B;
        const double g = 2 * dh * qx - hx * dq;
        const double dg = 4 * h.A * qx + dh * dq - 2 * q.A * hx;
        const double next = x - g / dg;
        if (!(next >= -a && next <= b))
            return vertex;
        const bool settled = std::fabs(next - x) < 0.01;
        x = next;
        if (settled) {
            const double top = static_cast<double>(t1) + x;
            const auto step = static_cast<long long>(std::llround(top));
            return { step, top > static_cast<double>(step) };
        }
    }
    return vertex;
}

// A pass that is up at the start is stepped without the coarse-step cap:
// a geostationary satellite stays up the whole window, and then neither its
// peak nor its LOS is wanted. Should such a pass end within the window after
// all, its samples are filled in to the coarse step before the peak search.
void FillGaps(
    const OrbitModel& model, sys_seconds start, long long coarseStep, PassSamples& samples)
{
    PassSamples filled;
    for (std::size_t k = 0; k < samples.Steps.size(); ++k) {
        if (k > 0)
            for (long long s = samples.Steps[k - 1] + coarseStep; s < samples.Steps[k];
                 s += coarseStep)
                filled.Add(s, HeightOf(model, start + seconds { s }));
        filled.Add(samples.Steps[k], samples.Heights[k]);
    }
    samples = std::move(filled);
}

Peak PeakFast(const OrbitModel& model, sys_seconds start, const PassSamples& samples)
{
    const std::vector<long long>& steps = samples.Steps;
    const long long first = steps.front();
    Peak best { first, -1000 };
    const std::size_t n = steps.size();
    for (std::size_t k = 0; k < n; ++k) {
        const bool topLeft = k == 0 || samples.AtLeastAsHigh(k, k - 1);
        const bool topRight = k + 1 == n || samples.AtLeastAsHigh(k, k + 1);
        if (!topLeft || !topRight)
            continue;
        const long long lo = k == 0 ? steps[0] : steps[k - 1];
        const long long hi = k + 1 == n ? steps[n - 1] : steps[k + 1];
        const TopGuess guess = k == 0 || k + 1 == n
            ? TopGuess { steps[k], false }
            : CulminationGuess(samples, k,
                ParabolaTop(steps[k - 1], samples.Elevation(k - 1), steps[k], samples.Elevation(k),
                    steps[k + 1], samples.Elevation(k + 1)));
        const Peak p = PeakFromGuess(model, start, lo, hi, guess);
        if (p.Elevation > best.Elevation || (p.Elevation == best.Elevation && p.Step < best.Step))
            best = p;
    }
    return best;
}

// How much of the guessed clear span the look-ahead takes: the guess knows
// neither the path's bend nor its margins, and a look that fails is wasted
// (0.9 measured best on a 30,000-set catalogue).
constexpr double AheadShare = 0.9;

// One satellite's search over the window, second by second in principle:
// the fast search skips the samples whose sign is certain (HorizonSkipper
// says why that is safe), the plain one computes every one.
class PassSearch {
public:
    PassSearch(const OrbitModel& model, sys_seconds start, seconds window, bool fast)
        : m_model(model)
        , m_start(start)
        , m_fast(fast)
        , m_windowSteps(std::max<long long>(window.count(), 1))
        , m_lastStep(m_windowSteps + UpcomingLosReach.count())
        , m_skipper(model, start, m_lastStep / 86400.0 + 1.0)
        , m_coarseStep(CoarseStepFor(m_skipper))
        , m_stepper(m_skipper, m_coarseStep)
    {
    }

    SatellitePasses Run();

private:
    // The fast search steps on the sine of the elevation alone (same sign)
    // and works out the azimuth only at AOS and LOS; the plain one looks.
    // Well below the horizon plane (a metre is some twelve orders above the
    // rounding of the height) only the sign of the elevation is wanted, and
    // the fast search takes it from the height without working out the
    // range.
    struct Sample {
        double SatElevation = 0; // the sine of it in the fast search; -1 well below
        double AboveHorizonKm = 0;
        double SatAzimuth = 0; // plain search only
        std::array<double, 3> Position {}; // fast search only
        double RangeKm = 0; // fast search, at or above the horizon plane
    };
    Sample SampleAt(long long step) const;
    double AzimuthOf(const Sample& x) const
    {
        return m_fast ? m_model.LookAt(x.Position).SatAzimuth : x.SatAzimuth;
    }
    void Rise(long long step, const Sample& x);
    void Set(long long step, const Sample& x);
    void Finish(long long endStep);
    bool LookAhead(long long step, double heightKm, long long span, bool above);
    long long SkipBelow(long long step, const Sample& x, double slopeKmPerSec, long long skip);
    long long SkipAbove(long long step, const Sample& x, double slopeKmPerSec, long long skip);
    SatellitePasses Result();

    const OrbitModel& m_model;
    const sys_seconds m_start;
    const bool m_fast;
    const long long m_windowSteps, m_lastStep;
    const HorizonSkipper m_skipper;
    const long long m_coarseStep;
    PassStepper m_stepper;

    SatellitePasses m_result;
    bool m_inPass = false;
    UpcomingPass m_current;
    long long m_aosStep = 0;
    // The fast search keeps the samples of the pass no more than a coarse
    // step apart, so they serve the peak search as they are.
    PassSamples m_samples;
    long long m_coneAskedAgain = 0, m_planeAskedAgain = 0; // see HorizonSkipper::Skip
    long long m_aheadStep = 0; // a sample taken ahead of the stepping
    Sample m_ahead;
};

PassSearch::Sample PassSearch::SampleAt(long long step) const
{
    const sys_seconds t = m_start + seconds { step };
    Sample x;
    if (m_fast) {
        x.Position = m_model.EarthFixedPosition(t);
        x.AboveHorizonKm = m_model.AboveHorizonKmAt(x.Position);
        x.SatElevation = -1.0;
        if (x.AboveHorizonKm >= -1e-3) {
            const OrbitModel::Height height = m_model.HeightAt(x.Position);
            x.SatElevation = height.SinElevation;
            x.RangeKm = height.RangeKm;
        }
    } else {
        const OrbitModel::Horizon h = m_model.Look(t);
        x.SatElevation = h.SatElevation;
        x.AboveHorizonKm = h.AboveHorizonKm;
        x.SatAzimuth = h.SatAzimuth;
    }
    return x;
}

void PassSearch::Rise(long long step, const Sample& x)
{
    m_inPass = true;
    m_aosStep = step;
    m_stepper.Restart();
    m_samples.Clear();
    m_current = UpcomingPass {};
    m_current.AosTime = m_start + seconds { step };
    m_current.AosAzimuth = AzimuthOf(x);
    m_current.InProgress = step == 1;
}

void PassSearch::Set(long long step, const Sample& x)
{
    m_inPass = false;
    m_current.LosTime = m_start + seconds { step };
    m_current.LosAzimuth = AzimuthOf(x);
    Finish(step - 1);
}

void PassSearch::Finish(long long endStep)
{
    if (m_fast && m_current.InProgress)
        FillGaps(m_model, m_start, m_coarseStep, m_samples);
    if (m_fast && m_samples.Steps.back() != endStep)
        m_samples.Add(endStep, HeightOf(m_model, m_start + seconds { endStep }));
    const Peak peak = m_fast ? PeakFast(m_model, m_start, m_samples)
                             : PeakByEverySecond(m_model, m_start, m_aosStep, endStep);
    m_current.MaxElevation = peak.Elevation;
    m_current.MaxElevationTime = m_start + seconds { peak.Step };
    m_result.Passes.push_back(m_current);
}

// A sample span seconds ahead that proves the whole span on one side of the
// horizon is kept for its step; one that does not is given up.
bool PassSearch::LookAhead(long long step, double heightKm, long long span, bool above)
{
    const Sample x = SampleAt(step + span);
    const auto length = static_cast<double>(span);
    const bool proven = above ? x.SatElevation > 0 && x.AboveHorizonKm > 0
            && m_skipper.AboveThroughout(heightKm, x.AboveHorizonKm, length)
                              : x.SatElevation < 0 && x.AboveHorizonKm < 0
            && m_skipper.BelowThroughout(heightKm, x.AboveHorizonKm, length);
    if (proven) {
        m_aheadStep = step + span;
        m_ahead = x;
    }
    return proven;
}

// Between passes: the height's own bound (skip), the cone and the orbit
// plane, and a look ahead near a miss.
long long PassSearch::SkipBelow(
    long long step, const Sample& x, double slopeKmPerSec, long long skip)
{
    if (step >= m_coneAskedAgain) {
        const HorizonSkipper::Skip cone = m_skipper.OutsideConeSamples(x.Position, 1.0);
        skip = std::max(skip, cone.Samples);
        m_coneAskedAgain = step + cone.QuietSamples;
    }
    if (step >= m_planeAskedAgain) {
        const HorizonSkipper::Skip plane
            = m_skipper.OutsidePlaneSamples(m_model, m_start + seconds { step }, 1.0);
        skip = std::max(skip, plane.Samples);
        m_planeAskedAgain = step + plane.QuietSamples;
    }
    // Near a miss, look ahead to where the path would still be clear of the
    // plane at the present rate; the sample there proves the whole span
    // below, or is given up.
    const auto guess = static_cast<long long>(
        AheadShare * m_skipper.BelowReachGuess(x.AboveHorizonKm, slopeKmPerSec));
    if (guess > 2 * (skip + 1) && step + guess <= m_windowSteps
        && LookAhead(step, x.AboveHorizonKm, guess, false))
        skip = guess - 1;
    return skip;
}

// During a pass: no further than the pass step (the peak search's samples).
long long PassSearch::SkipAbove(
    long long step, const Sample& x, double slopeKmPerSec, long long skip)
{
    const long long passStep = m_stepper.StepAt(m_model, m_start, step);
    skip = std::min(skip, passStep - 1);
    // Just risen, the bounds prove only seconds up, but the path climbs
    // fast: a sample a whole step on, well up, proves the step between.
    const double reach = x.AboveHorizonKm + slopeKmPerSec * static_cast<double>(passStep);
    if (skip < passStep - 1 && step + passStep <= m_lastStep
        && x.AboveHorizonKm > 2.0 * m_skipper.MarginKm()
        && reach > 4.0 * m_skipper.BendKm(static_cast<double>(passStep))
        && LookAhead(step, x.AboveHorizonKm, passStep, true))
        skip = passStep - 1;
    return skip;
}

SatellitePasses PassSearch::Run()
{
    if (m_fast) {
        // An orbit too flat for the station's latitude needs no stepping.
        const double t0 = m_model.ElapsedDays(m_start);
        if (m_model.NeverAboveHorizon(t0 - 0.01, t0 + m_lastStep / 86400.0 + 0.01))
            return { SkyPresence::NeverInView, {}, {} };
    }
    long long prevStep = 0; // the sample before, for the second-order skip
    double prevKm = 0;
    for (long long i = 1; i <= m_lastStep; ++i) {
        if (!m_inPass && i > m_windowSteps)
            break;
        const Sample h = i == m_aheadStep ? m_ahead : SampleAt(i);
        const long long dt = prevStep > 0 ? i - prevStep : 0;
        const double earlierKm = prevKm;
        prevStep = i;
        prevKm = h.AboveHorizonKm;
        if (h.SatElevation > 0 && !m_inPass)
            Rise(i, h);
        if (h.SatElevation < 0 && m_inPass)
            Set(i, h);
        if (m_fast && m_inPass)
            m_samples.Add(i, { h.SatElevation, h.AboveHorizonKm, h.RangeKm });
        // Skip only samples whose sign is certain and would not change the
        // outcome: below the horizon between passes, above it during one.
        const bool below = !m_inPass && h.SatElevation < 0 && h.AboveHorizonKm < 0;
        const bool above = m_inPass && h.SatElevation > 0 && h.AboveHorizonKm > 0;
        if (!m_fast || !(below || above))
            continue;
        long long skip
            = m_skipper.SameSignSamples(h.AboveHorizonKm, earlierKm, static_cast<double>(dt), 1.0);
        const double slope = dt > 0 ? (h.AboveHorizonKm - earlierKm) / dt : 0.0;
        if (below)
            skip = SkipBelow(i, h, slope, skip);
        else if (m_current.InProgress && i + skip >= m_windowSteps)
            return { SkyPresence::AlwaysInView, {}, {} }; // up at every step of the window
        else if (!m_current.InProgress)
            skip = SkipAbove(i, h, slope, skip);
        i += std::min(skip, m_lastStep - i);
    }
    if (m_inPass)
        Finish(m_lastStep);
    return Result();
}

SatellitePasses PassSearch::Result()
{
    // Up at every step of the window: one pass from the first step whose LOS
    // (if any) lies beyond the window.
    const std::vector<UpcomingPass>& passes = m_result.Passes;
    if (passes.size() == 1 && passes[0].InProgress
        && (!passes[0].LosTime || *passes[0].LosTime > m_start + seconds { m_windowSteps })) {
        m_result.Passes.clear();
        m_result.Presence = SkyPresence::AlwaysInView;
    } else {
        m_result.Presence = passes.empty() ? SkyPresence::NeverInView : SkyPresence::Passes;
    }
    return std::move(m_result);
}

} // namespace

SatellitePasses FindSatellitePasses(const ElementSet& elements, const Station& station,
    sys_seconds start, seconds window, OrbitModelKind kind)
{
    return PassSearch(OrbitModel(elements, station, kind), start, window, true).Run();
}

SatellitePasses FindSatellitePasses(const OrbitModel& model, sys_seconds start, seconds window)
{
    return PassSearch(model, start, window, true).Run();
}

SatellitePasses FindSatellitePassesPlain(const ElementSet& elements, const Station& station,
    sys_seconds start, seconds window, OrbitModelKind kind)
{
    return PassSearch(OrbitModel(elements, station, kind), start, window, false).Run();
}

std::vector<SatellitePasses> FindUpcomingPasses(std::span<const ElementSet> catalogue,
    const Station& station, sys_seconds start, seconds window, unsigned threads,
    OrbitModelKind kind, const SatelliteFound& onFound)
{
    std::vector<SatellitePasses> found(catalogue.size());
    // Each worker takes the next unclaimed satellite and writes only its own
    // slot, so neither the split nor the timing can change any result.
    std::atomic<std::size_t> next { 0 };
    auto work = [&] {
        ClearUpperVectorState();
        for (std::size_t k = next++; k < catalogue.size(); k = next++) {
            try {
                found[k] = FindSatellitePasses(catalogue[k], station, start, window, kind);
                for (UpcomingPass& p : found[k].Passes)
                    p.Satellite = static_cast<int>(k);
            } catch (const std::exception& e) {
                found[k].Presence = SkyPresence::Refused;
                found[k].Refusal = e.what();
            }
            if (onFound)
                onFound(k, found[k]);
        }
    };
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, catalogue.size()));
    if (threads <= 1) {
        work();
        return found;
    }
    std::vector<std::jthread> pool;
    pool.reserve(threads - 1);
    for (unsigned k = 1; k < threads; ++k)
        pool.emplace_back(work);
    work();
    pool.clear(); // joins
    return found;
}

std::vector<UpcomingPass> SortedByAos(const std::vector<SatellitePasses>& found)
{
    std::vector<UpcomingPass> all;
    for (const SatellitePasses& s : found)
        all.insert(all.end(), s.Passes.begin(), s.Passes.end());
    std::stable_sort(all.begin(), all.end(), [](const UpcomingPass& a, const UpcomingPass& b) {
        return a.AosTime != b.AosTime ? a.AosTime < b.AosTime : a.Satellite < b.Satellite;
    });
    return all;
}

std::vector<SkyPoint> SkyTrack(const ElementSet& elements, const Station& station,
    sys_seconds aosTime, sys_seconds losTime, int stepSeconds, OrbitModelKind kind)
{
    std::vector<SkyPoint> track;
    if (losTime < aosTime)
        return track;
    const OrbitModel model(elements, station, kind);
    const long long step = std::max(stepSeconds, 1);
    const long long d = std::min<long long>((losTime - aosTime).count(), PassTrackMaxSeconds);
    auto add = [&](long long s) {
        const sys_seconds t = aosTime + seconds { s };
        const OrbitModel::Horizon h = model.Look(t);
        track.push_back({ t, h.SatAzimuth, h.SatElevation });
    };
    for (long long s = 0; s < d; s += step)
        add(s);
    add(d);
    return track;
}

} // namespace aostrack
