#pragma once
// The transceiver's frequencies: the transponder's passband mapping and the
// two Doppler legs. Plain C++ (no Qt), all frequencies in Hz, range rate in
// km/s, positive while the satellite recedes. The rule is to hold the
// frequency at the satellite fixed and let both dials move around it.
#include <optional>

namespace aostrack {

inline constexpr double kSpeedOfLightKmPerSec = 299792.458;

// One transmitter's frequencies at the satellite, as the transmitter list
// gives them: a transponder has both passbands, an FM or single-frequency
// row only the lows, a beacon only the downlink.
struct TransmitterFrequencies {
    std::optional<double> DownlinkLowHz;
    std::optional<double> DownlinkHighHz;
    std::optional<double> UplinkLowHz;
    std::optional<double> UplinkHighHz;
    bool Invert = false;
};

// Both passbands are given and wide: the uplink follows the passband point.
bool IsLinearPassband(const TransmitterFrequencies& f);

// The uplink at the satellite that comes out at `downHz` in the downlink
// passband: non-inverting up_low + (down - down_low), inverting
// up_high - (down - down_low).
double PassbandUplinkHz(const TransmitterFrequencies& f, double downHz);

// The frequencies at the satellite; either leg may be missing.
struct SatelliteLegs {
    std::optional<double> DownlinkHz;
    std::optional<double> UplinkHz;
};

// For a linear passband: the point `passbandPointHz` (the centre when not
// given) and its uplink. Otherwise the fixed frequencies (the lows).
SatelliteLegs LegsAtSatellite(
    const TransmitterFrequencies& f, std::optional<double> passbandPointHz = std::nullopt);

// Heard on the ground: down x (1 - rr/c).
double ReceiveDopplerHz(double downHz, double rangeRateKmPerSec);
// Sent from the ground so that `upHz` arrives: up / (1 - rr/c).
double TransmitDopplerHz(double upHz, double rangeRateKmPerSec);

// What lies between the radio and the antenna, and the calibration.
struct DialSetup {
    double RxLoHz = 0; // down-converter (LNB) LO; negative for high-side mixing
    double TxLoHz = 0; // transverter / up-converter LO
    double RxOffsetHz = 0; // the radio's error and the satellite's drift
    double TxOffsetHz = 0;
};

struct DialFrequencies {
    std::optional<double> ReceiveDialHz;
    std::optional<double> TransmitDialHz;
};

// The dials: Doppler-corrected frequency plus the offset, minus the LO.
DialFrequencies DialsFor(
    const SatelliteLegs& legs, double rangeRateKmPerSec, const DialSetup& setup = {});

} // namespace aostrack
