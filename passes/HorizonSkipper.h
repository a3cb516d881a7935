#pragma once
// Shared by the pass searches: how many one-step samples may be skipped
// because the sign of their elevation is already certain.
#include "orbit/Engine.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <numbers>

namespace aostrack {

// Skipping ahead while the satellite is far from the horizon. Between two
// samples the height of the satellite above the station's horizon plane
// changes at most by the model's earth-fixed speed times the time between
// them, so while that height stays clear of zero by more than this change,
// the sign of the elevation at the skipped samples is known without
// computing them. The margin covers the Kepler tolerance and rounding.
// OrbitModel::MaxEarthFixedSpeed gives the bound for either theory (its
// comments carry the argument for each); the tests compare the skipping
// searches with plain stepping over whole element files on both.
class HorizonSkipper {
public:
    HorizonSkipper(const OrbitModel& model, std::chrono::sys_seconds now, double spanDays)
    {
        const double e = model.Elements().Eccentricity;
        if (e >= 0.9)
            return; // Newton's error bound too loose there: compute every sample
        const double t0 = model.ElapsedDays(now);
        m_speedKmPerSec = model.MaxEarthFixedSpeed(t0 - 0.01, t0 + spanDays + 0.01);
        // What the computed heights may differ from the model's smooth
        // path by: the error Plan13's Kepler solution leaves (four times its
        // bound; SGP4 solves to 1e-12 rad), which moves the position by at
        // most a (1 + e) per radian, and rounding, some nanometres on
        // positions of thousands of km, given 50 m. The old allowance of
        // 4 m per 1000 km of orbit stays as a floor.
        const double residualRad = std::max(4e-6, 4.0 * KeplerResidualRad(e));
        m_marginKm = 0.05 + residualRad * model.SemiMajorAxis() * (1.0 + e);
        m_enabled = std::isfinite(m_speedKmPerSec) && m_speedKmPerSec > 0;
        m_accelKmPerSec2 = model.MaxEarthFixedAcceleration(t0 - 0.01, t0 + spanDays + 0.01);

        const double rMin = model.LeastOrbitRadius(t0 - 0.01, t0 + spanDays + 0.01);
        const double rMax = model.GreatestOrbitRadius(t0 - 0.01, t0 + spanDays + 0.01) + m_marginKm;
        m_leastRangeKm = std::max(rMin - model.HorizonPlaneKm(), 0.0);
        if (m_enabled && rMin > 0 && std::isfinite(rMax)) {
            m_zenith = model.Zenith();
            m_coneRad = std::acos(std::clamp(model.HorizonPlaneKm() / rMax, -1.0, 1.0));
            // The direction turns no faster than the speed over the least
            // radius, and no faster than the model's own bound of it.
            m_turnRadPerSec = std::min(m_speedKmPerSec / rMin,
                model.MaxDirectionTurnRate(t0 - 0.01, t0 + spanDays + 0.01));
            m_coneMarginRad = 2.0 * m_marginKm / rMin + 1e-9;
            if (const auto plane = model.PlaneMotion(t0 - 0.01, t0 + spanDays + 0.01)) {
                m_planeTurnRadPerSec = plane->TurnRadPerSec;
                m_station = model.StationKm();
                m_wobbleKm = rMax * std::sin(plane->WobbleRad) + m_marginKm;
                // The positions lie within the wobble of the plane given.
                m_planeLimit = std::sin(
                    std::min(m_coneRad + m_coneMarginRad + plane->WobbleRad, std::numbers::pi / 2));
            }
        }
    }

    // Number of following samples, stepSeconds apart, whose elevation has
    // the same sign as this one (aboveHorizonKm = (S - O) . Up).
    long long SameSignSamples(double aboveHorizonKm, double stepSeconds) const
    {
        if (!m_enabled)
            return 0;
        const double clear = std::fabs(aboveHorizonKm) - 2.0 * m_marginKm;
        if (clear <= 0)
            return 0;
        const double k = std::floor(clear / (m_speedKmPerSec * stepSeconds));
        return k > 1e9 ? 1000000000LL : static_cast<long long>(k);
    }

    // The same, also knowing the height at an earlier sample dtSeconds before.
    // A bound A on the earth-fixed acceleration gives a second-order one:
    // the rate of the height now lies within A dt / 2 of the slope between
    // the two samples (plus 2 margins / dt for their errors), and from there
    // the height moves at most rate t + A t^2 / 2. Coming from far below the
    // horizon plane or going away from it, that reaches much further than
    // the speed alone; whichever of the two bounds reaches further is used,
    // as each proves the sign on its own.
    long long SameSignSamples(
        double aboveHorizonKm, double earlierKm, double dtSeconds, double stepSeconds) const
    {
        const long long firstOrder = SameSignSamples(aboveHorizonKm, stepSeconds);
        const double a = m_accelKmPerSec2;
        if (!m_enabled || !(dtSeconds > 0) || !std::isfinite(a) || !(a > 0))
            return firstOrder;
        const double clear = std::fabs(aboveHorizonKm) - 2.0 * m_marginKm;
        if (clear <= 0)
            return 0;
        const double away = aboveHorizonKm > 0 ? 1.0 : -1.0;
        // Worst-case rate toward the plane (negative: certainly going away).
        const double toward = -away * (aboveHorizonKm - earlierKm) / dtSeconds
            + 2.0 * m_marginKm / dtSeconds + a * dtSeconds / 2.0;
        // Root of clear - toward t - a t^2 / 2, in the form without cancellation.
        const double root = std::sqrt(toward * toward + 2.0 * a * clear);
        const double t = toward > 0 ? 2.0 * clear / (toward + root) : (root - toward) / a;
        const double k = std::floor(t / stepSeconds);
        const long long secondOrder = k > 1e9 ? 1000000000LL : static_cast<long long>(k);
        return std::max(firstOrder, secondOrder);
    }

    // Both ends of a span on the same side of the horizon plane: the whole
    // span is on that side when the chord between them, bent toward the
    // plane by the most a bounded acceleration allows (A x (L - x) / 2 at x
    // from the start), keeps clear of it by two margins (the ends' error and
    // each second's own). Knowing where the path ends up, this reaches past
    // the turn of a near miss, and from a rise a whole step into the pass,
    // where the forward bounds must allow for the worst bend toward the plane.
    bool BelowThroughout(double startKm, double endKm, double lengthSeconds) const
    {
        return ClearOfChord(-startKm, -endKm, lengthSeconds);
    }
    bool AboveThroughout(double startKm, double endKm, double lengthSeconds) const
    {
        return ClearOfChord(startKm, endKm, lengthSeconds);
    }

    // How far ahead a span could pass that test if the height went on at
    // the rate slope (km/s) from heightKm: a guess of where to look, proven
    // or not by the sample taken there.
    double BelowReachGuess(double heightKm, double slopeKmPerSec) const
    {
        const double a = m_accelKmPerSec2;
        const double clear = -heightKm - 2.0 * m_marginKm;
        if (!m_enabled || !std::isfinite(a) || !(a > 0) || !(clear > 0))
            return 0;
        const double s = std::max(slopeKmPerSec, 0.0);
        // clear = s t + a t^2 / 8
        return 2.0 * clear / (s + std::sqrt(s * s + clear * a / 2.0));
    }

    // The most the path can bend away from a straight line over a span
    // (km, at its middle); infinite without an acceleration bound.
    double BendKm(double lengthSeconds) const
    {
        const double a = m_accelKmPerSec2;
        if (!m_enabled || !std::isfinite(a) || !(a > 0))
            return HUGE_VAL;
        return a * lengthSeconds * lengthSeconds / 8.0;
    }
    // A lower bound of the distance from the station to the satellite (km).
    double LeastRangeKm() const { return m_leastRangeKm; }
    // The error allowed for each computed height, km.
    double MarginKm() const { return m_marginKm; }

    // No position comes nearer the station than the station's distance from
    // the plane that holds the orbit, less the positions' wobble about it:
    // a bound (km) of the range at the instant, 0 where no plane is known.
    // The normal turns by no more than the turn rate, so the bound falls by
    // at most OffPlaneFallKmPerSec() per second after the instant.
    double OffPlaneKm(const OrbitModel& model, std::chrono::sys_seconds instant) const
    {
        if (!(m_planeTurnRadPerSec > 0))
            return 0.0;
        const std::array<double, 3> n = model.EarthFixedOrbitNormal(instant);
        const auto& o = m_station;
        return std::fabs(o[0] * n[0] + o[1] * n[1] + o[2] * n[2]) - m_wobbleKm;
    }
    double OffPlaneFallKmPerSec() const
    {
        return std::hypot(m_station[0], m_station[1], m_station[2]) * m_planeTurnRadPerSec;
    }

    // Below the horizon, a bound from the satellite's direction: above the
    // horizon plane S . Up > P (P the plane's distance from the earth's
    // centre) needs cos(angle of S from the zenith) > P / |S| >= P / r_max,
    // so an angle beyond acos(P / r_max) is below for certain; and the
    // direction of S turns no faster than v_max / r_min. Far round the
    // earth, where the height still changes fast, this reaches up to the
    // edge of that cone in one step; the margin covers the Kepler tolerance
    // (a position error of one margin turns the direction by margin / r_min).
    // Where a bound gives no skip, it also says for how many samples it
    // cannot give one (the angle it measures moves no faster than the turn
    // rate), so that it need not be asked again before.
    struct Skip {
        long long Samples = 0;
        long long QuietSamples = 0;
    };
    Skip OutsideConeSamples(const std::array<double, 3>& position, double stepSeconds) const
    {
        if (!(m_turnRadPerSec > 0))
            return {};
        const double r = std::sqrt(
            position[0] * position[0] + position[1] * position[1] + position[2] * position[2]);
        const double up
            = position[0] * m_zenith[0] + position[1] * m_zenith[1] + position[2] * m_zenith[2];
        const double angle = std::acos(std::clamp(up / r, -1.0, 1.0));
        const double clear = angle - m_coneRad - m_coneMarginRad;
        if (!(clear > 0))
            return { 0, Samples(-clear - 1e-9, m_turnRadPerSec * stepSeconds) };
        return { Samples(clear, m_turnRadPerSec * stepSeconds), 0 };
    }

    // Between passes, a bound from the orbit plane: every position lies in
    // it (SGP4 near the earth: within the short-period wobble, which widens
    // the cone), so S . Up <= |S| cos(b), b the zenith's angle from the
    // plane, and above the horizon plane needs b below the cone's
    // half-angle above, i.e. |Up . N| < sin(cone). The normal N keeps its
    // angle from the pole and turns about it no faster than the earth under
    // the drifting node, so Up . N = c + d cos(psi), psi the angle between
    // the two vectors' equatorial parts, with psi changing no faster than
    // that rate. The span of psi left before |Up . N| can reach sin(cone)
    // gives the skip: whole orbits that miss the station go by unsampled.
    // Computing the plane needs no Kepler solution.
    Skip OutsidePlaneSamples(
        const OrbitModel& model, std::chrono::sys_seconds instant, double stepSeconds) const
    {
        if (!(m_planeTurnRadPerSec > 0))
            return {};
        const std::array<double, 3> n = model.EarthFixedOrbitNormal(instant);
        const auto& z = m_zenith;
        const double limit = m_planeLimit;
        const double c = n[2] * z[2];
        const double dot = n[0] * z[0] + n[1] * z[1];
        const double now = c + dot;
        // Up . N moves by at most d dpsi <= dpsi: inside the band it stays
        // inside for a while.
        if (std::fabs(now) < limit)
            return { 0,
                Samples(limit - std::fabs(now) - 1e-9, m_planeTurnRadPerSec * stepSeconds) };
        const double cross = n[0] * z[1] - n[1] * z[0];
        const double d = std::hypot(dot, cross);
        const double psi = std::atan2(std::fabs(cross), dot); // 0..pi
        double room = 0; // how far psi may move before the cone is reached
        if (now >= limit) {
            // |psi| <= psi1 keeps c + d cos(psi) >= limit
            const double cosEdge = d > 0 ? (limit - c) / d : -2.0;
            room = cosEdge <= -1.0 ? HUGE_VAL : std::acos(std::min(cosEdge, 1.0)) - psi;
        } else if (now <= -limit) {
            // |psi| >= psi2 keeps c + d cos(psi) <= -limit
            const double cosEdge = d > 0 ? (-limit - c) / d : 2.0;
            room = cosEdge >= 1.0 ? HUGE_VAL : psi - std::acos(std::max(cosEdge, -1.0));
        }
        room -= 1e-9; // rounding of the angles
        return { Samples(room, m_planeTurnRadPerSec * stepSeconds), 0 };
    }

private:
    // Whole samples within an angle (0 if none) at the angle per sample.
    static long long Samples(double angle, double anglePerSample)
    {
        if (!(angle > 0))
            return 0;
        const double k = std::floor(angle / anglePerSample);
        return k > 1e9 ? 1000000000LL : static_cast<long long>(k);
    }

    // The least of s + (e - s) x / L - A x (L - x) / 2 over 0..L, with both
    // ends lowered by the margins, above 0 (the expression is convex in x).
    bool ClearOfChord(double startKm, double endKm, double lengthSeconds) const
    {
        const double a = m_accelKmPerSec2;
        if (!m_enabled || !std::isfinite(a) || !(a > 0) || !(lengthSeconds > 0))
            return false;
        const double s = startKm - 2.0 * m_marginKm, e = endKm - 2.0 * m_marginKm;
        const double l = lengthSeconds;
        if (!(s > 0 && e > 0))
            return false;
        const double x = std::clamp(l / 2.0 - (e - s) / (a * l), 0.0, l);
        return s + (e - s) * x / l - a * x * (l - x) / 2.0 > 0.0;
    }

    std::array<double, 3> m_zenith {};
    double m_planeTurnRadPerSec = 0; // 0: no plane bound
    double m_planeLimit = 1;
    std::array<double, 3> m_station {};
    double m_wobbleKm = 0;
    double m_coneRad = 0;
    double m_turnRadPerSec = 0; // 0: no cone bound
    double m_coneMarginRad = 0;
    bool m_enabled = false;
    double m_accelKmPerSec2 = 0;
    double m_speedKmPerSec = 0;
    double m_marginKm = 0;
    double m_leastRangeKm = 0;
};

} // namespace aostrack
