#pragma once
// The station's settings from sat.ini, read once at start-up.
#include "orbit/Engine.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace aostrack {

// Where the station's web page listens: an address (127.0.0.1 when left out,
// so that nothing beyond this computer sees it unless asked) and a port
// (0: any free one, which the log then names).
struct HttpListen {
    QString Address = QStringLiteral("127.0.0.1");
    int Port = 0;
    bool operator==(const HttpListen&) const = default;
};
// "PORT", "ADDRESS:PORT" or "[IPv6]:PORT" with a literal IP address (or
// "localhost"); nullopt when text is none of them.
std::optional<HttpListen> ParseHttpListen(const QString& text);

// hamlib's rotctld listens here unless told otherwise.
inline constexpr int kRotctldDefaultPort = 4533;
// and rigctld here.
inline constexpr int kRigctldDefaultPort = 4532;

struct Configuration {
    QString IniPath;
    QString StationName; // QTH
    QString TleFilePath; // TLEFILE; a bare name is looked up as LookUpDataFile says
    QString DopplerFileName; // DOPPLERFILE; as TLEFILE
    // TRANSMITTERS: the SatNOGS DB transmitter list (JSON); as TLEFILE; empty: none.
    QString TransmitterFilePath;
    // TRANSMITTERS_LOCAL: the operator's own rows in the same form; empty: none.
    QString TransmitterLocalPath;
    // TRANSMITTER_SERVER: where the transmitter update fetches the list.
    QString TransmitterServer = QStringLiteral("https://db.satnogs.org");
    // RIG_HOST "host:port" ([v6]:port; port 4532 when left out): the
    // transceiver's rigctld; empty: none.
    QString RigHost;
    int RigHostPort = kRigctldDefaultPort;
    // RIG_UPLINK_HOST: a second rigctld, of the radio that transmits; then
    // RIG_HOST only receives. Empty: RIG_HOST transmits in split.
    QString RigUplinkHost;
    int RigUplinkHostPort = kRigctldDefaultPort;
    QString RigTxVfo = QStringLiteral("VFOB"); // RIG_TX_VFO: VFOB, Sub or SATMODE
    double RigStepHz = 10; // RIG_STEP_HZ: the least change sent
    double RigRxLoHz = 0; // RIG_RX_LO_HZ: down-converter LO (negative: high-side)
    double RigTxLoHz = 0; // RIG_TX_LO_HZ: up-converter LO
    QString TimeServerHost; // TIMESERVER, empty: no clock synchronisation
    double StationLat = 0; // QTH_LAT, degrees north
    double StationLon = 0; // QTH_LONG, degrees east
    double StationHeight = 0; // QTH_HEIGHT, km

    std::optional<int> RotorPort; // ROTOR_PORT; absent: the port's default (1)
    std::optional<QString> RotorPortSettings; // ROTOR_PORT_SETTINGS; present: rotor menu enabled
    QString RotorDevice; // ROTOR_DEVICE, overrides /dev/ttyS<n-1>
    int RotorStepDeg = 0; // ROTOR_DEG
    QString RotorParkCommand; // ROTOR_PARK
    std::optional<bool> AutoPark; // AUTO_PARK; absent: Label9 stays empty
    // ROTOR_HOST "host:port", "[v6]:port" or a host alone (port 4533): the
    // rotor is reached through hamlib's rotctld instead of the serial port.
    QString RotorHost; // empty: no rotctld
    int RotorHostPort = kRotctldDefaultPort;
    int RotorAzMaxDeg = 360; // ROTOR_AZ_MAX, 360..540: how far past north the rotor turns
    int RotorElMaxDeg = 90; // ROTOR_EL_MAX, 90 or 180 (a rotor that flips over the zenith)

    QString TleServer = QStringLiteral("https://celestrak.org"); // TLE_SERVER
    QString TleArchive = QStringLiteral("https://www.amsat.org"); // TLE_ARCHIVE
    // TLE_PATHS: GP (also when absent), the server's GP queries, or LEGACY, the
    // static two-line files of mirrors that still serve them; any case.
    bool TleLegacyPaths = false;
    // ORBIT_MODEL: PLAN13 (also when absent) or SGP4, any case.
    OrbitModelKind OrbitModelChoice = OrbitModelKind::Plan13;
    // HTTP_LISTEN: the station's web page and API; absent: no web server.
    std::optional<HttpListen> HttpListenAt;
    // HTTP_TOKEN: the bearer token that control requests must carry; empty:
    // the page and the API are read-only.
    QString HttpToken;

    // Values read only in part ("QTH_LAT=48,14" is read as 48): one line each,
    // naming the file, line, key and what was ignored; start-up logs them.
    QStringList Warnings;
};

// The station's position must lie on the globe: a latitude of 200 would be
// tracked without complaint but from nowhere.
inline constexpr double MaxStationLatDeg = 90;
inline constexpr double MaxStationLonDeg = 180;
// QTH_HEIGHT in kilometres: below the Dead Sea shore or above 9 km is a slip
// (most often metres written as kilometres).
inline constexpr double MinStationHeightKm = -0.5;
inline constexpr double MaxStationHeightKm = 9;

// A start-up failure: what() is the text of the message box shown before the
// program ends (for instance "sat.ini line 4: no \"=\" in \"QTH_LAT 51\"").
// A failure may show several boxes in a row (no TLE file, then no doppler.sql
// file): Messages() lists them in order, what() joins them with line feeds.
class StartupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit StartupError(const QString& message);
    explicit StartupError(const QStringList& messages);
    QStringList Messages() const;

private:
    QStringList m_messages;
};

class EventLog;

// The text of a settings file's bytes: UTF-8 when they decode cleanly, else
// the Windows code page of older station files (read as Latin-1); a leading
// byte-order mark is dropped.
QString DecodeSettingsText(const QByteArray& bytes);

// Reads the settings from the text of a sat.ini. Lines end at CR LF, CR or LF;
// "#" in the very first column starts a comment; keys are case-sensitive and
// the last one given wins; unknown keys are ignored with a warning that names
// the nearest known key, once per key. A relative TLEFILE or
// DOPPLERFILE is looked up beside sat.ini (appDir), then in the user's and
// the installed data folders (LookUpDataFile). Throws StartupError naming the line
// ("sat.ini line 4: ...", with fileName) and, where it helps, the remedy, for a
// line without "=", an empty text, a ROTOR_DEG or AUTO_PARK that is not a
// number, a number out of the 16-bit range, an ORBIT_MODEL other than PLAN13
// and SGP4, a TLE_PATHS other than GP and LEGACY, a ROTOR_HOST without a usable port, a
// ROTOR_AZ_MAX outside 360..540, a ROTOR_EL_MAX other than 90 or 180, a QTH_LAT outside -90..90, a
// QTH_LONG outside -180..180 or a QTH_HEIGHT outside -0.5..9 km. QTH_LAT and QTH_LONG take a
// trailing hemisphere letter ("74.0W" is -74). Lenient numbers (QTH_LAT, QTH_LONG, QTH_HEIGHT,
// ROTOR_PORT) that carry more than their number are read as before and listed in Warnings.
Configuration ParseConfiguration(const QString& iniText, const QString& appDir,
    const QLocale& locale = QLocale(), const QString& fileName = QStringLiteral("sat.ini"));

// Reads appDir/sat.ini (never the working directory). A missing sat.ini logs
// "*** ERROR *** no sat.ini found !53" and throws "File sat.ini not found:
// looked for sat.ini in <appDir>". Other messages name the file by its whole
// path; the Warnings are logged as plain lines, once.
Configuration ReadConfigurationFile(
    const QString& appDir, EventLog& log, const QLocale& locale = QLocale());

// As ReadConfigurationFile, for the settings file at iniPath under any name:
// relative TLEFILE/DOPPLERFILE paths are taken from that file's folder, and
// the log line and messages carry its file name where they say sat.ini.
Configuration ReadConfigurationAt(
    const QString& iniPath, EventLog& log, const QLocale& locale = QLocale());

// A rotor is configured: ROTOR_PORT_SETTINGS (serial) or ROTOR_HOST (rotctld).
// Either enables the menu "Rotor" and the park button.
bool RotorConfigured(const Configuration& config);

// "rotctld at host:port" ("[::1]:4533" for an IPv6 address); empty without
// ROTOR_HOST. Stands where the serial link's texts say "COM3".
QString RotctldName(const Configuration& config);

// Label9: "AUTO" or "MAN" from AUTO_PARK, empty when it is absent.
QString ParkModeText(const Configuration& config);

// "Rotor at COM3, 9600,n,8,1  (5°)"; ROTOR_DEVICE, when given, replaces "COM<n>";
// with ROTOR_HOST "Rotor at rotctld at 127.0.0.1:4533  (5°)".
QString RotorLogLine(const Configuration& config);

// The serial device of the rotor: ROTOR_DEVICE, else /dev/ttyS<n-1> for
// ROTOR_PORT n (COM1 is the first port), n defaulting to 1.
QString RotorDevicePath(const Configuration& config);

// Label5: latitude "/" longitude in the pattern "#.00" (0.5/-0.25 -> ".50/-.25").
QString QthText(const Configuration& config, const QLocale& locale = QLocale());

} // namespace aostrack
