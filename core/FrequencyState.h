#pragma once
// Frequency state of the selected satellite, all frequencies in kHz.
// The tracking core reads it for the corrected centre frequency; the receiver
// layer writes it (frequency database, offset buttons, frequency window).
#include <QString>

namespace aostrack {

struct FrequencyState {
    double NominalFreq = 0; // downlink from the frequency database; 0 when it has no row
    float FreqOffset = 0; // the operator's offset, single precision as the slider keeps it
    double TunedFreq = 0; // NominalFreq + FreqOffset
    QString FreqNote; // note of the chosen frequency row

    bool operator==(const FrequencyState&) const = default;
};

} // namespace aostrack
