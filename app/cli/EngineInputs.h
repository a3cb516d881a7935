#pragma once
// The satellite, station and model a computing subcommand works on, read from
// --tle, --sat/--norad, --lat, --lon, --height and --model (missing values
// from sat.ini).
#include "orbit/ElementSet.h"
#include "orbit/Engine.h"
#include "orbit/Station.h"

#include <QString>
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

// Loads the element file and chooses the satellite; every problem throws
// UsageError naming the file or option.
EngineInputs ResolveInputs(const ParsedArgs& args);

// The instant of option (see ParseUtcInstant), or now when it is not given.
std::chrono::sys_seconds InstantOption(const ParsedArgs& args, const QString& option);

} // namespace aostrack
