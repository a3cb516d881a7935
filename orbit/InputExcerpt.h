#pragma once
// A piece of outside input quoted in a message (a name, a field, a reply)
// is cut short, so that a megabyte name cannot make a megabyte log line or
// stall the window that shows it.
#include <cstddef>
#include <string>
#include <string_view>

namespace aostrack {

// Quoted input in messages is cut after this many characters.
inline constexpr std::size_t kInputExcerptChars = 80;

// text itself when it has at most kInputExcerptChars characters (UTF-8),
// else its first kInputExcerptChars characters and "…". A cut never splits
// a UTF-8 sequence.
std::string InputExcerpt(std::string_view text);

} // namespace aostrack
