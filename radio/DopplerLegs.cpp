#include "radio/DopplerLegs.h"

namespace aostrack {

bool IsLinearPassband(const TransmitterFrequencies& f)
{
    return f.DownlinkLowHz && f.DownlinkHighHz && f.UplinkLowHz && f.UplinkHighHz
        && *f.DownlinkHighHz > *f.DownlinkLowHz && *f.UplinkHighHz > *f.UplinkLowHz;
}

double PassbandUplinkHz(const TransmitterFrequencies& f, double downHz)
{
    const double fromLow = downHz - f.DownlinkLowHz.value_or(0);
    return f.Invert ? f.UplinkHighHz.value_or(0) - fromLow : f.UplinkLowHz.value_or(0) + fromLow;
}

SatelliteLegs LegsAtSatellite(
    const TransmitterFrequencies& f, std::optional<double> passbandPointHz)
{
    if (!IsLinearPassband(f))
        return { f.DownlinkLowHz, f.UplinkLowHz };
    const double down = passbandPointHz.value_or((*f.DownlinkLowHz + *f.DownlinkHighHz) / 2);
    return { down, PassbandUplinkHz(f, down) };
}

double ReceiveDopplerHz(double downHz, double rangeRateKmPerSec)
{
    return downHz * (1 - rangeRateKmPerSec / kSpeedOfLightKmPerSec);
}

double TransmitDopplerHz(double upHz, double rangeRateKmPerSec)
{
    return upHz / (1 - rangeRateKmPerSec / kSpeedOfLightKmPerSec);
}

DialFrequencies DialsFor(
    const SatelliteLegs& legs, double rangeRateKmPerSec, const DialSetup& setup)
{
    DialFrequencies dials;
    if (legs.DownlinkHz)
        dials.ReceiveDialHz = ReceiveDopplerHz(*legs.DownlinkHz, rangeRateKmPerSec)
            + setup.RxOffsetHz - setup.RxLoHz;
    if (legs.UplinkHz)
        dials.TransmitDialHz = TransmitDopplerHz(*legs.UplinkHz, rangeRateKmPerSec)
            + setup.TxOffsetHz - setup.TxLoHz;
    return dials;
}

} // namespace aostrack
