// The plausibility check of element sets: real sets pass, each field refuses
// values outside its meaning (the damaged values of hostile pages among them),
// and absurd epochs give finite day numbers instead of integer overflow.
#include "orbit/ElementCheck.h"
#include "orbit/Engine.h"
#include "orbit/Sgp4.h"
#include "orbit/TimeAngle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace aostrack {
namespace {

// ISS (ZARYA) of tests/orbit/data/amateur.txt.
ElementSet Iss()
{
    ElementSet e;
    e.Epoch = 24043.00684501;
    e.Inclination = 51.6406;
    e.RAAN = 220.6676;
    e.Eccentricity = 0.0001921;
    e.ArgPerigee = 228.7563;
    e.EpochMeanAnomaly = 273.944;
    e.MeanMotion = 15.49783958;
    e.Decay = 0.00020902;
    e.EpochRev = 43898;
    return e;
}

TEST(CheckElementSet, RealSetsAndEdgesPass)
{
    EXPECT_EQ(CheckElementSet(Iss()), std::nullopt);
    struct Case {
        double ElementSet::*field;
        double value;
    };
    const Case edges[] = {
        { &ElementSet::Epoch, 1.0 }, // year 00 (2000), 1 January 0h
        { &ElementSet::Epoch, 99366.99999999 }, // last instant of a leap year 99
        { &ElementSet::Inclination, 0.0 },
        { &ElementSet::Inclination, 180.0 },
        { &ElementSet::RAAN, 360.0 },
        { &ElementSet::Eccentricity, 0.0 },
        { &ElementSet::Eccentricity, 0.9999999 }, // the most the seven digits can hold
        { &ElementSet::MeanMotion, 1.00270 }, // geostationary
        { &ElementSet::MeanMotion, 0.01 },
        { &ElementSet::MeanMotion, 20.0 },
        { &ElementSet::Decay, -0.99999999 }, // the most the column can hold
        { &ElementSet::Decay, 0.12345678 }, // a set days before re-entry
        { &ElementSet::EpochRev, 0.0 },
        { &ElementSet::EpochRev, 99999.0 },
        { &ElementSet::BStar, -0.11606e-4 },
    };
    for (const Case& c : edges) {
        ElementSet e = Iss();
        e.*c.field = c.value;
        EXPECT_EQ(CheckElementSet(e), std::nullopt) << c.value;
    }
}

TEST(CheckElementSet, RefusesValuesOutsideTheirMeaning)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double ElementSet::*field;
        double value;
        const char* name;
    };
    const Case cases[] = {
        { &ElementSet::Epoch, 2147484000.0, "Epoch" },
        { &ElementSet::Epoch, -9999999999999.0, "Epoch" },
        { &ElementSet::Epoch, 0.0, "Epoch" }, // day 0 does not exist
        { &ElementSet::Epoch, 24000.5, "Epoch" },
        { &ElementSet::Epoch, 24367.0, "Epoch" },
        { &ElementSet::Epoch, nan, "Epoch" },
        { &ElementSet::Inclination, -0.1, "Inclination" },
        { &ElementSet::Inclination, 180.5, "Inclination" },
        { &ElementSet::RAAN, 360.01, "RAAN" },
        { &ElementSet::RAAN, inf, "RAAN" },
        { &ElementSet::Eccentricity, 1.0, "Eccentricity" },
        { &ElementSet::Eccentricity, -0.1, "Eccentricity" },
        { &ElementSet::ArgPerigee, -1.0, "ArgPerigee" },
        { &ElementSet::EpochMeanAnomaly, 1e9, "EpochMeanAnomaly" },
        { &ElementSet::MeanMotion, 1e300, "MeanMotion" },
        { &ElementSet::MeanMotion, 1e-300, "MeanMotion" },
        { &ElementSet::MeanMotion, 0.0001, "MeanMotion" },
        { &ElementSet::MeanMotion, 0.0, "MeanMotion" },
        { &ElementSet::MeanMotion, nan, "MeanMotion" },
        { &ElementSet::Decay, 9999999999.0, "Decay" },
        { &ElementSet::Decay, -9.9e300, "Decay" },
        { &ElementSet::EpochRev, -1.0, "EpochRev" },
        { &ElementSet::EpochRev, 1e12, "EpochRev" },
        { &ElementSet::BStar, 5e8, "BStar" }, // "50000+9" fits the drag column
        { &ElementSet::BStar, nan, "BStar" },
    };
    for (const Case& c : cases) {
        ElementSet e = Iss();
        e.*c.field = c.value;
        const auto fault = CheckElementSet(e);
        ASSERT_TRUE(fault.has_value()) << c.name << " " << c.value;
        EXPECT_EQ(fault->Field, c.name);
        EXPECT_FALSE(fault->Reason.empty());
    }
    ElementSet e = Iss();
    e.MeanMotion = 1e300;
    EXPECT_EQ(CheckElementSet(e)->Reason, "1e+300 is outside 0.01 to 20 rev/day");
}

TEST(EpochDayNumber, AbsurdEpochsStayFinite)
{
    // Year digits far beyond 99 used to overflow int in 1000 * YY and
    // 2000 + YY; computed in floating point a year is still 365 or 366 days.
    for (const double epoch : { 2147484000.0, 2147483001.0, -9999999999999.0, 9.9e18 }) {
        const double dn = EpochDayNumber(epoch);
        ASSERT_TRUE(std::isfinite(dn)) << epoch;
    }
    const double span = EpochDayNumber(2147484001.0) - EpochDayNumber(2147483001.0);
    EXPECT_TRUE(span == 365.0 || span == 366.0) << span;
    // -9999999999999: year 2000 - 9999999999, day -999; far before 1978.
    EXPECT_LT(EpochDayNumber(-9999999999999.0), -3.6e12);
    // The engine refuses such a set rather than propagating it.
    ElementSet e = Iss();
    e.Epoch = 2147484000.0;
    try {
        const OrbitModel model(e, Station {}, Attitude {});
        FAIL() << "engine took epoch " << e.Epoch;
    } catch (const OrbitError& error) {
        EXPECT_NE(std::string(error.what()).find("Epoch"), std::string::npos) << error.what();
    }
}

TEST(EpochDayNumber, Sgp4EpochOfDamagedYearIsRefused)
{
    // The SGP4 epoch conversion took the year digits into an int: 2147484000
    // overflowed it. Such an epoch is refused; real ones still convert.
    for (const double epoch : { 2147484000.0, -9999999999999.0, 100000.0, -1.0 })
        EXPECT_THROW(Sgp4EpochUnixSeconds(epoch), OrbitError) << epoch;
    EXPECT_DOUBLE_EQ(Sgp4EpochUnixSeconds(24043.0), 1707696000.0); // 2024-02-12 00:00 UTC
}

} // namespace
} // namespace aostrack
