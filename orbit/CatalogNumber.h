#pragma once
// Satellite catalogue numbers as the two-line columns 3 to 7 carry them. Five
// digits end at 99999; numbers from 100000 to 339999 are written "Alpha-5": a
// letter for the hundred-thousands and ten-thousands (A = 10 ... Z = 33, I and
// O left out so they are not read as 1 and 0) followed by four digits.
#include <optional>
#include <string>
#include <string_view>

namespace aostrack {

inline constexpr int MaxFiveDigitNumber = 99999;
inline constexpr int MaxAlpha5Number = 339999;
// OMM carries up to nine digits.
inline constexpr int MaxCatalogNumber = 999999999;

// The number in the five columns: digits (leading blanks allowed, as some old
// files pad) or Alpha-5; nothing when the text is neither.
std::optional<int> ReadTleCatalogNumber(std::string_view columns);

// Five characters for columns 3 to 7: zero-padded digits up to 99999,
// Alpha-5 up to 339999; empty for negative numbers and above 339999.
std::string TleCatalogText(int number);

} // namespace aostrack
