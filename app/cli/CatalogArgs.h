#pragma once
// The catalogue as the subcommands take it: one loading for every --tle, and
// --norad NUMBER choosing a satellite by its catalogue number.
#include "orbit/Tle.h"

#include <QString>

namespace aostrack {

// Record (1-based) of the first set numbered text in table. A text that is
// not a catalogue number, or a number the file does not hold, throws UsageError.
int FindCatalogNumber(const SatTable& table, const QString& text, const QString& tlePath);

// The catalogue at tlePath through the catalogue loader, in any of its four
// forms: what every command that reads --tle starts from. A file that cannot
// be read or holds no record throws UsageError. Records refused, and records
// kept with a warning, are named on stderr (file, line or record, field,
// reason; the first ten of each, then a count) so a script sees why a
// satellite is missing or doubtful.
TleLoad LoadCatalogue(const QString& tlePath);

} // namespace aostrack
