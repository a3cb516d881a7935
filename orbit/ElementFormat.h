#pragma once
// The four forms in which element sets come: two-line files and the Orbit
// Mean-Elements Message (OMM) as CSV, JSON or XML. The public services give
// objects numbered above 99999 only as OMM, since the two-line columns cannot
// hold their numbers.
#include <optional>
#include <string_view>

namespace aostrack {

enum class ElementFormat { Tle, Csv, Json, Xml };

// The form of text, told from its content: a name line followed by two
// element lines at their columns is a two-line file whatever the name
// begins with; else JSON starts with '[' or '{', XML with '<', CSV with a
// header line that names NORAD_CAT_ID; anything else is read as a two-line
// file. Leading blanks, line breaks and a UTF-8 byte order mark are skipped.
ElementFormat DetectElementFormat(std::string_view text);

// The OMM form that a catalogue file's name asks for (".csv", ".json",
// ".xml", any case); nothing for other names, which stay two-line files.
std::optional<ElementFormat> OmmFormatForPath(std::string_view path);

// "tle", "csv", "json", "xml".
std::string_view ElementFormatName(ElementFormat format);
std::optional<ElementFormat> ElementFormatFromName(std::string_view name);

} // namespace aostrack
