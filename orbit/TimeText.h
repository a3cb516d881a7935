#pragma once
// Fixed-format time and angle texts (no regional settings involved).
#include <chrono>
#include <string>

namespace aostrack {

// The program's one fixed hh:mm:ss: "HH:MM:SS" of a count of seconds (hours
// past 99 in full); the texts below and the window's are made from it.
std::string HmsText(long long totalSeconds);
// "2026-12-07T14:03:27Z": an instant in UTC, as the commands, the web page
// and the exported tracks write it.
std::string UtcInstantString(std::chrono::sys_seconds instant);
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
