#include "orbit/OmmCsv.h"

#include <algorithm>
#include <array>

namespace aostrack {

namespace {

// The fields of one CSV line into fields (whose strings are reused from line
// to line); quotes removed, "" read as one quote. Returns the 1-based column
// of a quote that the line does not close, 0 when every quote closes.
std::size_t SplitCsvLine(std::string_view line, std::vector<std::string>& fields)
{
    std::size_t count = 0;
    const auto next = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        return field;
    };
    std::string* field = &next();
    bool quoted = false;
    std::size_t opened = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field->push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field->push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
            opened = i + 1;
        } else if (c == ',') {
            field = &next();
        } else {
            // Copy the run up to the next comma or quote at once.
            const std::size_t end = line.find_first_of(",\"", i);
            const std::size_t stop = end == std::string_view::npos ? line.size() : end;
            field->append(line.substr(i, stop - i));
            i = stop - 1;
        }
    }
    fields.resize(count);
    return quoted ? opened : 0;
}

std::string QuotedWhenNeeded(const std::string& field)
{
    if (field.find_first_of(",\"\r\n") == std::string::npos)
        return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"')
            quoted.push_back('"');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

} // namespace

void ReadOmmCsv(std::string_view text, TleLoad& load)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::optional<OmmKey>> columns;
    std::vector<std::string> fields;
    load.Table.Reserve(static_cast<int>(std::count(text.begin(), text.end(), '\n')));
    bool header = true;
    int lineNo = 0;
    while (!text.empty()) {
        std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(0, end);
        std::size_t next = end;
        if (next < text.size())
            next
                += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
        text.remove_prefix(next);
        ++lineNo;
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;

        // A record is a few hundred bytes; a line far longer is not one, and
        // is neither split nor quoted whole in a message.
        if (line.size() > kOmmCsvMaxLineBytes) {
            IgnoreRecord(load, OmmFields {}, RecordPlace { 0, lineNo }, header ? "header" : "line",
                "is " + std::to_string(line.size()) + " bytes long, a record has at most "
                    + std::to_string(kOmmCsvMaxLineBytes));
            if (header)
                break; // without its header no line can be read
            continue;
        }
        const std::size_t openQuote = SplitCsvLine(line, fields);
        if (header) {
            for (const std::string& name : fields) {
                const std::size_t first = name.find_first_not_of(' ');
                const std::size_t last = name.find_last_not_of(' ');
                columns.push_back(first == std::string::npos
                        ? std::nullopt
                        : OmmKeyFromName(std::string_view(name).substr(first, last - first + 1)));
            }
            header = false;
            continue;
        }
        const RecordPlace where { 0, lineNo };
        OmmFields record;
        for (std::size_t i = 0; i < fields.size() && i < columns.size(); ++i) {
            if (columns[i])
                record[*columns[i]] = fields[i];
        }
        if (openQuote > 0) {
            // Fields do not run on over line ends: the quote ends with its line.
            IgnoreRecord(load, record, where, "column " + std::to_string(openQuote),
                "opens a quote that the line does not close");
            continue;
        }
        if (fields.size() != columns.size()) {
            // A name with an unquoted comma, or a line cut off: no column can be trusted.
            IgnoreRecord(load, record, where, "fields",
                "are " + std::to_string(fields.size()) + ", the header names "
                    + std::to_string(columns.size()));
            continue;
        }
        AddOmmRecord(load, record, where);
    }
    load.LineCount = lineNo;
}

std::string WriteOmmCsv(const std::vector<SatRecord>& records)
{
    std::string out;
    for (std::size_t i = 0; i < OmmKeyCount; ++i) {
        if (i > 0)
            out.push_back(',');
        out.append(OmmKeyNames[i]);
    }
    out.append("\r\n");
    for (const SatRecord& record : records) {
        const OmmFields fields = OmmFromSatRecord(record);
        for (std::size_t i = 0; i < OmmKeyCount; ++i) {
            if (i > 0)
                out.push_back(',');
            if (fields.Values[i])
                out.append(QuotedWhenNeeded(*fields.Values[i]));
        }
        out.append("\r\n");
    }
    return out;
}

} // namespace aostrack
