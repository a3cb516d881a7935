#pragma once
// The few JSON pieces the tool writes: numbers that read back to the very same
// double, strings with their escapes.
#include <QString>

namespace aostrack {

// 17 significant digits, so that the number parses back to the same double;
// null for NaN and infinities, which JSON cannot carry.
QString JsonNumber(double value);
// A quoted string with ", \ and control characters escaped.
QString JsonString(const QString& text);

} // namespace aostrack
