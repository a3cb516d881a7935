#pragma once
// What the computing subcommands share: the chosen element set and station
// from the command line (and sat.ini for what it leaves out).
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/Station.h"

#include <QString>
#include <QStringList>
#include <chrono>

namespace aostrack {

struct ParsedArgs;

struct EngineInputs {
    QString tlePath;
    int record = 0; // 1-based
    QString satName;
    ElementSet elements;
    Station station;
    OrbitModelKind model = OrbitModelKind::Plan13;
};

// --tle, --sat/--norad, --lat, --lon, --height, --config and --model read,
// the file loaded and the satellite chosen. Problems throw UsageError.
EngineInputs ResolveInputs(const ParsedArgs& args);
// Those options, for ParseOptions (a command adds its own).
QStringList CommonValueOptions();
// The help lines of those options and --json.
QString CommonHelp();

// The instant of option (see ParseUtcInstant), or now when it is not given.
std::chrono::sys_seconds InstantOption(const ParsedArgs& args, const QString& option);

} // namespace aostrack
