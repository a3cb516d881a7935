#pragma once
// The station's settings from sat.ini, read once at start-up.
#include <QString>
#include <optional>
#include <stdexcept>

namespace aostrack {

struct Configuration {
    QString IniPath;
    QString StationName;      // QTH
    QString TleFilePath;      // TLEFILE, used as written
    QString DopplerFileName;  // DOPPLERFILE, used as written
    QString TimeServerHost;   // TIMESERVER, empty: no clock synchronisation
    double StationLat = 0;    // QTH_LAT, degrees north
    double StationLon = 0;    // QTH_LONG, degrees east
    double StationHeight = 0; // QTH_HEIGHT, km

    std::optional<int> RotorPort;             // ROTOR_PORT; absent: the port's default (1)
    std::optional<QString> RotorPortSettings; // ROTOR_PORT_SETTINGS; present: rotor menu enabled
    QString RotorDevice;                      // ROTOR_DEVICE, overrides /dev/ttyS<n-1>
    int RotorStepDeg = 0;                     // ROTOR_DEG
    QString RotorParkCommand;                 // ROTOR_PARK
    std::optional<bool> AutoPark;             // AUTO_PARK; absent: Label9 stays empty

    QString TleServer = QStringLiteral("https://celestrak.org");  // TLE_SERVER
    QString TleArchive = QStringLiteral("https://www.amsat.org"); // TLE_ARCHIVE
};

// A start-up failure: what() is the text of the message box shown before the
// program ends (for instance "sat.ini line 4: no \"=\" in \"QTH_LAT 51\"").
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace aostrack
