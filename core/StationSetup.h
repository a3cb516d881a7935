#pragma once
// The station's own entries in sat.ini (QTH, QTH_LAT, QTH_LONG, QTH_HEIGHT),
// as the first run, `aostrack-cli init` and the settings dialog write them.
#include "core/Configuration.h" // the station height limits
#include "core/Result.h"
#include "core/SettingsText.h"

#include <QString>

namespace aostrack {

struct StationEntry {
    QString Name; // QTH
    double Lat = 0; // degrees north
    double Lon = 0; // degrees east
    double HeightKm = 0;
    bool operator==(const StationEntry&) const = default;
};

// What is wrong with the entry (a latitude off the globe, a height in
// metres, a name of several lines), or empty.
QString StationEntryProblem(const StationEntry& entry);

// The four sat.ini lines of the entry, numbers with a full stop.
QList<SettingChange> StationChanges(const StationEntry& entry);

// Puts the station into the settings file at iniPath: an existing file keeps
// all its other lines; a new one starts from the example sat.ini
// exampleFile (or, without one, from TLEFILE and DOPPLERFILE of the example
// station). The text is read back as start-up reads it before anything is
// written, so a refused entry leaves the file as it was.
Result<void> WriteStation(
    const QString& iniPath, const StationEntry& entry, const QString& exampleFile);

} // namespace aostrack
