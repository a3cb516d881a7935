#pragma once
// sat.ini for the command-line tool: beside the executable, as the window
// reads it, or the file named by --config.
#include "core/Configuration.h"

namespace aostrack {

// Reads configFile, or sat.ini beside aostrack-cli when configFile is empty.
// Relative TLEFILE/DOPPLERFILE paths are taken from the ini file's folder.
// A missing or malformed file throws UsageError naming the file (exit 2).
Configuration LoadCliConfiguration(const QString& configFile);

// The path LoadCliConfiguration reads for configFile.
QString CliConfigPath(const QString& configFile);

struct ParsedArgs;
// The theory of a computing command: --model plan13|sgp4 (any case; anything
// else throws UsageError), else ORBIT_MODEL of config, else of the sat.ini
// that --config names or that lies beside aostrack-cli when it can be read,
// else Plan13.
OrbitModelKind ModelOption(const ParsedArgs& args, const Configuration* config);
// The help line of --model.
inline constexpr const char* kModelHelp
    = "  --model M        orbit model: plan13 or sgp4 (default: ORBIT_MODEL of\n"
      "                   sat.ini, else plan13)\n";

} // namespace aostrack
