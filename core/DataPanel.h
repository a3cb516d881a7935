#pragma once
// The satellite data panel: the texts of every field, formatted for the
// operator (regional decimal separator, degree sign), once per tick.
#include "core/FrequencyState.h"
#include "orbit/SatelliteState.h"

#include <QLocale>
#include <QMetaType>
#include <QString>
#include <chrono>
#include <utility>
#include <vector>

namespace aostrack {

inline constexpr double SpeedOfLightKmS = 299792.458;
// Element sets older than this many days are flagged.
inline constexpr double TleMaxAgeDays = 60;

// One tick's texts. The comment names the control that shows each.
struct DataPanelTexts {
    QString Time; // Text1_0: "14:03:27 UTC"
    QString MaValue; // Text1_1: "4  (6.25°)"
    bool AboveHorizon = false; // Text1_2/Text1_3 background: green when true, light grey else
    QString Azimuth; // Text1_2: "123.45°"
    QString Elevation; // Text1_3
    QString SatLong; // Text1_4: "2.50°W  (-02°29' 59\")"
    QString SatLat; // Text1_5
    QString Distance; // Text1_6: "1234.568 km"
    QString Height; // Text1_7
    QString OrbitNumber; // Text1_8
    QString SunAngle; // Text1_9
    QString Illumination; // Text1_10: "50.0 %"
    QString Loss; // Text1_21: "145.80 dB"
    QString DopplerShift; // Text1_22: the previous tick's shift, "-2431.20 Hz"
    QString CentreFreq; // Text2: corrected centre frequency "145797.569"; empty without a nominal
                        // frequency
    QString Info; // Text1_25: illumination text
    QString Date; // Text1_28: "Monday, 2026 December 07" in the system language
    QString Epoch; // Text1_29: "341.58503472"
    QString TleAge; // Label15: "TLE's are 3.4 days old" / "TLE's are too old"
    // Label15 in red, with the way to fresh sets beside it: predictions from
    // a set this old can be off by whole passes.
    bool TleTooOld = false;

    // (index in Text1, text) in the order the fields are written; Text2 and
    // Label15 are not part of the Text1 array.
    std::vector<std::pair<int, QString>> Text1Fields() const;

    bool operator==(const DataPanelTexts&) const = default;
};

// What the panel keeps from one tick to the next.
struct DataPanelMemory {
    double DopplerShift = 0; // kHz, of TunedFreq; 0 before the first tick
    double CorrectedFreq = 0; // kHz, TunedFreq + DopplerShift
    double TleAgeDays = 0;
    bool operator==(const DataPanelMemory&) const = default;
};

// Formats the panel for the state computed at utcNow. The Doppler field shows
// memory.DopplerShift as it stood before this call; then the shift and the
// corrected frequency are recomputed from TunedFreq and RangeRate and stored.
DataPanelTexts RefreshDataPanel(const SatelliteState& state, double tleEpoch,
    const FrequencyState& frequency, std::chrono::sys_seconds utcNow, DataPanelMemory& memory,
    const QLocale& locale = QLocale());

// The panel of a tick whose orbit theory refuses the set at utcNow (SGP4 on a
// set that has decayed): the clock, date, epoch and age fields go on, every
// field of the satellite stays empty and Info says why (refusal). The
// Doppler memory is cleared: no shift is known.
DataPanelTexts RefusedDataPanel(const QString& refusal, double tleEpoch,
    std::chrono::sys_seconds utcNow, DataPanelMemory& memory, const QLocale& locale = QLocale());

// Age in days of an element set with epoch YYDDD.DDDDDDDD at utcNow, from real
// day numbers (a set from 31 December is one day old on 1 January).
double TleAgeDays(std::chrono::sys_seconds utcNow, double tleEpoch);
// "TLE's are too old" above 60 days, else "TLE's are 3.4 days old".
QString TleAgeText(double ageDays, const QLocale& locale = QLocale());

// Where the window's operator gets fresh element sets: the menu path.
inline constexpr const char* TleUpdateHint = "TLE > Internet Update";

// -f v / c in kHz for f in kHz and the range rate v in km/s.
double DopplerShiftKHz(double tunedFreqKHz, double rangeRateKmS);
// f moved by that shift: what the receiver hears the satellite's downlink on.
double DopplerCorrectedKHz(double tunedFreqKHz, double rangeRateKmS);

// The receiver has always followed the centre display (Text2, "0.000"): it
// is tuned to the corrected frequency as the display rounds it, and its range
// test reads only the whole kHz when the decimal separator is not a full stop
// (49999,600 is out of range in German, 49999.600 is not). These are the
// numbers that reading gave, bit for bit, without the text.
struct CentreTuning {
    double RangeKHz = 0; // what the 50000..2500000 kHz test takes
    double FreqHz = 0; // what is sent (before the receiver's 32-bit limit)
};
CentreTuning TuningAsShown(double correctedKHz, const QLocale& locale = QLocale());

} // namespace aostrack

Q_DECLARE_METATYPE(aostrack::DataPanelTexts)
