#pragma once
// The satellite's state as named values, in the order the command-line tool
// prints them. `aostrack-cli state --json` and the station's web API write
// the same names, so a script written against one reads the other.
#include "orbit/SatelliteState.h"

#include <QJsonValue>
#include <QString>
#include <utility>
#include <vector>

namespace aostrack {

using StateField = std::pair<QString, QJsonValue>;

// Name and CatalogNumber (0 when the file gives none), then the engine's
// fields under their own names: degrees, km, km/s, dB.
std::vector<StateField> SatelliteStateFields(
    const QString& name, int catalogNumber, const SatelliteState& state);

} // namespace aostrack
