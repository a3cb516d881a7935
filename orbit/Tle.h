#pragma once
// Reader of two-line element files (with or without name lines). Lines may end
// in CR LF, LF or CR. Columns are read as the classic NORAD layout, numbers
// always with a full stop; malformed numbers read as 0 or their leading part.
// The same load also reads OMM CSV (told from the content); OMM JSON and XML
// need Qt's readers and are read by the catalogue loader of core/ElementFile.h,
// which is what every catalogue of the program goes through.
#include "orbit/ElementFormat.h"
#include "orbit/ElementSet.h"
#include "orbit/Omm.h"

#include <cstddef>
#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace aostrack {

// Outcome of one load. Each load starts from an empty table, so a record
// never shows elements left over from another file.
struct TleLoad {
    SatTable Table;
    int SatCount = 0;            // records filled = name lines kept
    int IgnoredNameLines = 0;    // name lines beyond the table's 15000 records
                                 // (their element lines are dropped with them)
    int IgnoredElementLines = 0; // element lines before the first name line
    int FirstIgnoredLine = 0;    // 1-based line number of the first ignored line, 0 if none
                                 // (leading element lines come first when there are any)
    int LineCount = 0;           // lines read (0: the file holds no line)
    ElementFormat Format = ElementFormat::Tle;
    int IgnoredRecords = 0;         // OMM records skipped for a missing or bad field
    std::string FirstIgnoredRecord; // "line 5: NORAD_CAT_ID: not a catalogue number: ..."
    bool operator==(const TleLoad&) const = default;
};

// A file that cannot be opened or read. what() reads
// "<file> line <n>: <reason>" (line 0 when the file could not be opened).
class TleFileError : public std::runtime_error {
public:
    TleFileError(std::string file, int line, std::string reason);
    const std::string& File() const { return m_file; }
    int Line() const { return m_line; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_file;
    int m_line;
    std::string m_reason;
};

// A full table of 15000 sets is about 2.5 MB; anything far larger is not an
// element file (a file chosen by mistake) and is refused before it fills memory.
inline constexpr std::size_t TleMaxFileBytes = 64u * 1024u * 1024u;

// Reads the element file at path. Throws TleFileError when it cannot be
// opened or a read fails; the caller's previous table is then untouched.
TleLoad LoadTleFile(const std::string& path);

// Same reading from a stream; sourceName is used in error messages.
TleLoad ReadTle(std::istream& in, const std::string& sourceName);

// The reading of a whole text: two-line or OMM CSV. JSON or XML text throws
// TleFileError (line 0): it is read through core/ElementFile.h.
TleLoad ReadElementText(std::string_view text, const std::string& sourceName);

// Where an OMM record stands in its file: "line 5" (CSV), "record 3" (JSON),
// "record 3 (line 40)" (XML).
struct RecordPlace {
    int Index = 0; // 1-based record number; 0 for the line-based CSV
    int Line = 0;  // 1-based line; 0 when the format has none
    std::string Text() const;
};

// Adds one OMM record to load through SatRecordFromOmm. A record that fails
// is counted in IgnoredRecords, the first with its place and fault; one
// beyond the table's capacity in IgnoredNameLines.
void AddOmmRecord(TleLoad& load, const OmmFields& fields, const RecordPlace& place);
// Counts a record that a reader could not even turn into fields.
void IgnoreRecord(TleLoad& load, const RecordPlace& place, std::string_view why);

// The number conversion of the element columns: the leading decimal number of
// text (blanks skipped, full stop as separator), 0 when there is none.
double ReadTleNumber(std::string_view text);

} // namespace aostrack
