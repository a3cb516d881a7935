#pragma once
// Where the station's files live. A sat.ini beside the program wins (a build
// folder, a portable copy); an installed program in /usr/bin has none and
// keeps its settings in the user's XDG folders instead:
//   settings   $XDG_CONFIG_HOME/aostrack/sat.ini  (~/.config/aostrack/sat.ini)
//   downloads  $XDG_DATA_HOME/aostrack/           (~/.local/share/aostrack/)
//   examples   <each of $XDG_DATA_DIRS>/aostrack/ (/usr/share/aostrack/)
// The environment is read at each call, so tests may point it elsewhere.
#include <QString>
#include <QStringList>

namespace aostrack {

// The organisation and application names behind QSettings (the window's own
// state in ~/.config/aostrack/aostrack.conf, beside sat.ini).
inline constexpr const char* kSettingsOrganisation = "aostrack";
inline constexpr const char* kSettingsApplication = "aostrack";

// ~/.config/aostrack, or $XDG_CONFIG_HOME/aostrack.
QString UserSettingsDir();
// ~/.local/share/aostrack, or $XDG_DATA_HOME/aostrack.
QString UserDataDir();
// The installed example station: <dir>/aostrack for each of $XDG_DATA_DIRS
// (default /usr/local/share:/usr/share), in that order.
QStringList SharedDataDirs();

// The settings file to read: configOption (--config) when given, else
// sat.ini in programDir when it exists, else sat.ini in UserSettingsDir(),
// which need not exist yet (the first run).
QString FindSettingsFile(const QString& configOption, const QString& programDir);

// A file named in sat.ini: a full path stands as written; a bare name is
// looked up beside sat.ini (iniDir), then in UserDataDir() (where downloads
// go), then in SharedDataDirs(). When none holds it the path beside sat.ini
// is returned, so that a message names the place the operator expects.
QString LookUpDataFile(const QString& name, const QString& iniDir);

// Where a download replacing path may be written: path itself when its
// folder is writable, else the same file name in UserDataDir() (an element
// file in /usr/share/aostrack belongs to the package, not to the operator);
// that folder is made when it is chosen. A bare TLEFILE finds the download
// there from then on (LookUpDataFile).
QString WritableDataPath(const QString& path);

// The example sat.ini the first run starts from: sat.ini in
// SharedDataDirs(), else in programDir; empty when there is none.
QString ExampleSettingsFile(const QString& programDir);

} // namespace aostrack
