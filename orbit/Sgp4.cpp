// SGP4/SDP4 worked from the published equations: the Spacetrack Report #3
// theory with the corrections of "Revisiting Spacetrack Report #3"
// (Vallado, Crawford, Hujsak, Kelso, AIAA 2006-6753), improved operation mode.
// Units inside: earth radii, minutes, radians.
#include "orbit/Sgp4.h"

#include <cmath>
#include <cstdio>

namespace aostrack {

using namespace std::chrono;

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr double TwoPi = 2.0 * Pi;
constexpr double TwoThirds = 2.0 / 3.0;
constexpr double DegToRad = Pi / 180.0;

// sqrt(mu / Re^3) in 1/min: the unit of mean motion in earth radii and minutes.
const double Xke
    = 60.0 / std::sqrt(wgs72::EarthRadius * wgs72::EarthRadius * wgs72::EarthRadius / wgs72::Mu);
constexpr double J3OverJ2 = wgs72::J3 / wgs72::J2;
const double VelocityKmPerSec = wgs72::EarthRadius * Xke / 60.0;

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long UnixDays(int year, unsigned month, unsigned day)
{
    return sys_days {
        std::chrono::year { year } / std::chrono::month { month } / std::chrono::day { day }
    }.time_since_epoch()
        .count();
}

constexpr double JulianDateOfUnixEpoch = 2440587.5;
constexpr double JulianDateOf1950Origin = 2433281.5; // 1949-12-31 0h, the theory's day count

} // namespace

// std::fmod(x, 2 pi) to the last bit, without the library's long division:
// the remainder is always a representable number, so once the quotient is
// right one fused multiply-add gives it exactly. The theory reduces five
// angles at every instant, and the library call was a twentieth of the time.
#if defined(__x86_64__) || defined(__i386__)
#define AOSTRACK_FMA_TARGET __attribute__((target("fma")))
#else
#define AOSTRACK_FMA_TARGET
#endif
namespace {
AOSTRACK_FMA_TARGET double FmodTwoPiFused(double x)
{
    constexpr double turns = 1.0 / TwoPi;
    double q = std::trunc(x * turns);
    double r = __builtin_fma(-q, TwoPi, x);
    // The estimate may be one turn off either way.
    if (x >= 0.0 ? r < 0.0 : r > 0.0)
        q -= x >= 0.0 ? 1.0 : -1.0;
    else if (std::fabs(r) >= TwoPi)
        q += x >= 0.0 ? 1.0 : -1.0;
    r = __builtin_fma(-q, TwoPi, x);
    return r == 0.0 ? std::copysign(0.0, x) : r; // fmod keeps the sign of x
}
} // namespace

double FmodTwoPi(double x)
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool fused = (__builtin_cpu_init(), __builtin_cpu_supports("fma"));
#else
    constexpr bool fused = true;
#endif
    if (!fused || !(std::fabs(x) < 1e15)) // no fused multiply-add, not a number, or too large
        return std::fmod(x, TwoPi);
    return FmodTwoPiFused(x);
}

Sgp4Error::Sgp4Error(Sgp4ErrorCode code, double minutesSinceEpoch)
    : OrbitError([&] {
        char when[64];
        std::snprintf(when, sizeof when, " (%.1f min from the epoch)", minutesSinceEpoch);
        return "SGP4 error " + std::to_string(static_cast<int>(code)) + ": " + Sgp4ErrorText(code)
            + when;
    }())
    , m_code(code)
    , m_minutes(minutesSinceEpoch)
{
}

std::string Sgp4ErrorText(Sgp4ErrorCode code)
{
    switch (code) {
    case Sgp4ErrorCode::MeanEccentricity:
        return "mean eccentricity is outside 0 to 1";
    case Sgp4ErrorCode::MeanMotion:
        return "mean motion has fallen to zero or below";
    case Sgp4ErrorCode::PerturbedEccentricity:
        return "perturbed eccentricity is outside 0 to 1";
    case Sgp4ErrorCode::SemiLatusRectum:
        return "semi-latus rectum has fallen below zero";
    case Sgp4ErrorCode::Decayed:
        return "the satellite has decayed";
    }
    return "unknown error";
}

double GreenwichSidereal1982(double julianDateUt1)
{
    const double t = (julianDateUt1 - 2451545.0) / 36525.0;
    const double seconds = -6.2e-6 * t * t * t + 0.093104 * t * t
        + (876600.0 * 3600.0 + 8640184.812866) * t + 67310.54841;
    double angle = FmodTwoPi(seconds * DegToRad / 240.0);
    if (angle < 0.0)
        angle += TwoPi;
    return angle;
}

int Sgp4EpochYear(int twoDigitYear)
{
    return twoDigitYear < 57 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

double Sgp4EpochUnixSeconds(double epoch)
{
    // The year digits are unchecked input here: a damaged epoch such as
    // 2147484000.0 must not overflow the conversion to int.
    const double yearDigits = std::floor(epoch / 1000.0);
    if (!(yearDigits >= 0.0 && yearDigits <= 99.0))
        throw OrbitError(
            "no usable element set: epoch " + std::to_string(epoch) + " has no two-digit year");
    const int yy = static_cast<int>(yearDigits);
    const double dayOfYear = epoch - 1000.0 * yy; // 1.0 is 1 January, 0h
    const double wholeDays = std::floor(dayOfYear);
    // Eight decimals of a day are all the format holds; drop the binary noise.
    const double fraction = std::round((dayOfYear - wholeDays) * 1e8) / 1e8;
    const long long day0 = UnixDays(Sgp4EpochYear(yy), 1, 1) - 1;
    return (static_cast<double>(day0) + wholeDays + fraction) * 86400.0;
}

double Sgp4::MinutesSinceEpoch(sys_seconds instant) const
{
    return (static_cast<double>(instant.time_since_epoch().count()) - m_epochUnixSeconds) / 60.0;
}

Sgp4::Sgp4(const ElementSet& el)
{
    if (!(el.MeanMotion > 0.0) || !std::isfinite(el.MeanMotion))
        throw OrbitError(
            "no usable element set: mean motion is " + std::to_string(el.MeanMotion) + " rev/day");
    if (!std::isfinite(el.Epoch) || !std::isfinite(el.Eccentricity) || !std::isfinite(el.BStar)
        || !std::isfinite(el.Inclination) || !std::isfinite(el.RAAN)
        || !std::isfinite(el.ArgPerigee) || !std::isfinite(el.EpochMeanAnomaly))
        throw OrbitError("no usable element set: a number is not finite");

    m_epochUnixSeconds = Sgp4EpochUnixSeconds(el.Epoch);
    const double epochJd = m_epochUnixSeconds / 86400.0 + JulianDateOfUnixEpoch;
    const double epochDays50 = epochJd - JulianDateOf1950Origin;

    m_ecco = el.Eccentricity;
    m_inclo = el.Inclination * DegToRad;
    m_nodeo = el.RAAN * DegToRad;
    m_argpo = el.ArgPerigee * DegToRad;
    m_mo = el.EpochMeanAnomaly * DegToRad;
    m_bstar = el.BStar;
    const double noKozai = el.MeanMotion * TwoPi / 1440.0;

    // Recover the mean motion and semi-major axis from the Kozai mean motion
    // of the set (the J2 secular term folded back out).
    const double eccsq = m_ecco * m_ecco;
    const double omeosq = 1.0 - eccsq;
    const double rteosq = std::sqrt(omeosq);
    m_cosio = std::cos(m_inclo);
    const double cosio2 = m_cosio * m_cosio;
    const double ak = std::pow(Xke / noKozai, TwoThirds);
    const double d1 = 0.75 * wgs72::J2 * (3.0 * cosio2 - 1.0) / (rteosq * omeosq);
    double del = d1 / (ak * ak);
    const double adel = ak * (1.0 - del * del - del * (1.0 / 3.0 + 134.0 * del * del / 81.0));
    del = d1 / (adel * adel);
    m_no = noKozai / (1.0 + del);
    m_ao = std::pow(Xke / m_no, TwoThirds);
    m_sinio = std::sin(m_inclo);
    const double po = m_ao * omeosq;
    const double con42 = 1.0 - 5.0 * cosio2;
    m_con41 = -con42 - cosio2 - cosio2;
    const double posq = po * po;
    const double rp = m_ao * (1.0 - m_ecco);
    m_gsto = GreenwichSidereal1982(epochDays50 + JulianDateOf1950Origin);

    // Atmosphere: density function parameters s and (q0 - s)^4, lowered for
    // perigees below 156 km.
    const double ss = 78.0 / wgs72::EarthRadius + 1.0;
    const double qzms2t = std::pow((120.0 - 78.0) / wgs72::EarthRadius, 4);
    m_simple = rp < 220.0 / wgs72::EarthRadius + 1.0;
    double sfour = ss;
    double qzms24 = qzms2t;
    const double perigeeKm = (rp - 1.0) * wgs72::EarthRadius;
    if (perigeeKm < 156.0) {
        sfour = perigeeKm < 98.0 ? 20.0 : perigeeKm - 78.0;
        qzms24 = std::pow((120.0 - sfour) / wgs72::EarthRadius, 4);
        sfour = sfour / wgs72::EarthRadius + 1.0;
    }
    const double pinvsq = 1.0 / posq;
    const double tsi = 1.0 / (m_ao - sfour);
    m_eta = m_ao * m_ecco * tsi;
    const double etasq = m_eta * m_eta;
    const double eeta = m_ecco * m_eta;
    const double psisq = std::fabs(1.0 - etasq);
    const double coef = qzms24 * std::pow(tsi, 4);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double cc2 = coef1 * m_no
        * (m_ao * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq))
            + 0.375 * wgs72::J2 * tsi / psisq * m_con41 * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    m_cc1 = m_bstar * cc2;
    double cc3 = 0.0;
    if (m_ecco > 1.0e-4)
        cc3 = -2.0 * coef * tsi * J3OverJ2 * m_no * m_sinio / m_ecco;
    m_x1mth2 = 1.0 - cosio2;
    m_cc4 = 2.0 * m_no * coef1 * m_ao * omeosq
        * (m_eta * (2.0 + 0.5 * etasq) + m_ecco * (0.5 + 2.0 * etasq)
            - wgs72::J2 * tsi / (m_ao * psisq)
                * (-3.0 * m_con41 * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta))
                    + 0.75 * m_x1mth2 * (2.0 * etasq - eeta * (1.0 + etasq))
                        * std::cos(2.0 * m_argpo)));
    m_cc5 = 2.0 * coef1 * m_ao * omeosq * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);

    // Secular J2 and J4 rates of mean anomaly, perigee and node.
    const double cosio4 = cosio2 * cosio2;
    const double temp1 = 1.5 * wgs72::J2 * pinvsq * m_no;
    const double temp2 = 0.5 * temp1 * wgs72::J2 * pinvsq;
    const double temp3 = -0.46875 * wgs72::J4 * pinvsq * pinvsq * m_no;
    m_mdot = m_no + 0.5 * temp1 * rteosq * m_con41
        + 0.0625 * temp2 * rteosq * (13.0 - 78.0 * cosio2 + 137.0 * cosio4);
    m_argpdot = -0.5 * temp1 * con42 + 0.0625 * temp2 * (7.0 - 114.0 * cosio2 + 395.0 * cosio4)
        + temp3 * (3.0 - 36.0 * cosio2 + 49.0 * cosio4);
    const double xhdot1 = -temp1 * m_cosio;
    m_nodedot = xhdot1
        + (0.5 * temp2 * (4.0 - 19.0 * cosio2) + 2.0 * temp3 * (3.0 - 7.0 * cosio2)) * m_cosio;
    m_omgcof = m_bstar * cc3 * std::cos(m_argpo);
    m_xmcof = m_ecco > 1.0e-4 ? -TwoThirds * coef * m_bstar / eeta : 0.0;
    m_nodecf = 3.5 * omeosq * xhdot1 * m_cc1;
    m_t2cof = 1.5 * m_cc1;
    // Long-period J3 coefficients; the guard keeps a retrograde equatorial
    // orbit (180 deg) from dividing by zero.
    const double onePlusCos = std::fabs(m_cosio + 1.0) > 1.5e-12 ? 1.0 + m_cosio : 1.5e-12;
    m_xlcof = -0.25 * J3OverJ2 * m_sinio * (3.0 + 5.0 * m_cosio) / onePlusCos;
    m_aycof = -0.5 * J3OverJ2 * m_sinio;
    m_delmo = std::pow(1.0 + m_eta * std::cos(m_mo), 3);
    m_sinmao = std::sin(m_mo);
    m_x7thm1 = 7.0 * cosio2 - 1.0;

    // Periods of 225 minutes and more feel the moon and the sun.
    if (TwoPi / m_no >= 225.0) {
        m_deepSpace = true;
        m_simple = true;
        InitDeepSpace(epochDays50);
        if (m_irez != 0)
            m_resonance = std::make_shared<ResonanceSteps>();
    }

    if (!m_simple) {
        const double cc1sq = m_cc1 * m_cc1;
        m_d2 = 4.0 * m_ao * tsi * cc1sq;
        const double temp = m_d2 * tsi * m_cc1 / 3.0;
        m_d3 = (17.0 * m_ao + sfour) * temp;
        m_d4 = 0.5 * temp * m_ao * tsi * (221.0 * m_ao + 31.0 * sfour) * m_cc1;
        m_t3cof = m_d2 + 2.0 * cc1sq;
        m_t4cof = 0.25 * (3.0 * m_d3 + m_cc1 * (12.0 * m_d2 + 10.0 * cc1sq));
        m_t5cof = 0.2
            * (3.0 * m_d4 + 12.0 * m_cc1 * m_d3 + 6.0 * m_d2 * m_d2
                + 15.0 * cc1sq * (2.0 * m_d2 + cc1sq));
    }

    // The set must be usable at its own epoch.
    Propagate(0.0);
}

void Sgp4::InitDeepSpace(double epochDays50)
{
    // Lunar and solar perturbation coefficients.
    constexpr double zes = 0.01675, zel = 0.05490;
    constexpr double c1ss = 2.9864797e-6, c1l = 4.7968065e-7;
    constexpr double zsinis = 0.39785416, zcosis = 0.91744867;
    constexpr double zcosgs = 0.1945905, zsings = -0.98088458;
    constexpr double zns = 1.19459e-5, znl = 1.5835218e-4;

    const double nm = m_no;
    const double em = m_ecco;
    const double snodm = std::sin(m_nodeo), cnodm = std::cos(m_nodeo);
    const double sinomm = std::sin(m_argpo), cosomm = std::cos(m_argpo);
    const double sinim = m_sinio, cosim = m_cosio;
    const double emsq = em * em;
    const double betasq = 1.0 - emsq;
    const double rtemsq = std::sqrt(betasq);

    // The moon's node and orbit orientation at the epoch.
    const double day = epochDays50 + 18261.5;
    const double xnodce = FmodTwoPi(4.5236020 - 9.2422029e-4 * day);
    const double stem = std::sin(xnodce), ctem = std::cos(xnodce);
    const double zcosil = 0.91375164 - 0.03568096 * ctem;
    const double zsinil = std::sqrt(1.0 - zcosil * zcosil);
    const double zsinhl = 0.089683511 * stem / zsinil;
    const double zcoshl = std::sqrt(1.0 - zsinhl * zsinhl);
    const double gam = 5.8351514 + 0.0019443680 * day;
    double zx = 0.39785416 * stem / zsinil;
    const double zy = zcoshl * ctem + 0.91744867 * zsinhl * stem;
    zx = std::atan2(zx, zy);
    zx = gam + zx - xnodce;
    const double zcosgl = std::cos(zx), zsingl = std::sin(zx);

    // The same terms for the sun (first round) and the moon (second round).
    struct Terms {
        double s1, s2, s3, s4, s5, s6, s7;
        double z1, z2, z3, z11, z12, z13, z21, z22, z23, z31, z32, z33;
    };
    const auto terms = [&](double zcosg, double zsing, double zcosi, double zsini, double zcosh,
                           double zsinh, double cc) {
        Terms r;
        const double a1 = zcosg * zcosh + zsing * zcosi * zsinh;
        const double a3 = -zsing * zcosh + zcosg * zcosi * zsinh;
        const double a7 = -zcosg * zsinh + zsing * zcosi * zcosh;
        const double a8 = zsing * zsini;
        const double a9 = zsing * zsinh + zcosg * zcosi * zcosh;
        const double a10 = zcosg * zsini;
        const double a2 = cosim * a7 + sinim * a8;
        const double a4 = cosim * a9 + sinim * a10;
        const double a5 = -sinim * a7 + cosim * a8;
        const double a6 = -sinim * a9 + cosim * a10;
        const double x1 = a1 * cosomm + a2 * sinomm;
        const double x2 = a3 * cosomm + a4 * sinomm;
        const double x3 = -a1 * sinomm + a2 * cosomm;
        const double x4 = -a3 * sinomm + a4 * cosomm;
        const double x5 = a5 * sinomm;
        const double x6 = a6 * sinomm;
        const double x7 = a5 * cosomm;
        const double x8 = a6 * cosomm;
        r.z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
        r.z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
        r.z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
        r.z1 = 3.0 * (a1 * a1 + a2 * a2) + r.z31 * emsq;
        r.z2 = 6.0 * (a1 * a3 + a2 * a4) + r.z32 * emsq;
        r.z3 = 3.0 * (a3 * a3 + a4 * a4) + r.z33 * emsq;
        r.z11 = -6.0 * a1 * a5 + emsq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
        r.z12 = -6.0 * (a1 * a6 + a3 * a5)
            + emsq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
        r.z13 = -6.0 * a3 * a6 + emsq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
        r.z21 = 6.0 * a2 * a5 + emsq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
        r.z22 = 6.0 * (a4 * a5 + a2 * a6)
            + emsq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
        r.z23 = 6.0 * a4 * a6 + emsq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
        r.z1 = r.z1 + r.z1 + betasq * r.z31;
        r.z2 = r.z2 + r.z2 + betasq * r.z32;
        r.z3 = r.z3 + r.z3 + betasq * r.z33;
        r.s3 = cc / nm;
        r.s2 = -0.5 * r.s3 / rtemsq;
        r.s4 = r.s3 * rtemsq;
        r.s1 = -15.0 * em * r.s4;
        r.s5 = x1 * x3 + x2 * x4;
        r.s6 = x2 * x3 + x1 * x4;
        r.s7 = x2 * x4 - x1 * x3;
        return r;
    };
    const Terms sun = terms(zcosgs, zsings, zcosis, zsinis, cnodm, snodm, c1ss);
    const Terms moon = terms(zcosgl, zsingl, zcosil, zsinil, zcoshl * cnodm + zsinhl * snodm,
        snodm * zcoshl - cnodm * zsinhl, c1l);

    m_zmol = FmodTwoPi(4.7199672 + 0.22997150 * day - gam);
    m_zmos = FmodTwoPi(6.2565837 + 0.017201977 * day);

    // Periodic coefficients, sun.
    m_se2 = 2.0 * sun.s1 * sun.s6;
    m_se3 = 2.0 * sun.s1 * sun.s7;
    m_si2 = 2.0 * sun.s2 * sun.z12;
    m_si3 = 2.0 * sun.s2 * (sun.z13 - sun.z11);
    m_sl2 = -2.0 * sun.s3 * sun.z2;
    m_sl3 = -2.0 * sun.s3 * (sun.z3 - sun.z1);
    m_sl4 = -2.0 * sun.s3 * (-21.0 - 9.0 * emsq) * zes;
    m_sgh2 = 2.0 * sun.s4 * sun.z32;
    m_sgh3 = 2.0 * sun.s4 * (sun.z33 - sun.z31);
    m_sgh4 = -18.0 * sun.s4 * zes;
    m_sh2 = -2.0 * sun.s2 * sun.z22;
    m_sh3 = -2.0 * sun.s2 * (sun.z23 - sun.z21);
    // Periodic coefficients, moon.
    m_ee2 = 2.0 * moon.s1 * moon.s6;
    m_e3 = 2.0 * moon.s1 * moon.s7;
    m_xi2 = 2.0 * moon.s2 * moon.z12;
    m_xi3 = 2.0 * moon.s2 * (moon.z13 - moon.z11);
    m_xl2 = -2.0 * moon.s3 * moon.z2;
    m_xl3 = -2.0 * moon.s3 * (moon.z3 - moon.z1);
    m_xl4 = -2.0 * moon.s3 * (-21.0 - 9.0 * emsq) * zel;
    m_xgh2 = 2.0 * moon.s4 * moon.z32;
    m_xgh3 = 2.0 * moon.s4 * (moon.z33 - moon.z31);
    m_xgh4 = -18.0 * moon.s4 * zel;
    m_xh2 = -2.0 * moon.s2 * moon.z22;
    m_xh3 = -2.0 * moon.s2 * (moon.z23 - moon.z21);

    // Secular rates from the sun and the moon. Near 0 and 180 deg inclination
    // the node is undefined: its rate is left out there.
    const bool nearEquatorial = m_inclo < 5.2359877e-2 || m_inclo > Pi - 5.2359877e-2;
    const double ses = sun.s1 * zns * sun.s5;
    const double sis = sun.s2 * zns * (sun.z11 + sun.z13);
    const double sls = -zns * sun.s3 * (sun.z1 + sun.z3 - 14.0 - 6.0 * emsq);
    const double sghs = sun.s4 * zns * (sun.z31 + sun.z33 - 6.0);
    double shs = nearEquatorial ? 0.0 : -zns * sun.s2 * (sun.z21 + sun.z23);
    if (sinim != 0.0)
        shs /= sinim;
    const double sgs = sghs - cosim * shs;
    m_dedt = ses + moon.s1 * znl * moon.s5;
    m_didt = sis + moon.s2 * znl * (moon.z11 + moon.z13);
    m_dmdt = sls - znl * moon.s3 * (moon.z1 + moon.z3 - 14.0 - 6.0 * emsq);
    const double sghl = moon.s4 * znl * (moon.z31 + moon.z33 - 6.0);
    const double shll = nearEquatorial ? 0.0 : -znl * moon.s2 * (moon.z21 + moon.z23);
    m_domdt = sgs + sghl;
    m_dnodt = shs;
    if (sinim != 0.0) {
        m_domdt -= cosim / sinim * shll;
        m_dnodt += shll / sinim;
    }

    // Geopotential resonance: one revolution a day (geostationary) or two
    // with a large eccentricity (Molniya).
    if (nm < 0.0052359877 && nm > 0.0034906585)
        m_irez = 1;
    if (nm >= 8.26e-3 && nm <= 9.24e-3 && em >= 0.5)
        m_irez = 2;
    if (m_irez == 0)
        return;

    constexpr double rptim = 4.37526908801129966e-3; // earth rotation, rad/min
    const double theta = FmodTwoPi(m_gsto);
    const double aonv = std::pow(nm / Xke, TwoThirds);
    if (m_irez == 2) {
        constexpr double root22 = 1.7891679e-6, root32 = 3.7393792e-7, root44 = 7.3636953e-9;
        constexpr double root52 = 1.1428639e-7, root54 = 2.1765803e-9;
        const double cosisq = cosim * cosim;
        const double e = m_ecco, esq = e * e, eoc = e * esq;
        const double g201 = -0.306 - (e - 0.64) * 0.440;
        double g211, g310, g322, g410, g422, g520;
        if (e <= 0.65) {
            g211 = 3.616 - 13.2470 * e + 16.2900 * esq;
            g310 = -19.302 + 117.3900 * e - 228.4190 * esq + 156.5910 * eoc;
            g322 = -18.9068 + 109.7927 * e - 214.6334 * esq + 146.5816 * eoc;
            g410 = -41.122 + 242.6940 * e - 471.0940 * esq + 313.9530 * eoc;
            g422 = -146.407 + 841.8800 * e - 1629.014 * esq + 1083.4350 * eoc;
            g520 = -532.114 + 3017.977 * e - 5740.032 * esq + 3708.2760 * eoc;
        } else {
            g211 = -72.099 + 331.819 * e - 508.738 * esq + 266.724 * eoc;
            g310 = -346.844 + 1582.851 * e - 2415.925 * esq + 1246.113 * eoc;
            g322 = -342.585 + 1554.908 * e - 2366.899 * esq + 1215.972 * eoc;
            g410 = -1052.797 + 4758.686 * e - 7193.992 * esq + 3651.957 * eoc;
            g422 = -3581.690 + 16178.110 * e - 24462.770 * esq + 12422.520 * eoc;
            g520 = e > 0.715 ? -5149.66 + 29936.92 * e - 54087.36 * esq + 31324.56 * eoc
                             : 1464.74 - 4664.75 * e + 3763.64 * esq;
        }
        double g533, g521, g532;
        if (e < 0.7) {
            g533 = -919.22770 + 4988.6100 * e - 9064.7700 * esq + 5542.21 * eoc;
            g521 = -822.71072 + 4568.6173 * e - 8491.4146 * esq + 5337.524 * eoc;
            g532 = -853.66600 + 4690.2500 * e - 8624.7700 * esq + 5341.4 * eoc;
        } else {
            g533 = -37995.780 + 161616.52 * e - 229838.20 * esq + 109377.94 * eoc;
            g521 = -51752.104 + 218913.95 * e - 309468.16 * esq + 146349.42 * eoc;
            g532 = -40023.880 + 170470.89 * e - 242699.48 * esq + 115605.82 * eoc;
        }
        const double sini2 = sinim * sinim;
        const double f220 = 0.75 * (1.0 + 2.0 * cosim + cosisq);
        const double f221 = 1.5 * sini2;
        const double f321 = 1.875 * sinim * (1.0 - 2.0 * cosim - 3.0 * cosisq);
        const double f322 = -1.875 * sinim * (1.0 + 2.0 * cosim - 3.0 * cosisq);
        const double f441 = 35.0 * sini2 * f220;
        const double f442 = 39.3750 * sini2 * sini2;
        const double f522 = 9.84375 * sinim
            * (sini2 * (1.0 - 2.0 * cosim - 5.0 * cosisq)
                + 0.33333333 * (-2.0 + 4.0 * cosim + 6.0 * cosisq));
        const double f523 = sinim
            * (4.92187512 * sini2 * (-2.0 - 4.0 * cosim + 10.0 * cosisq)
                + 6.56250012 * (1.0 + 2.0 * cosim - 3.0 * cosisq));
        const double f542 = 29.53125 * sinim
            * (2.0 - 8.0 * cosim + cosisq * (-12.0 + 8.0 * cosim + 10.0 * cosisq));
        const double f543 = 29.53125 * sinim
            * (-2.0 - 8.0 * cosim + cosisq * (12.0 + 8.0 * cosim - 10.0 * cosisq));
        const double xno2 = nm * nm;
        const double ainv2 = aonv * aonv;
        double temp1 = 3.0 * xno2 * ainv2;
        double temp = temp1 * root22;
        m_d2201 = temp * f220 * g201;
        m_d2211 = temp * f221 * g211;
        temp1 *= aonv;
        temp = temp1 * root32;
        m_d3210 = temp * f321 * g310;
        m_d3222 = temp * f322 * g322;
        temp1 *= aonv;
        temp = 2.0 * temp1 * root44;
        m_d4410 = temp * f441 * g410;
        m_d4422 = temp * f442 * g422;
        temp1 *= aonv;
        temp = temp1 * root52;
        m_d5220 = temp * f522 * g520;
        m_d5232 = temp * f523 * g532;
        temp = 2.0 * temp1 * root54;
        m_d5421 = temp * f542 * g521;
        m_d5433 = temp * f543 * g533;
        m_xlamo = FmodTwoPi(m_mo + m_nodeo + m_nodeo - theta - theta);
        m_xfact = m_mdot + m_dmdt + 2.0 * (m_nodedot + m_dnodt - rptim) - m_no;
    } else {
        constexpr double q22 = 1.7891679e-6, q31 = 2.1460748e-6, q33 = 2.2123015e-7;
        const double g200 = 1.0 + emsq * (-2.5 + 0.8125 * emsq);
        const double g310 = 1.0 + 2.0 * emsq;
        const double g300 = 1.0 + emsq * (-6.0 + 6.60937 * emsq);
        const double f220 = 0.75 * (1.0 + cosim) * (1.0 + cosim);
        const double f311 = 0.9375 * sinim * sinim * (1.0 + 3.0 * cosim) - 0.75 * (1.0 + cosim);
        double f330 = 1.0 + cosim;
        f330 = 1.875 * f330 * f330 * f330;
        const double del1 = 3.0 * nm * nm * aonv * aonv;
        m_del2 = 2.0 * del1 * f220 * g200 * q22;
        m_del3 = 3.0 * del1 * f330 * g300 * q33 * aonv;
        m_del1 = del1 * f311 * g310 * q31 * aonv;
        m_xlamo = FmodTwoPi(m_mo + m_nodeo + m_argpo - theta);
        m_xfact = m_mdot + (m_argpdot + m_nodedot) - rptim + m_dmdt + m_domdt + m_dnodt - m_no;
    }
}

Sgp4::ResonanceRates Sgp4::RatesAt(const ResonanceNode& node, double atime) const
{
    constexpr double fasx2 = 0.13130908, fasx4 = 2.8843198, fasx6 = 0.37448087;
    constexpr double g22 = 5.7686396, g32 = 0.95240898, g44 = 1.8014998;
    constexpr double g52 = 1.0508330, g54 = 4.4108898;
    const double xli = node.Xli;
    ResonanceRates r;
    if (m_irez != 2) {
        r.Xndt = m_del1 * std::sin(xli - fasx2) + m_del2 * std::sin(2.0 * (xli - fasx4))
            + m_del3 * std::sin(3.0 * (xli - fasx6));
        r.Xldot = node.Xni + m_xfact;
        r.Xnddt = m_del1 * std::cos(xli - fasx2) + 2.0 * m_del2 * std::cos(2.0 * (xli - fasx4))
            + 3.0 * m_del3 * std::cos(3.0 * (xli - fasx6));
        r.Xnddt *= r.Xldot;
        return r;
    }
    const double xomi = m_argpo + m_argpdot * atime;
    const double x2omi = xomi + xomi;
    const double x2li = xli + xli;
    r.Xndt = m_d2201 * std::sin(x2omi + xli - g22) + m_d2211 * std::sin(xli - g22)
        + m_d3210 * std::sin(xomi + xli - g32) + m_d3222 * std::sin(-xomi + xli - g32)
        + m_d4410 * std::sin(x2omi + x2li - g44) + m_d4422 * std::sin(x2li - g44)
        + m_d5220 * std::sin(xomi + xli - g52) + m_d5232 * std::sin(-xomi + xli - g52)
        + m_d5421 * std::sin(xomi + x2li - g54) + m_d5433 * std::sin(-xomi + x2li - g54);
    r.Xldot = node.Xni + m_xfact;
    r.Xnddt = m_d2201 * std::cos(x2omi + xli - g22) + m_d2211 * std::cos(xli - g22)
        + m_d3210 * std::cos(xomi + xli - g32) + m_d3222 * std::cos(-xomi + xli - g32)
        + m_d5220 * std::cos(xomi + xli - g52) + m_d5232 * std::cos(-xomi + xli - g52)
        + 2.0
            * (m_d4410 * std::cos(x2omi + x2li - g44) + m_d4422 * std::cos(x2li - g44)
                + m_d5421 * std::cos(xomi + x2li - g54) + m_d5433 * std::cos(-xomi + x2li - g54));
    r.Xnddt *= r.Xldot;
    return r;
}

Sgp4::ResonanceNode Sgp4::ResonanceSteps::Node(const Sgp4& theory, std::size_t step, bool forward)
{
    constexpr double stepp = 720.0, step2 = 259200.0;
    const double delt = forward ? stepp : -stepp;
    const std::lock_guard<std::mutex> hold(m_lock);
    std::vector<ResonanceNode>& nodes = forward ? m_forward : m_backward;
    if (nodes.empty())
        nodes.push_back({ theory.m_xlamo, theory.m_no });
    while (nodes.size() <= step) {
        const ResonanceNode n = nodes.back();
        const double atime = static_cast<double>(nodes.size() - 1) * delt;
        const ResonanceRates r = theory.RatesAt(n, atime);
        nodes.push_back(
            { n.Xli + r.Xldot * delt + r.Xndt * step2, n.Xni + r.Xndt * delt + r.Xnddt * step2 });
    }
    return nodes[step];
}

void Sgp4::DeepSecular(double t, double& em, double& argpm, double& inclm, double& mm,
    double& nodem, double& nm, double& mmContinuous) const
{
    constexpr double rptim = 4.37526908801129966e-3;
    em += m_dedt * t;
    inclm += m_didt * t;
    argpm += m_domdt * t;
    nodem += m_dnodt * t;
    mm += m_dmdt * t;
    mmContinuous = mm;
    if (m_irez == 0)
        return;

    // Resonance: integrate the mean longitude and mean motion in steps of
    // 720 minutes from the epoch (Euler-Maclaurin with the second derivative),
    // then a last partial step. The state at each whole step depends on the
    // set alone, so the steps are kept and the integration restarts from the
    // last whole step before t: a geostationary set a month old otherwise
    // redoes sixty steps of a dozen sines at every instant.
    constexpr double stepp = 720.0;
    const double theta = FmodTwoPi(m_gsto + t * rptim);
    const double delt = t > 0.0 ? stepp : -stepp;
    double atime = 0.0;
    std::size_t steps = 0;
    while (!(std::fabs(t - atime) < stepp)) {
        if (++steps > MaxResonanceSteps)
            throw OrbitError(
                "SGP4 cannot integrate the resonance " + std::to_string(t) + " min from the epoch");
        atime += delt;
    }
    const ResonanceNode node = m_resonance->Node(*this, steps, t > 0.0);
    const ResonanceRates r = RatesAt(node, atime);
    const double ft = t - atime;
    const double xni = node.Xni, xli = node.Xli;
    const double xndt = r.Xndt, xldot = r.Xldot, xnddt = r.Xnddt;
    nm = xni + xndt * ft + xnddt * ft * ft * 0.5;
    const double xl = xli + xldot * ft + xndt * ft * ft * 0.5;
    // The theory takes the sidereal angle reduced to one turn; the orbit count
    // takes it unreduced, so that it does not jump once a day.
    const double thetaContinuous = m_gsto + t * rptim;
    if (m_irez != 1) {
        mm = xl - 2.0 * nodem + 2.0 * theta;
        mmContinuous = xl - 2.0 * nodem + 2.0 * thetaContinuous;
    } else {
        mm = xl - nodem - argpm + theta;
        mmContinuous = xl - nodem - argpm + thetaContinuous;
    }
}

void Sgp4::LunarSolarPeriodics(
    double t, double& ep, double& inclp, double& nodep, double& argpp, double& mp) const
{
    constexpr double zns = 1.19459e-5, zes = 0.01675, znl = 1.5835218e-4, zel = 0.05490;
    // Sun.
    double zm = m_zmos + zns * t;
    double zf = zm + 2.0 * zes * std::sin(zm);
    double sinzf = std::sin(zf);
    double f2 = 0.5 * sinzf * sinzf - 0.25;
    double f3 = -0.5 * sinzf * std::cos(zf);
    const double ses = m_se2 * f2 + m_se3 * f3;
    const double sis = m_si2 * f2 + m_si3 * f3;
    const double sls = m_sl2 * f2 + m_sl3 * f3 + m_sl4 * sinzf;
    const double sghs = m_sgh2 * f2 + m_sgh3 * f3 + m_sgh4 * sinzf;
    const double shs = m_sh2 * f2 + m_sh3 * f3;
    // Moon.
    zm = m_zmol + znl * t;
    zf = zm + 2.0 * zel * std::sin(zm);
    sinzf = std::sin(zf);
    f2 = 0.5 * sinzf * sinzf - 0.25;
    f3 = -0.5 * sinzf * std::cos(zf);
    const double sel = m_ee2 * f2 + m_e3 * f3;
    const double sil = m_xi2 * f2 + m_xi3 * f3;
    const double sll = m_xl2 * f2 + m_xl3 * f3 + m_xl4 * sinzf;
    const double sghl = m_xgh2 * f2 + m_xgh3 * f3 + m_xgh4 * sinzf;
    const double shll = m_xh2 * f2 + m_xh3 * f3;

    // The terms at the epoch are zero by construction of the theory.
    const double pe = ses + sel;
    const double pinc = sis + sil;
    const double pl = sls + sll;
    double pgh = sghs + sghl;
    double ph = shs + shll;

    inclp += pinc;
    ep += pe;
    const double sinip = std::sin(inclp), cosip = std::cos(inclp);
    if (inclp >= 0.2) {
        ph /= sinip;
        pgh -= cosip * ph;
        argpp += pgh;
        nodep += ph;
        mp += pl;
    } else {
        // Low inclination: Lyddane's form, free of the 1 / sin i singularity.
        const double sinop = std::sin(nodep), cosop = std::cos(nodep);
        double alfdp = sinip * sinop;
        double betdp = sinip * cosop;
        const double dalf = ph * cosop + pinc * cosip * sinop;
        const double dbet = -ph * sinop + pinc * cosip * cosop;
        alfdp += dalf;
        betdp += dbet;
        nodep = FmodTwoPi(nodep);
        double xls = mp + argpp + cosip * nodep;
        const double dls = pl + pgh - pinc * nodep * sinip;
        xls += dls;
        const double xnoh = nodep;
        nodep = std::atan2(alfdp, betdp);
        if (std::fabs(xnoh - nodep) > Pi)
            nodep += nodep < xnoh ? TwoPi : -TwoPi;
        mp += pl;
        argpp = xls - mp - cosip * nodep;
    }
}

Sgp4Result Sgp4::Propagate(double t) const
{
    return Evaluate(t, Part::Full);
}

std::array<double, 3> Sgp4::PositionKm(double t) const
{
    return Evaluate(t, Part::Position).Teme.PositionKm;
}

Sgp4MeanElements Sgp4::MeanElements(double t) const
{
    return Evaluate(t, Part::Mean).Mean;
}

Sgp4Result Sgp4::Evaluate(double t, Part part) const
{
    const bool withVelocity = part == Part::Full;
    // Secular gravity and drag.
    const double xmdf = m_mo + m_mdot * t;
    const double argpdf = m_argpo + m_argpdot * t;
    const double nodedf = m_nodeo + m_nodedot * t;
    double argpm = argpdf;
    double mm = xmdf;
    const double t2 = t * t;
    double nodem = nodedf + m_nodecf * t2;
    double tempa = 1.0 - m_cc1 * t;
    double tempe = m_bstar * m_cc4 * t;
    double templ = m_t2cof * t2;
    if (!m_simple) {
        const double delomg = m_omgcof * t;
        const double delmtemp = 1.0 + m_eta * std::cos(xmdf);
        const double delm = m_xmcof * (delmtemp * delmtemp * delmtemp - m_delmo);
        const double temp = delomg + delm;
        mm = xmdf + temp;
        argpm = argpdf - temp;
        const double t3 = t2 * t, t4 = t3 * t;
        tempa = tempa - m_d2 * t2 - m_d3 * t3 - m_d4 * t4;
        tempe += m_bstar * m_cc5 * (std::sin(mm) - m_sinmao);
        templ += m_t3cof * t3 + t4 * (m_t4cof + t * m_t5cof);
    }
    double nm = m_no;
    double em = m_ecco;
    double inclm = m_inclo;
    double mmContinuous = mm;
    if (m_deepSpace)
        DeepSecular(t, em, argpm, inclm, mm, nodem, nm, mmContinuous);

    if (nm <= 0.0)
        throw Sgp4Error(Sgp4ErrorCode::MeanMotion, t);
    // Near the earth nm is still the set's own mean motion, whose power the
    // constructor took already (the same value, bit for bit).
    const double am = (nm == m_no ? m_ao : std::pow(Xke / nm, TwoThirds)) * tempa * tempa;
    // The velocity's and the mean elements' alone.
    nm = part != Part::Position ? Xke / std::pow(am, 1.5) : 0.0;
    em -= tempe;
    if (em >= 1.0 || em < -0.001 || !(am == am))
        throw Sgp4Error(Sgp4ErrorCode::MeanEccentricity, t);
    if (em < 1.0e-6)
        em = 1.0e-6; // keeps the short-period terms free of a division by zero
    mm += m_no * templ;
    double xlm = mm + argpm + nodem;
    const double revolutions = (mmContinuous + m_no * templ + argpm - m_mo - m_argpo) / TwoPi;
    nodem = FmodTwoPi(nodem);
    argpm = FmodTwoPi(argpm);
    xlm = FmodTwoPi(xlm);
    mm = FmodTwoPi(xlm - argpm - nodem);

    Sgp4Result result;
    Sgp4MeanElements& mean = result.Mean;
    mean.SemiMajorAxisEr = am;
    mean.Eccentricity = em;
    mean.Inclination = inclm;
    mean.Node = nodem < 0.0 ? nodem + TwoPi : nodem;
    mean.ArgPerigee = argpm < 0.0 ? argpm + TwoPi : argpm;
    mean.MeanAnomaly = mm < 0.0 ? mm + TwoPi : mm;
    mean.MeanMotionRadPerMin = nm;
    mean.RevolutionsSinceEpoch = revolutions;
    if (part == Part::Mean)
        return result;

    // Lunar-solar periodics.
    double ep = em, xincp = inclm, argpp = argpm, nodep = nodem, mp = mm;
    // Near the earth the inclination is the set's own; deep space works
    // them out again below.
    double sinip = m_sinio, cosip = m_cosio;
    double aycof = m_aycof, xlcof = m_xlcof;
    double con41 = m_con41, x1mth2 = m_x1mth2, x7thm1 = m_x7thm1;
    if (m_deepSpace) {
        LunarSolarPeriodics(t, ep, xincp, nodep, argpp, mp);
        if (xincp < 0.0) {
            xincp = -xincp;
            nodep += Pi;
            argpp -= Pi;
        }
        if (ep < 0.0 || ep > 1.0)
            throw Sgp4Error(Sgp4ErrorCode::PerturbedEccentricity, t);
        sinip = std::sin(xincp);
        cosip = std::cos(xincp);
        aycof = -0.5 * J3OverJ2 * sinip;
        const double onePlusCos = std::fabs(cosip + 1.0) > 1.5e-12 ? 1.0 + cosip : 1.5e-12;
        xlcof = -0.25 * J3OverJ2 * sinip * (3.0 + 5.0 * cosip) / onePlusCos;
        const double cosisq = cosip * cosip;
        con41 = 3.0 * cosisq - 1.0;
        x1mth2 = 1.0 - cosisq;
        x7thm1 = 7.0 * cosisq - 1.0;
    }

    // Long-period periodics (J3).
    const double axnl = ep * std::cos(argpp);
    double temp = 1.0 / (am * (1.0 - ep * ep));
    const double aynl = ep * std::sin(argpp) + temp * aycof;
    const double xl = mp + argpp + nodep + temp * xlcof * axnl;

    // Kepler's equation for the eccentric longitude, Newton with the step
    // limited to 0.95 rad, at most ten rounds.
    const double u = FmodTwoPi(xl - nodep);
    double eo1 = u;
    double sineo1 = 0, coseo1 = 0;
    double tem5 = 9999.9;
    for (int round = 1; std::fabs(tem5) >= 1.0e-12 && round <= 10; ++round) {
        sineo1 = std::sin(eo1);
        coseo1 = std::cos(eo1);
        tem5 = 1.0 - coseo1 * axnl - sineo1 * aynl;
        tem5 = (u - aynl * coseo1 + axnl * sineo1 - eo1) / tem5;
        if (std::fabs(tem5) >= 0.95)
            tem5 = tem5 > 0.0 ? 0.95 : -0.95;
        eo1 += tem5;
    }

    // Short-period periodics (J2).
    const double ecose = axnl * coseo1 + aynl * sineo1;
    const double esine = axnl * sineo1 - aynl * coseo1;
    const double el2 = axnl * axnl + aynl * aynl;
    const double pl = am * (1.0 - el2);
    if (pl < 0.0)
        throw Sgp4Error(Sgp4ErrorCode::SemiLatusRectum, t);
    const double rl = am * (1.0 - ecose);
    const double betal = std::sqrt(1.0 - el2);
    temp = esine / (1.0 + betal);
    const double sinu = am / rl * (sineo1 - aynl - axnl * temp);
    const double cosu = am / rl * (coseo1 - axnl + aynl * temp);
    double su = std::atan2(sinu, cosu);
    const double sin2u = (cosu + cosu) * sinu;
    const double cos2u = 1.0 - 2.0 * sinu * sinu;
    temp = 1.0 / pl;
    const double temp1 = 0.5 * wgs72::J2 * temp;
    const double temp2 = temp1 * temp;
    const double mrt = rl * (1.0 - 1.5 * temp2 * betal * con41) + 0.5 * temp1 * x1mth2 * cos2u;
    su -= 0.25 * temp2 * x7thm1 * sin2u;
    const double xnode = nodep + 1.5 * temp2 * cosip * sin2u;
    const double xinc = xincp + 1.5 * temp2 * cosip * sinip * cos2u;

    // Orientation: unit vectors along the radius and across it in the plane.
    const double sinsu = std::sin(su), cossu = std::cos(su);
    const double snod = std::sin(xnode), cnod = std::cos(xnode);
    const double sini = std::sin(xinc), cosi = std::cos(xinc);
    const double xmx = -snod * cosi;
    const double xmy = cnod * cosi;
    const double ux = xmx * sinsu + cnod * cossu;
    const double uy = xmy * sinsu + snod * cossu;
    const double uz = sini * sinsu;

    if (mrt < 1.0)
        throw Sgp4Error(Sgp4ErrorCode::Decayed, t);
    // Nothing that is not a number leaves the theory (it would reach the
    // operator's screen as "nan").
    const auto noFiniteState = [t] {
        return OrbitError(
            "SGP4 gives no finite state at " + std::to_string(t) + " min from the epoch");
    };
    if (!std::isfinite(mrt + ux + uy + uz))
        throw noFiniteState();
    const double rKm = mrt * wgs72::EarthRadius;
    result.Teme.PositionKm = { rKm * ux, rKm * uy, rKm * uz };
    if (!withVelocity)
        return result;

    const double rdotl = std::sqrt(am) * esine / rl;
    const double rvdotl = std::sqrt(pl) / rl;
    const double mvt = rdotl - nm * temp1 * x1mth2 * sin2u / Xke;
    const double rvdot = rvdotl + nm * temp1 * (x1mth2 * cos2u + 1.5 * con41) / Xke;
    const double vx = xmx * cossu - cnod * sinsu;
    const double vy = xmy * cossu - snod * sinsu;
    const double vz = sini * cossu;
    if (!std::isfinite(mvt + rvdot + vx + vy + vz))
        throw noFiniteState();
    result.Teme.VelocityKmPerSec = { (mvt * ux + rvdot * vx) * VelocityKmPerSec,
        (mvt * uy + rvdot * vy) * VelocityKmPerSec, (mvt * uz + rvdot * vz) * VelocityKmPerSec };
    return result;
}

} // namespace aostrack
