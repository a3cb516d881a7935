#pragma once
// sat.ini for the command-line tool: the file named by --config, else the
// one beside the executable, else ~/.config/aostrack/sat.ini, as the window
// reads it.
#include "core/Configuration.h"
#include "orbit/Maidenhead.h"
#include "orbit/Station.h"

#include <optional>

namespace aostrack {

// Reads configFile, or when it is empty the sat.ini FindSettingsFile names.
// Relative TLEFILE/DOPPLERFILE paths are taken from the ini file's folder.
// A missing or malformed file throws UsageError naming the file (exit 2).
// Values read only in part are in the result's Warnings, for the caller to show.
Configuration LoadCliConfiguration(const QString& configFile);

// The path LoadCliConfiguration reads for configFile.
QString CliConfigPath(const QString& configFile);

struct ParsedArgs;
// The theory of a computing command: --model plan13|sgp4 (any case; anything
// else throws UsageError), else ORBIT_MODEL of config, else of the sat.ini
// that --config names or that lies beside aostrack-cli when it can be read,
// else Plan13.
OrbitModelKind ModelOption(const ParsedArgs& args, const Configuration* config);
// What every computing command reads first, from its options or sat.ini:
// the element file, the station and the orbit theory. sat.ini is read (its
// warnings on stderr) when --tle, the station's place or --height is
// missing; a missing element file, a folder named as one, a number out of
// range or a bad locator throws UsageError.
struct ComputeSettings {
    Configuration Config; // as read; empty when sat.ini was not needed
    QString TlePath;
    Station Site;
    OrbitModelKind Model = OrbitModelKind::Plan13;
};
ComputeSettings ResolveComputeSettings(const ParsedArgs& args);

// The help line of --model.
inline constexpr const char* kModelHelp
    = "  --model M        orbit model: plan13 or sgp4 (default: ORBIT_MODEL of\n"
      "                   sat.ini, else plan13)\n";

// The station's place is given on the command line: --locator, or both
// --lat and --lon.
bool HasStationPosition(const ParsedArgs& args);
// The centre of --locator's square; nullopt without it. A bad locator, or
// --locator beside --lat or --lon, throws UsageError.
std::optional<LocatorPoint> LocatorOption(const ParsedArgs& args);
// Puts the centre of --locator, when given, into station.
void ApplyLocatorOption(const ParsedArgs& args, Station& station);
// The help line of --locator.
inline constexpr const char* kLocatorHelp
    = "  --locator LOC    station as a Maidenhead locator of 4, 6 or 8 characters\n"
      "                   (JN58sd: the centre of its square), instead of --lat, --lon\n";

} // namespace aostrack
