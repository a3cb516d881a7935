#pragma once
// --radio of 'aostrack-cli track': the transceiver of RIG_HOST kept on the
// chosen transmitter's two Doppler legs at every tick.
#include "radio/TransceiverControl.h"

#include <QString>
#include <functional>
#include <optional>

namespace aostrack {

class StationSession;

class TrackRadio {
public:
    // Chooses the transmitter (--transmitter UUID or description, else the
    // satellite's first, transponders first) from TRANSMITTERS with
    // TRANSMITTERS_LOCAL over it, else from doppler.sql, and opens RIG_HOST.
    // Throws UsageError when sat.ini has no RIG_HOST or nothing to tune.
    TrackRadio(StationSession& station, const QString& transmitter,
        std::optional<double> passbandPointHz, std::function<void(const QString&)> log);

    // Both dials at the range rate of the last tick.
    void Tick(double rangeRateKmPerSec);
    // "RX 435.649445 MHz  TX 145.961835 MHz  Mode V/U - Transponder"
    QString Text() const { return m_text; }

private:
    TransceiverControl m_control;
    QString m_text;
};

} // namespace aostrack
