#pragma once
// Fixed-format time and angle texts (no regional settings involved).
#include <string>

namespace aostrack {

// "HH:MM:SS" of a count of seconds; whole days are dropped and a negative
// count wraps into the previous day (-5 -> "23:59:55"); not a number gives
// "--:--:--".
std::string FormatCountdown(double seconds);
// "HH:MM:SS" of hours, rounded to the nearest second (23.9999 h -> "24:00:00").
std::string FormatHms(double hours);
// Degrees, minutes, seconds: 48.5 -> 48°30' 00" (UTF-8 degree sign); negative
// values keep the sign on the degrees and round toward zero.
std::string FormatDms(double degrees);

} // namespace aostrack
