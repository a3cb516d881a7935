#pragma once
// The station's devices as the tracking core sees them. The core calls these
// at fixed points of start-up, of the satellite choice and of every tick; the
// receiver, rotor and clock layers implement them and app/ wires them in.
// A link that is not wired (null) is simply skipped.
#include "passes/Passes.h"

#include <QString>
#include <vector>

namespace aostrack {

struct Configuration;

// Receiver: frequency database and Doppler tuning.
class ReceiverLink {
public:
    virtual ~ReceiverLink() = default;
    // Reads the frequency rows of the named satellite into the tracker's
    // FrequencyState. During start-up a failure throws StartupError.
    virtual void LoadFrequencyList(const QString& satName) = 0;
    // Last step of a tick: tunes the receiver to the Doppler-corrected
    // centre frequency (kHz), when "track" is ticked.
    virtual void TuneReceiver(double correctedKHz) = 0;
};

// Rotor: applies the ROTOR_* settings at start-up and steps every tick.
class RotorLink {
public:
    virtual ~RotorLink() = default;
    // Start-up: takes the rotor settings; a settings text that cannot be
    // parsed throws StartupError with a description.
    virtual void ApplyConfiguration(const Configuration& config) = 0;
    // Once per tick with the tick's own look angles (degrees).
    virtual void UpdateRotor(double satAzimuth, double satElevation) = 0;
    // After every pass search: the look angles of the coming (or current)
    // pass, one per second from AOS to LOS; empty when no pass was found.
    // A rotor that plans its way around north chooses from it at AOS.
    virtual void PassAhead(const std::vector<PassLook>& track) { (void)track; }
};

// Clock synchronisation: started once at the end of start-up.
class TimeSyncLink {
public:
    virtual ~TimeSyncLink() = default;
    virtual void StartTimeSync(const QString& timeServer) = 0;
};

} // namespace aostrack
