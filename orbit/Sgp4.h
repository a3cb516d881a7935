#pragma once
// SGP4/SDP4: the analytic theory the element sets are fitted with (near-earth
// SGP4 below a 225-minute period, deep-space SDP4 with lunar-solar terms and
// the 12-hour and 24-hour geopotential resonances above it), with the 2006
// revisions, WGS-72 constants and the Kozai mean motion of the two-line
// format. Positions and velocities are in TEME, the true-equator,
// mean-equinox frame of the element set, km and km/s.
#include "orbit/ElementSet.h"
#include "orbit/OrbitError.h"

#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace aostrack {

// WGS-72, the gravity model the element sets are produced with (WGS-84 values
// here would move a LEO by metres within a day).
namespace wgs72 {
inline constexpr double Mu = 398600.8; // km^3/s^2
inline constexpr double EarthRadius = 6378.135; // km
inline constexpr double J2 = 0.001082616;
inline constexpr double J3 = -0.00000253881;
inline constexpr double J4 = -0.00000165597;
} // namespace wgs72

// The codes the theory reports when it can no longer propagate.
enum class Sgp4ErrorCode {
    MeanEccentricity = 1, // mean eccentricity outside -0.001..1 (drag drove it there)
    MeanMotion = 2, // mean motion fell to 0 or below
    PerturbedEccentricity = 3, // lunar-solar terms drove the eccentricity outside 0..1
    SemiLatusRectum = 4, // semi-latus rectum below 0
    Decayed = 6, // radius below one earth radius: the satellite has decayed
};

// A set or an instant SGP4 refuses; what() reads
// "SGP4 error <code>: <reason> (<minutes> min from the epoch)".
class Sgp4Error : public OrbitError {
public:
    Sgp4Error(Sgp4ErrorCode code, double minutesSinceEpoch);
    Sgp4ErrorCode Code() const { return m_code; }
    double MinutesSinceEpoch() const { return m_minutes; }

private:
    Sgp4ErrorCode m_code;
    double m_minutes;
};
// The reason text of a code ("the satellite has decayed", ...).
std::string Sgp4ErrorText(Sgp4ErrorCode code);

struct TemeState {
    std::array<double, 3> PositionKm {};
    std::array<double, 3> VelocityKmPerSec {};
    bool operator==(const TemeState&) const = default;
};

// The mean elements at the instant (secular, drag and resonance terms
// applied, periodics not), radians and earth radii.
struct Sgp4MeanElements {
    double SemiMajorAxisEr = 0;
    double Eccentricity = 0;
    double Inclination = 0;
    double Node = 0; // 0..2 pi
    double ArgPerigee = 0; // 0..2 pi
    double MeanAnomaly = 0; // 0..2 pi
    double MeanMotionRadPerMin = 0;
    // Mean argument of latitude advanced since the epoch, in revolutions
    // (the orbit count since the epoch set, with its fraction).
    double RevolutionsSinceEpoch = 0;
    bool operator==(const Sgp4MeanElements&) const = default;
};

struct Sgp4Result {
    TemeState Teme;
    Sgp4MeanElements Mean;
};

// std::fmod(x, 2 pi), bit for bit, at a fraction of its cost.
double FmodTwoPi(double x);

// Greenwich mean sidereal angle of IAU 1982, radians 0..2 pi, at a Julian
// date of UT1 (the angle that turns TEME into the earth-fixed frame).
double GreenwichSidereal1982(double julianDateUt1);

// Calendar year of a two-digit element-set year: 57..99 are 1957..1999,
// 00..56 are 2000..2056 (the rule of the two-line format).
int Sgp4EpochYear(int twoDigitYear);
// The element-set epoch YYDDD.DDDDDDDD as seconds since 1970-01-01 UTC, the
// day fraction taken to the eight digits the format holds.
double Sgp4EpochUnixSeconds(double epoch);

class Sgp4 {
public:
    // Works out the constants of the set and checks it at the epoch.
    // Throws OrbitError for a mean motion not above 0 or not a number, and
    // Sgp4Error when the theory refuses the set at its epoch.
    explicit Sgp4(const ElementSet& elements);

    // State at minutes from the epoch (negative before it). Pure: the
    // resonance integrator restarts from the epoch at every call, which gives
    // the same steps (and results) as carrying it from call to call.
    // Throws Sgp4Error when the theory cannot propagate to that instant.
    Sgp4Result Propagate(double minutesSinceEpoch) const;
    TemeState Teme(double minutesSinceEpoch) const { return Propagate(minutesSinceEpoch).Teme; }
    // The position alone (km, TEME), bit for bit Propagate's: what the pass
    // searches need, without the velocity's work.
    std::array<double, 3> PositionKm(double minutesSinceEpoch) const;
    // The mean elements alone, bit for bit Propagate's, without the
    // periodic terms (nor the refusals they can bring).
    Sgp4MeanElements MeanElements(double minutesSinceEpoch) const;

    double MinutesSinceEpoch(std::chrono::sys_seconds instant) const;
    double EpochUnixSeconds() const { return m_epochUnixSeconds; }
    bool IsDeepSpace() const { return m_deepSpace; }
    // Deep space in 12-hour or one-day resonance with the earth's field: the
    // mean motion is integrated in 720-minute steps.
    bool IsResonant() const { return m_irez != 0; }
    // Greenwich mean sidereal angle at the epoch, radians.
    double EpochSiderealRad() const { return m_gsto; }
    // Mean motion recovered from the Kozai value (rad/min) and the matching
    // semi-major axis (earth radii) at the epoch.
    double MeanMotionRadPerMin() const { return m_no; }
    double SemiMajorAxisEr() const { return m_ao; }
    double Bstar() const { return m_bstar; }
    // Near the earth the mean orbit plane keeps the set's inclination while
    // its node drifts with the secular and drag terms (radians, minutes from
    // the epoch); the short-period terms tilt the true plane about it.
    double Inclination() const { return m_inclo; }
    double MeanNode(double minutesSinceEpoch) const
    {
        const double t = minutesSinceEpoch;
        return m_nodeo + m_nodedot * t + m_nodecf * t * t;
    }
    // The greatest rate of that node (rad/min) up to minutes from the epoch.
    double MeanNodeRateBound(double minutesFromEpoch) const
    {
        return std::fabs(m_nodedot) + 2.0 * std::fabs(m_nodecf * minutesFromEpoch);
    }

private:
    // The resonance integrator's state at a whole step from the epoch, and
    // the rates there.
    struct ResonanceNode {
        double Xli = 0, Xni = 0;
    };
    struct ResonanceRates {
        double Xndt = 0, Xldot = 0, Xnddt = 0;
    };
    // The whole steps integrated so far, both ways from the epoch; shared by
    // copies (they hold the same set) and by threads (hence the lock).
    class ResonanceSteps {
    public:
        ResonanceNode Node(const Sgp4& theory, std::size_t step, bool forward);

    private:
        std::mutex m_lock;
        std::vector<ResonanceNode> m_forward, m_backward;
    };
    // About 1,400 years of 720-minute steps.
    static constexpr std::size_t MaxResonanceSteps = 1000000;

    enum class Part { Mean, Position, Full };
    Sgp4Result Evaluate(double t, Part part) const;
    ResonanceRates RatesAt(const ResonanceNode& node, double atime) const;
    void InitDeepSpace(double epochDays50);
    void DeepSecular(double t, double& em, double& argpm, double& inclm, double& mm, double& nodem,
        double& nm, double& mmContinuous) const;
    void LunarSolarPeriodics(
        double t, double& ep, double& inclp, double& nodep, double& argpp, double& mp) const;

    double m_epochUnixSeconds = 0;
    // elements at the epoch (radians, rad/min)
    double m_ecco = 0, m_inclo = 0, m_nodeo = 0, m_argpo = 0, m_mo = 0, m_bstar = 0;
    double m_no = 0, m_ao = 0; // un-Kozai'd mean motion, semi-major axis
    double m_gsto = 0;
    bool m_deepSpace = false;
    bool m_simple = false; // perigee below 220 km (or deep space): truncated drag
    // near-earth constants
    double m_cosio = 0, m_sinio = 0, m_con41 = 0, m_x1mth2 = 0, m_x7thm1 = 0;
    double m_eta = 0, m_cc1 = 0, m_cc4 = 0, m_cc5 = 0, m_d2 = 0, m_d3 = 0, m_d4 = 0;
    double m_delmo = 0, m_sinmao = 0, m_omgcof = 0, m_xmcof = 0, m_nodecf = 0;
    double m_t2cof = 0, m_t3cof = 0, m_t4cof = 0, m_t5cof = 0;
    double m_xlcof = 0, m_aycof = 0;
    double m_mdot = 0, m_argpdot = 0, m_nodedot = 0;
    // deep-space lunar-solar periodic coefficients
    double m_e3 = 0, m_ee2 = 0, m_se2 = 0, m_se3 = 0, m_sgh2 = 0, m_sgh3 = 0, m_sgh4 = 0;
    double m_sh2 = 0, m_sh3 = 0, m_si2 = 0, m_si3 = 0, m_sl2 = 0, m_sl3 = 0, m_sl4 = 0;
    double m_xgh2 = 0, m_xgh3 = 0, m_xgh4 = 0, m_xh2 = 0, m_xh3 = 0, m_xi2 = 0, m_xi3 = 0;
    double m_xl2 = 0, m_xl3 = 0, m_xl4 = 0, m_zmol = 0, m_zmos = 0;
    // deep-space secular rates
    double m_dedt = 0, m_didt = 0, m_dmdt = 0, m_dnodt = 0, m_domdt = 0;
    // resonance: 0 none, 1 one day (geostationary), 2 half a day (Molniya)
    int m_irez = 0;
    double m_d2201 = 0, m_d2211 = 0, m_d3210 = 0, m_d3222 = 0, m_d4410 = 0, m_d4422 = 0;
    double m_d5220 = 0, m_d5232 = 0, m_d5421 = 0, m_d5433 = 0;
    double m_del1 = 0, m_del2 = 0, m_del3 = 0, m_xfact = 0, m_xlamo = 0;
    std::shared_ptr<ResonanceSteps> m_resonance;
};

} // namespace aostrack
