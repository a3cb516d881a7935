#pragma once
// What every predicting subcommand does with --sat and with the chosen
// element set's age.
#include "radio/SatelliteAliases.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <string_view>
#include <vector>

namespace aostrack {

// Element sets older than this many days at the predicted instant earn a
// warning: low orbits drift by kilometres a day once drag has worked on them.
inline constexpr double CliMaxElementAgeDays = 14;

struct ParsedArgs;

// The value of --sat, trimmed; empty when --sat is not given. An empty or
// blank value given throws UsageError: it names no satellite.
QString SatOption(const ParsedArgs& args);

// List position (0-based) of --sat among names (file order): a record number
// (1 = first), else the exact name, else the same name without regard to
// case, else a unique part of a name, case ignored: first one that stands as
// whole words ("ISS" finds "ISS (ZARYA)" though "SWISSCUBE" holds it too,
// "SO-50" finds "SAUDISAT 1C (SO-50)"), then one anywhere in a name; else an
// alias ("QO-100" finds the names holding its NamePart "ES'HAIL 2"); else the
// same letters and digits as a name, its part in parentheses or an alias,
// case, blanks and punctuation aside ("so50", "ESHAIL2"). An empty sat means
// the first. Throws UsageError naming tlePath for a record out of range (a
// number beyond the records points to --norad), several matches (up to five
// of them listed), or no match (with the nearest names: "did you mean SO-50
// (SAUDISAT 1C)?").
int ChooseSatelliteIndex(const QString& sat, const QStringList& names, const QString& tlePath,
    const QList<SatelliteAlias>& aliases = {});

// "element set of ISS (ZARYA) is 1029 days old: run 'aostrack-cli update'"
// when the set with epoch YYDDD.DDDDDDDD is more than CliMaxElementAgeDays
// older than instant; nothing otherwise.
std::optional<QString> ElementAgeWarning(
    const QString& satName, double epoch, std::chrono::sys_seconds instant);

// Writes ElementAgeWarning, if any, as one line on stderr.
void WarnIfElementSetOld(const QString& satName, double epoch, std::chrono::sys_seconds instant);

// One set of a catalogue: its name (UTF-8, as the table holds it) and epoch
// (YYDDD.DDDDDDDD). Only the oldest set's name is turned into text, once.
struct NamedEpoch {
    std::string_view Name;
    double Epoch = 0;
};
// For a whole catalogue: "12 sets older than 14 days, the oldest 1029 days:
// ISS (ZARYA)" (the first of equally old ones), or nothing when no set is
// more than CliMaxElementAgeDays older than instant.
std::optional<QString> CatalogueAgeWarning(
    const std::vector<NamedEpoch>& sets, std::chrono::sys_seconds instant);

} // namespace aostrack
