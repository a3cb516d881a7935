#pragma once
// sat.ini for the command-line tool: beside the executable, as the window
// reads it, or the file named by --config.
#include "core/Configuration.h"

namespace aostrack {

// Reads configFile, or sat.ini beside aostrack-cli when configFile is empty.
// Relative TLEFILE/DOPPLERFILE paths are taken from the ini file's folder.
// A missing or malformed file throws UsageError naming the file (exit 2).
// Values read only in part are in the result's Warnings, for the caller to show.
Configuration LoadCliConfiguration(const QString& configFile);

// The path LoadCliConfiguration reads for configFile.
QString CliConfigPath(const QString& configFile);

} // namespace aostrack
