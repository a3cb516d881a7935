#pragma once
// The catalogue as the subcommands take it: --norad NUMBER chooses a
// satellite by its catalogue number, and records the loader skipped are named
// on stderr so a script sees why a satellite is missing.
#include "orbit/Tle.h"

#include <QString>

namespace aostrack {

// Record (1-based) of the first set numbered text in table. A text that is
// not a catalogue number, or a number the file does not hold, throws UsageError.
int FindCatalogNumber(const SatTable& table, const QString& text, const QString& tlePath);

// One line on stderr for each record the load refused: file, line or
// record, name, field and reason.
void ReportIgnoredRecords(const TleLoad& load, const QString& tlePath);

} // namespace aostrack
