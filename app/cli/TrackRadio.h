#pragma once
// --radio of 'aostrack-cli track': the station's transceiver (RIG_HOST, and
// RIG_UPLINK_HOST) on the transmitter the command line names, with its
// passband point and calibration offsets.
#include "radio/CalibrationOffsets.h"

#include <QString>
#include <optional>

namespace aostrack {

class StationSession;
class StationTransceiver;
struct ParsedArgs;

struct RadioOptions {
    QString Transmitter; // --transmitter UUID or description; empty: the first
    std::optional<double> PassbandPointHz; // --downlink
    std::optional<double> RxOffsetHz; // --rx-offset; unset: offsets.ini
    std::optional<double> TxOffsetHz; // --tx-offset
    bool AllTransmitters = false; // --all-transmitters
};

// The options above; they go with --radio only (UsageError otherwise).
RadioOptions ReadRadioOptions(const ParsedArgs& args, bool radio);
// --rx-offset and --tx-offset laid over stored.
CalibrationOffsets OffsetOptions(const ParsedArgs& args, CalibrationOffsets stored);

class TrackRadio {
public:
    // Chooses the transmitter (--transmitter, else the satellite's first,
    // transponders first) and applies the passband point and the offsets
    // (written to offsets.ini when a flag changed one). Throws UsageError
    // when sat.ini has no RIG_HOST, the list is damaged or nothing can be tuned.
    TrackRadio(StationSession& station, const RadioOptions& options);

    // "RX 435.649445 MHz  TX 145.961835 MHz  Mode V/U - Transponder"
    QString Text() const;

private:
    StationTransceiver& m_transceiver;
};

} // namespace aostrack
