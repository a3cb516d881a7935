#pragma once
// OMM as CSV, the form the public GP service writes: a header line naming
// the keys, then one record per line. Columns are found by name in any order
// and unknown ones ignored; a field holding a comma comes in double quotes
// ("" inside for a quote); lines end in CR LF or LF.
#include "orbit/Tle.h"

#include <string>
#include <string_view>
#include <vector>

namespace aostrack {

// The longest line taken as a record (or the header): a record is a few
// hundred bytes, and even a name as long as any two-line file could hold it
// stays below this.
inline constexpr std::size_t kOmmCsvMaxLineBytes = 1024 * 1024;

// Appends the records of text (which starts with the header) to load. A line
// with another number of fields than the header, a quote that its line does
// not close, or more than kOmmCsvMaxLineBytes is skipped and counted like a
// record with a bad field; a header that long ends the reading.
void ReadOmmCsv(std::string_view text, TleLoad& load);

// The records as CSV: the header in the service's order, then one line each,
// CR LF line ends.
std::string WriteOmmCsv(const std::vector<SatRecord>& records);

} // namespace aostrack
