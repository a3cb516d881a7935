#pragma once
// Number texts shown to the operator and number readings of sat.ini and the
// frequency database. Shown numbers follow the regional settings; numbers for
// devices and element files use a full stop.
#include <QLocale>
#include <QString>
#include <optional>

namespace aostrack {

// Digit-pattern form: "0.00", "000.0", "#.00", "0.000 km", "0.0 dB" ...
// '0' is a forced digit, '#' an optional one, '.' the regional decimal
// separator; other characters are copied. Rounds to the pattern's decimals.
QString FormatPattern(double value, const QString& pattern, const QLocale& locale = QLocale());

// The number FormatPattern shows with `decimals` forced decimals (15
// significant digits, then half away from zero), as the nearest double:
// 145797.5684999 -> 145797.568 for three decimals. For |value| < 1e15.
double RoundAsShown(double value, int decimals);

// Plain form: shortest decimal text (up to 15 significant digits), full stop,
// leading blank for values >= 0, minus sign otherwise: 0 -> " 0", 2.5 -> " 2.5".
QString FormatPlain(double value);

// Lenient reading: the longest leading decimal number (point as separator,
// blanks inside skipped, optional exponent); 0 when there is none. Never fails.
double ReadLenient(const QString& text);
// The same reading and the text it left unread after the number, blanks
// around it dropped ("48,14" -> 48 and ",14"; "51.5N" -> 51.5 and "N";
// "north" -> 0 and "north"); rest is empty when the whole text was the number.
struct LenientReading {
    double value = 0;
    QString rest;
};
LenientReading ReadLenientWithRest(const QString& text);

// Strict reading: the whole text must be a number in the regional format
// (no thousands separators) or with a full stop; nullopt otherwise.
std::optional<double> ReadStrict(const QString& text, const QLocale& locale = QLocale());

// Rounding to the nearest integer with halves to even (4.5 -> 4, 5.5 -> 6).
double RoundHalfEven(double value);

} // namespace aostrack
