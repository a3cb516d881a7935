#pragma once
// Reader of two-line element files (with or without name lines). Lines may end
// in CR LF, LF or CR. Columns are read as the classic NORAD layout, numbers
// always with a full stop; malformed numbers read as 0 or their leading part.
// A record with element lines is kept only when both lines are there, each of
// at least 69 columns, and its numbers pass CheckElementSet; a name line
// without element lines is kept as an empty record (in a local file).
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
#include <vector>

namespace aostrack {

// A record the reader refused, or a warning about one it kept: the 1-based
// line, the satellite's name, the field (as named in ElementSet, or "line 1",
// "line 2"; an OMM key for OMM data) and the reason. A record of a JSON or XML
// document is also counted by its place in the document.
struct TleRecordIssue {
    int Line = 0;
    std::string SatName;
    std::string Field;
    std::string Reason;
    int Record = 0; // 1-based record of a JSON or XML document; 0 otherwise
    bool operator==(const TleRecordIssue&) const = default;
};

// "<source> line <n>: <name>: <field> <reason>", for logs and messages; a
// document's record reads "<source> record <r> (line <n>): ...".
std::string DescribeTleIssue(const std::string& sourceName, const TleRecordIssue& issue);

// Where the text comes from decides how strict the reader is. Local files are
// often edited by hand (and the verification sets break the checksum on
// purpose), so a checksum in column 69 that does not match is only a warning
// there. A download with a wrong checksum, or with a name whose element lines
// are missing, was damaged on its way: the record is refused.
enum class TleSource { LocalFile, Download };

// Outcome of one load. Each load starts from an empty table, so a record
// never shows elements left over from another file.
struct TleLoad {
    SatTable Table;
    int SatCount = 0; // records filled = name lines kept
    int IgnoredElementLines = 0; // element lines before the first name line
    int FirstIgnoredLine = 0; // 1-based line number of the first ignored line, 0 if none
                              // (leading element lines come first when there are any)
    int LineCount = 0; // lines read (0: the file holds no line)
    std::vector<TleRecordIssue> Refused; // records left out of the table, in file order
    std::vector<TleRecordIssue> Warnings; // kept records whose checksum does not match
    ElementFormat Format = ElementFormat::Tle;
    bool operator==(const TleLoad&) const = default;
};

// A file that cannot be opened or read. what() reads
// "<file> line <n>: <reason>", or "<file>: <reason>" when the file could not
// be opened at all (Line() is 0 then).
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

// The public catalogue of about 30,000 sets is some 5 MB of two-line text and
// 25 MB of JSON; 100,000 sets as indented JSON make about 75 MB. Anything far
// larger is not an element file (a file chosen by mistake) and is refused
// before it fills memory (JSON is parsed whole, at about four times its size).
inline constexpr std::size_t TleMaxFileBytes = 128u * 1024u * 1024u;

// Reads two-line or OMM CSV text from a stream; sourceName is used in error
// messages. Files are read through the catalogue loader (core/ElementFile.h).
TleLoad ReadTle(
    std::istream& in, const std::string& sourceName, TleSource source = TleSource::LocalFile);

// The reading of a whole text: two-line or OMM CSV. JSON or XML text throws
// TleFileError (line 0): it is read through core/ElementFile.h.
TleLoad ReadElementText(
    std::string_view text, const std::string& sourceName, TleSource source = TleSource::LocalFile);

// Where an OMM record stands in its file: a line (CSV), a record number
// (JSON) or both (XML).
struct RecordPlace {
    int Index = 0; // 1-based record of a document; 0 for the line-based CSV
    int Line = 0; // 1-based line; 0 when the format has none
};

// Adds one OMM record to load through SatRecordFromOmm (which applies
// CheckElementSet). A record that fails is refused with its place, name,
// field and reason.
void AddOmmRecord(TleLoad& load, const OmmFields& fields, const RecordPlace& place);
// Refuses a record that a reader could not even turn into fields.
void IgnoreRecord(TleLoad& load, const OmmFields& fields, const RecordPlace& place,
    std::string field, std::string reason);

// The numbers of one pair of element lines as they stand, without the
// plausibility check (for a theory's own verification sets, whose extreme
// cases lie outside it).
ElementSet ReadElementLines(std::string_view line1, std::string_view line2);

// Columns of a two-line element line, checksum in the last.
inline constexpr std::size_t TleLineColumns = 69;

// The checksum of an element line: the digits of columns 1-68 plus 1 for each
// minus sign, modulo 10 (what column 69 should hold).
int TleChecksum(std::string_view line);

// The number conversion of the element columns: the leading decimal number of
// text (blanks skipped, full stop as separator), 0 when there is none.
double ReadTleNumber(std::string_view text);

} // namespace aostrack
