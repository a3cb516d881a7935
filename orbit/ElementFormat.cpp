#include "orbit/ElementFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace aostrack {

namespace {

constexpr std::array<std::string_view, 4> FormatNames = { "tle", "csv", "json", "xml" };

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool EndsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The next line of text (without its end) and text moved past it.
std::string_view TakeLine(std::string_view& text)
{
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    std::size_t next = end;
    if (next < text.size())
        next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    text.remove_prefix(next);
    return line;
}

// Element lines as the fixed columns have them: "1 " with the epoch's point
// in column 24, "2 " with the points of inclination (12) and mean motion
// (55), each a whole element line long.
bool IsElementLine1(std::string_view line)
{
    return line.size() >= 69 && line.substr(0, 2) == "1 " && line[23] == '.';
}
bool IsElementLine2(std::string_view line)
{
    return line.size() >= 69 && line.substr(0, 2) == "2 " && line[11] == '.' && line[54] == '.';
}

// A name line followed by both element lines: a two-line file, whatever
// the name begins with ("<", "[", "{" or a CSV header's words).
bool StartsAsTwoLineFile(std::string_view text)
{
    (void)TakeLine(text);
    const std::string_view line1 = TakeLine(text);
    const std::string_view line2 = TakeLine(text);
    return IsElementLine1(line1) && IsElementLine2(line2);
}

} // namespace

ElementFormat DetectElementFormat(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos)
        return ElementFormat::Tle;
    text.remove_prefix(start);
    if (StartsAsTwoLineFile(text))
        return ElementFormat::Tle;
    if (text.front() == '[' || text.front() == '{')
        return ElementFormat::Json;
    if (text.front() == '<')
        return ElementFormat::Xml;
    const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
    if (firstLine.find(',') != std::string_view::npos
        && firstLine.find("NORAD_CAT_ID") != std::string_view::npos)
        return ElementFormat::Csv;
    return ElementFormat::Tle;
}

std::optional<ElementFormat> OmmFormatForPath(std::string_view path)
{
    const std::string lower = Lower(path);
    if (EndsWith(lower, ".csv"))
        return ElementFormat::Csv;
    if (EndsWith(lower, ".json"))
        return ElementFormat::Json;
    if (EndsWith(lower, ".xml"))
        return ElementFormat::Xml;
    return std::nullopt;
}

std::string_view ElementFormatName(ElementFormat format)
{
    return FormatNames[static_cast<std::size_t>(format)];
}

std::optional<ElementFormat> ElementFormatFromName(std::string_view name)
{
    const std::string lower = Lower(name);
    for (std::size_t i = 0; i < FormatNames.size(); ++i) {
        if (lower == FormatNames[i])
            return static_cast<ElementFormat>(i);
    }
    return std::nullopt;
}

} // namespace aostrack
