#include "orbit/Tle.h"

#include "orbit/CatalogNumber.h"
#include "orbit/ElementCheck.h"
#include "orbit/InputExcerpt.h"
#include "orbit/OmmCsv.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>
#include <tuple>

namespace aostrack {

namespace {
// A file that could not be opened has no line to point at.
std::string TleFileMessage(const std::string& file, int line, const std::string& reason)
{
    if (line <= 0)
        return file + ": " + reason;
    return file + " line " + std::to_string(line) + ": " + reason;
}
} // namespace

TleFileError::TleFileError(std::string file, int line, std::string reason)
    : std::runtime_error(TleFileMessage(file, line, reason))
    , m_file(std::move(file))
    , m_line(line)
    , m_reason(std::move(reason))
{
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Columns first..last counted from 1; whatever part of them the line holds.
std::string_view Columns(std::string_view line, std::size_t first, std::size_t last)
{
    if (line.size() < first)
        return {};
    return line.substr(first - 1, last - first + 1);
}

double Field(std::string_view line, std::size_t first, std::size_t last)
{
    return ReadTleNumber(Columns(line, first, last));
}

// A number written with an implied leading point and a power of ten, as the
// drag term is: " 12345-3" is 0.12345e-3, "-11606-4" is -0.11606e-4.
double ReadImpliedPointNumber(std::string_view field)
{
    const std::string_view text = Trim(field);
    if (text.size() < 3)
        return 0.0;
    const std::string_view exponent = text.substr(text.size() - 2);
    std::string_view mantissa = text.substr(0, text.size() - 2);
    std::string number;
    if (!mantissa.empty() && (mantissa.front() == '-' || mantissa.front() == '+')) {
        number.push_back(mantissa.front());
        mantissa.remove_prefix(1);
    }
    number += "0.";
    number.append(mantissa);
    number += "e";
    number.append(exponent);
    return ReadTleNumber(number);
}

// A small count in its own columns (the element-set number, 65-68): the
// leading digits, blanks skipped wherever they stand, 0 when there are none.
// Never converted through a double, whose "9e99" has no int.
int ReadColumnCount(std::string_view field)
{
    int value = 0;
    for (const char c : field) {
        if (IsBlank(c))
            continue;
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0'); // at most four columns: no overflow
    }
    return value;
}

void ReadCatalogNumber(std::string_view line, SatRecord& r)
{
    if (r.Elements.CatalogNumber != 0)
        return;
    if (const std::optional<int> number = ReadTleCatalogNumber(Columns(line, 3, 7)))
        r.Elements.CatalogNumber = *number;
}

void ReadLine1(std::string_view line, SatRecord& r)
{
    r.Line1.assign(line);
    r.Elements.Epoch = Field(line, 19, 33);
    // Column 34 carries the sign of the first derivative (blank or '-').
    r.Elements.Decay = Field(line, 34, 43);
    r.Elements.BStar = ReadImpliedPointNumber(Columns(line, 54, 61));
    // What the model does not use is kept for conversion to other formats.
    r.Elements.CatalogNumber = 0;
    ReadCatalogNumber(line, r);
    if (line.size() >= 8 && line[7] > ' ' && line[7] <= '~')
        r.Extras.Classification = line[7];
    r.Elements.IntlDesignator = OneLineName(IntlDesignatorFromTle(Columns(line, 10, 17)));
    r.Extras.MeanMotionDdot = ReadImpliedPointNumber(Columns(line, 45, 52));
    r.Extras.EphemerisType = ReadColumnCount(Columns(line, 63, 63));
    r.Extras.ElementSetNo = ReadColumnCount(Columns(line, 65, 68));
}

void ReadLine2(std::string_view line, SatRecord& r)
{
    r.Line2.assign(line);
    r.Elements.Inclination = Field(line, 9, 16);
    r.Elements.RAAN = Field(line, 18, 25);
    // The file leaves out the leading "0." of the eccentricity.
    std::string ecc = "0.";
    ecc.append(Columns(line, 27, 33));
    r.Elements.Eccentricity = ReadTleNumber(ecc);
    r.Elements.ArgPerigee = Field(line, 35, 42);
    r.Elements.EpochMeanAnomaly = Field(line, 44, 51);
    r.Elements.MeanMotion = Field(line, 53, 63);
    r.Elements.EpochRev = Field(line, 64, 68);
    ReadCatalogNumber(line, r);
}

// Where the lines of the record being read stand (0: not seen).
struct RecordLines {
    int Name = 0;
    int Line1 = 0;
    int Line2 = 0;
};

// The first reason to refuse the record, or nothing; checksum warnings of a
// kept record go to warnings.
std::optional<TleRecordIssue> CheckRecord(const SatRecord& r, const RecordLines& at,
    TleSource source, std::vector<TleRecordIssue>& warnings)
{
    auto issue = [&](int line, std::string field, std::string reason) {
        return TleRecordIssue { line, r.SatName, std::move(field), std::move(reason) };
    };
    if (at.Line1 == 0)
        return issue(at.Name, "line 1", "is missing");
    if (at.Line2 == 0)
        return issue(at.Name, "line 2", "is missing");
    std::vector<TleRecordIssue> found;
    for (const auto& [text, lineNo, field] :
        { std::tuple { std::string_view(r.Line1), at.Line1, "line 1" },
            std::tuple { std::string_view(r.Line2), at.Line2, "line 2" } }) {
        if (text.size() < TleLineColumns)
            return issue(lineNo, field,
                "is " + std::to_string(text.size()) + " columns long, an element line has "
                    + std::to_string(TleLineColumns));
        const char written = text[TleLineColumns - 1];
        if (written < '0' || written > '9')
            continue; // no checksum given
        const int sum = TleChecksum(text);
        if (written - '0' != sum) {
            TleRecordIssue bad = issue(lineNo, field,
                std::string("checksum is ") + written + ", its digits give " + std::to_string(sum));
            if (source == TleSource::Download)
                return bad;
            found.push_back(std::move(bad));
        }
    }
    if (const auto fault = CheckElementSet(r.Elements)) {
        const bool onLine1 = fault->Field == "Epoch" || fault->Field == "Decay";
        return issue(onLine1 ? at.Line1 : at.Line2, fault->Field, fault->Reason);
    }
    for (TleRecordIssue& w : found)
        warnings.push_back(std::move(w));
    return std::nullopt;
}

} // namespace

std::string DescribeTleIssue(const std::string& sourceName, const TleRecordIssue& issue)
{
    std::string where = " line " + std::to_string(issue.Line);
    if (issue.Record > 0) // a record of a JSON or XML document
        where = " record " + std::to_string(issue.Record)
            + (issue.Line > 0 ? " (line " + std::to_string(issue.Line) + ")" : "");
    // The name is the file's: cut, so that a megabyte name makes no megabyte line.
    return sourceName + where + ": "
        + (issue.SatName.empty() ? "" : InputExcerpt(issue.SatName) + ": ")
        + InputExcerpt(issue.Field) + " " + issue.Reason;
}

int TleChecksum(std::string_view line)
{
    int sum = 0;
    for (std::size_t i = 0; i < line.size() && i < TleLineColumns - 1; ++i) {
        if (line[i] >= '0' && line[i] <= '9')
            sum += line[i] - '0';
        else if (line[i] == '-')
            sum += 1;
    }
    return sum % 10;
}

ElementSet ReadElementLines(std::string_view line1, std::string_view line2)
{
    SatRecord r;
    ReadLine1(line1, r);
    ReadLine2(line2, r);
    return r.Elements;
}

double ReadTleNumber(std::string_view text)
{
    // The leading decimal number with blanks skipped wherever they stand:
    // sign, digits, one full stop, an optional exponent (E or D).
    char buf[64];
    std::size_t n = 0;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    auto put = [&](char c) {
        if (n < sizeof buf - 1)
            buf[n++] = c;
    };
    skip();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c))
            continue;
        if (c >= '0' && c <= '9') {
            put(c);
            digits = true;
        } else if (c == '.' && !point) {
            put(c);
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    // Exponent, only when digits follow it.
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        while (j < text.size() && IsBlank(text[j]))
            ++j;
        char expSign = '+';
        if (j < text.size() && (text[j] == '-' || text[j] == '+'))
            expSign = text[j++];
        std::string expDigits;
        for (; j < text.size(); ++j) {
            if (IsBlank(text[j]))
                continue;
            if (text[j] < '0' || text[j] > '9')
                break;
            expDigits.push_back(text[j]);
        }
        if (!expDigits.empty() && expDigits.size() < 6) {
            put('e');
            put(expSign);
            for (char c : expDigits)
                put(c);
        }
    }
    double value = 0.0;
    const auto res = std::from_chars(buf, buf + n, value);
    if (res.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

TleLoad ReadTle(std::istream& in, const std::string& sourceName, TleSource source)
{
    std::string text;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (text.size() > TleMaxFileBytes)
            throw TleFileError(sourceName, 0,
                "larger than " + std::to_string(TleMaxFileBytes / (1024 * 1024))
                    + " MiB: not an element file");
    }
    if (in.bad())
        throw TleFileError(sourceName, 0, std::string("read error: ") + std::strerror(errno));
    return ReadElementText(text, sourceName, source);
}

void AddOmmRecord(TleLoad& load, const OmmFields& fields, const RecordPlace& place)
{
    OmmConversion converted = SatRecordFromOmm(fields);
    if (!converted.Record) {
        IgnoreRecord(load, fields, place, converted.Fault.Field, converted.Fault.Reason);
        return;
    }
    load.Table.Append(std::move(*converted.Record));
    load.SatCount = load.Table.SatCount();
}

void IgnoreRecord(TleLoad& load, const OmmFields& fields, const RecordPlace& place,
    std::string field, std::string reason)
{
    const std::optional<std::string>& name = fields[OmmKey::ObjectName];
    load.Refused.push_back(TleRecordIssue { place.Line, name ? *name : std::string(),
        std::move(field), std::move(reason), place.Index });
}

TleLoad ReadElementText(std::string_view text, const std::string& sourceName, TleSource source)
{
    TleLoad load;
    load.Format = DetectElementFormat(text);
    if (load.Format == ElementFormat::Json || load.Format == ElementFormat::Xml)
        throw TleFileError(sourceName, 0,
            std::string(ElementFormatName(load.Format))
                + " element data is read by the catalogue loader, not the two-line reader");
    if (load.Format == ElementFormat::Csv) {
        ReadOmmCsv(text, load);
        load.SatCount = load.Table.SatCount();
        return load;
    }

    // A two-line record takes 140 to 170 bytes: room for them all up front
    // spares the catalogue's table its copies as it grows.
    load.Table.Reserve(static_cast<int>(std::min<std::size_t>(text.size() / 140 + 1, 1 << 20)));

    std::string_view rest = text;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF")
        rest.remove_prefix(3); // UTF-8 byte order mark written by some editors

    auto ignore = [&](int lineNo) {
        if (load.FirstIgnoredLine == 0)
            load.FirstIgnoredLine = lineNo;
    };
    // The last record is judged once all of its lines are read: when the next
    // name line comes, and at the end of the text.
    RecordLines at;
    auto finishRecord = [&] {
        if (load.Table.SatCount() == 0)
            return;
        if (at.Line1 == 0 && at.Line2 == 0 && source == TleSource::LocalFile)
            return; // a bare name: listed, nothing to propagate
        if (auto refused = CheckRecord(load.Table.Last(), at, source, load.Warnings)) {
            load.Refused.push_back(std::move(*refused));
            load.Table.RemoveLast();
        }
    };

    int lineNo = 0;
    while (!rest.empty()) {
        // One line, ended by CR LF, LF or CR.
        std::size_t end = 0;
        while (end < rest.size() && rest[end] != '\n' && rest[end] != '\r')
            ++end;
        const std::string_view line = rest.substr(0, end);
        std::size_t next = end;
        if (next < rest.size()) {
            if (rest[next] == '\r' && next + 1 < rest.size() && rest[next + 1] == '\n')
                next += 2;
            else
                next += 1;
        }
        rest.remove_prefix(next);
        ++lineNo;

        const bool line1 = line.size() >= 2 && line[0] == '1' && line[1] == ' ';
        const bool line2 = line.size() >= 2 && line[0] == '2' && line[1] == ' ';
        if (line1 || line2) {
            if (load.Table.SatCount() == 0) {
                ++load.IgnoredElementLines; // no record to put them in
                ignore(lineNo);
                continue;
            }
            SatRecord& r = load.Table.Last();
            if (line1) {
                ReadLine1(line, r);
                at.Line1 = lineNo;
            } else {
                ReadLine2(line, r);
                at.Line2 = lineNo;
            }
            continue;
        }
        // A name is shown in one line of a list and written into every form:
        // control characters become blanks.
        std::string name = OneLineName(line);
        if (name.empty())
            continue;
        finishRecord();
        at = RecordLines { lineNo, 0, 0 };
        SatRecord record;
        record.SatName = std::move(name);
        load.Table.Append(std::move(record));
    }
    finishRecord();
    load.LineCount = lineNo;
    load.SatCount = load.Table.SatCount();
    return load;
}

} // namespace aostrack
