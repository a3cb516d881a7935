// The transponder mapping and the two Doppler legs, against worked examples
// (dials computed by hand from down x (1 - rr/c) and up / (1 - rr/c)).
#include <gtest/gtest.h>

#include "radio/DopplerLegs.h"

namespace aostrack {
namespace {

TEST(DopplerLegsTest, TransmitterTable)
{
    const TransmitterFrequencies rs44 { 435610000, 435670000, 145935000, 145995000, true };
    const TransmitterFrequencies ao7A { 29400000, 29500000, 145850000, 145950000, false };
    const TransmitterFrequencies so50 { 436795000, std::nullopt, 145850000, std::nullopt, false };
    const TransmitterFrequencies beacon { 435605000, std::nullopt, std::nullopt, std::nullopt,
        true };
    const TransmitterFrequencies qo100 { 10489500000, 10490000000, 2400000000, 2400500000, false };
    const struct {
        const char* name;
        TransmitterFrequencies f;
        std::optional<double> point;
        double rangeRate;
        DialSetup setup;
        std::optional<double> down, up, rxDial, txDial;
    } cases[] = {
        // The worked example: inverting, the centre pairs 435.640 with 145.965 MHz.
        { "RS-44", rs44, std::nullopt, -6.5, {}, 435640000, 145965000, 435649445, 145961835 },
        { "RS-44 low edge", rs44, 435610000, 0, {}, 435610000, 145995000, 435610000, 145995000 },
        { "RS-44 offsets", rs44, 435640000, -6.5, { 0, 0, 120, -80 }, 435640000, 145965000,
            435649565, 145961755 },
        // Non-inverting 2 m up, 10 m down; receding.
        { "AO-7 mode A", ao7A, 29450000, 4.2, {}, 29450000, 145900000, 29449587, 145902044 },
        // FM: the fixed frequencies; the tone travels with the row, not here.
        { "SO-50", so50, 436800000, 3.1, {}, 436795000, 145850000, 436790483, 145851508 },
        // A beacon: no uplink leg, "invert" on a row that is no transponder.
        { "beacon", beacon, std::nullopt, -2.0, {}, 435605000, std::nullopt, 435607906,
            std::nullopt },
        // A 9750 MHz LNB and a 1968 MHz-LO up-converter (low-side mixing).
        { "QO-100 converters", qo100, 10489750000, 0, { 9750000000, 1968000000, 0, 0 }, 10489750000,
            2400250000, 739750000, 432250000 },
        // High-side mixing: a negative LO.
        { "high-side LO", so50, std::nullopt, 0, { -1000000000, 0, 0, 0 }, 436795000, 145850000,
            1436795000, 145850000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SatelliteLegs legs = LegsAtSatellite(c.f, c.point);
        EXPECT_EQ(legs.DownlinkHz, c.down);
        EXPECT_EQ(legs.UplinkHz, c.up);
        const DialFrequencies dials = DialsFor(legs, c.rangeRate, c.setup);
        ASSERT_EQ(dials.ReceiveDialHz.has_value(), c.rxDial.has_value());
        ASSERT_EQ(dials.TransmitDialHz.has_value(), c.txDial.has_value());
        if (c.rxDial) {
            EXPECT_NEAR(*dials.ReceiveDialHz, *c.rxDial, 0.5);
        }
        if (c.txDial) {
            EXPECT_NEAR(*dials.TransmitDialHz, *c.txDial, 0.5);
        }
    }
}

} // namespace
} // namespace aostrack
