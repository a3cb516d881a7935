#include "core/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace aostrack {

namespace {

bool IsDigitChar(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// The decimal digits of |value| rounded half away from zero to `decimals`
// places, as an integer-part string and a fraction string. The value is first
// taken to 15 significant digits, so a binary neighbour of a decimal tie
// (2.675 is stored as 2.67499999...) rounds as the operator reads it.
void DecimalDigits(double value, int decimals, std::string& intPart, std::string& fracPart)
{
    char buffer[64] = {};
    std::to_chars(
        buffer, buffer + sizeof buffer - 1, std::fabs(value), std::chars_format::scientific, 14);
    // buffer: d.dddddddddddddde[+-]xx
    std::string mantissa;
    mantissa += buffer[0];
    mantissa += std::string(buffer + 2, buffer + 16);
    const int exponent = std::atoi(buffer + 17);
    // digits[i] has weight 10^(exponent - i); pad so that the integer part and
    // decimals + 1 fraction digits exist.
    int pointPos = exponent + 1; // digits before the decimal point
    std::string digits = mantissa;
    if (pointPos <= 0) {
        digits.insert(0, static_cast<size_t>(1 - pointPos), '0');
        pointPos = 1;
    }
    const size_t needed = static_cast<size_t>(pointPos + decimals + 1);
    if (digits.size() < needed)
        digits.append(needed - digits.size(), '0');
    const bool roundUp = digits[static_cast<size_t>(pointPos + decimals)] >= '5';
    digits.resize(static_cast<size_t>(pointPos + decimals));
    if (roundUp) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0; --i) {
            if (digits[static_cast<size_t>(i)] == '9') {
                digits[static_cast<size_t>(i)] = '0';
            } else {
                ++digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            digits.insert(0, 1, '1');
            ++pointPos;
        }
    }
    intPart = digits.substr(0, static_cast<size_t>(pointPos));
    fracPart = digits.substr(static_cast<size_t>(pointPos));
    const size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
}

} // namespace

QString FormatPattern(double value, const QString& pattern, const QLocale& locale)
{
    if (!std::isfinite(value))
        return locale.toString(value);

    // The digit section is the run of '0', '#', '.' and ',' that starts at the
    // first digit placeholder (or point); everything else is copied.
    qsizetype start = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (IsDigitChar(pattern[i]) || pattern[i] == QLatin1Char('.')) {
            start = i;
            break;
        }
    }
    if (start < 0)
        return pattern;
    qsizetype end = start;
    while (end < pattern.size()
        && (IsDigitChar(pattern[end]) || pattern[end] == QLatin1Char('.')
            || pattern[end] == QLatin1Char(',')))
        ++end;
    const QString section = pattern.mid(start, end - start);
    if (pattern.contains(QLatin1Char('%')))
        value *= 100;

    const qsizetype point = section.indexOf(QLatin1Char('.'));
    const QString intPattern = point < 0 ? section : section.left(point);
    const QString fracPattern = point < 0 ? QString() : section.mid(point + 1);
    const int minIntDigits = static_cast<int>(intPattern.count(QLatin1Char('0')));
    int forcedDecimals = 0;
    int decimals = 0;
    for (QChar c : fracPattern) {
        if (c == QLatin1Char('0'))
            forcedDecimals = ++decimals;
        else if (c == QLatin1Char('#'))
            ++decimals;
    }

    std::string intDigits;
    std::string fracDigits;
    DecimalDigits(value, decimals, intDigits, fracDigits);
    while (static_cast<int>(fracDigits.size()) > forcedDecimals && fracDigits.back() == '0')
        fracDigits.pop_back();
    if (static_cast<int>(intDigits.size()) < minIntDigits)
        intDigits.insert(0, static_cast<size_t>(minIntDigits) - intDigits.size(), '0');
    // A value that rounds to zero shows no minus sign.
    const bool negative = value < 0
        && (intDigits.find_first_not_of('0') != std::string::npos
            || fracDigits.find_first_not_of('0') != std::string::npos);

    QString number;
    if (negative)
        number += locale.negativeSign();
    number += QString::fromStdString(intDigits);
    if (!fracDigits.empty() || (point >= 0 && forcedDecimals > 0))
        number += locale.decimalPoint() + QString::fromStdString(fracDigits);

    QString result = pattern.left(start) + number + pattern.mid(end);
    return result;
}

double RoundAsShown(double value, int decimals)
{
    if (!std::isfinite(value))
        return value;
    std::string intDigits;
    std::string fracDigits;
    DecimalDigits(value, decimals, intDigits, fracDigits);
    // The shown digits as one whole number of 10^-decimals: exact below 2^53,
    // so one division gives the double nearest to the shown decimal, as
    // reading the shown text would.
    const std::string digits = "0" + intDigits + fracDigits;
    double scaled = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), scaled);
    const double shown = scaled / std::pow(10.0, decimals);
    return value < 0 ? -shown : shown;
}

QString FormatPlain(double value)
{
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e')))
        text = text.toUpper();
    if (!text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char(' '));
    return text;
}

namespace {

bool IsAsciiDigitAt(const QString& text, qsizetype k)
{
    return k < text.size() && text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9');
}

// An exponent at text[i] ("e5", "D-3", "E + 2" with blanks): appended to
// number; returns where the reading stops (i when there is none).
qsizetype ReadExponent(const QString& text, qsizetype i, std::string& number)
{
    if (i >= text.size()
        || (text[i] != QLatin1Char('e') && text[i] != QLatin1Char('E')
            && text[i] != QLatin1Char('d') && text[i] != QLatin1Char('D')))
        return i;
    qsizetype k = i + 1;
    std::string exponent = "e";
    while (k < text.size() && text[k] == QLatin1Char(' '))
        ++k;
    if (k < text.size() && (text[k] == QLatin1Char('+') || text[k] == QLatin1Char('-')))
        exponent += static_cast<char>(text[k++].unicode());
    bool expDigit = false;
    while (true) {
        while (k < text.size() && text[k] == QLatin1Char(' '))
            ++k;
        if (!IsAsciiDigitAt(text, k))
            break;
        exponent += static_cast<char>(text[k++].unicode());
        expDigit = true;
    }
    if (!expDigit)
        return i;
    number += exponent;
    return k;
}

} // namespace

LenientReading ReadLenientWithRest(const QString& text)
{
    // Blanks are skipped wherever they stand, as a typed "51 .5" still means 51.5.
    std::string number;
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < text.size()
            && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')
                || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
            ++i;
    };
    auto isDigit = [&](qsizetype k) {
        return k < text.size() && text[k] >= QLatin1Char('0') && text[k] <= QLatin1Char('9');
    };
    skipBlanks();
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        number += static_cast<char>(text[i].unicode());
        ++i;
    }
    bool anyDigit = false;
    for (skipBlanks(); isDigit(i); skipBlanks()) {
        number += static_cast<char>(text[i++].unicode());
        anyDigit = true;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        for (skipBlanks(); isDigit(i); skipBlanks()) {
            number += static_cast<char>(text[i++].unicode());
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return { 0, text.trimmed() };
    i = ReadExponent(text, i, number);
    // from_chars, not strtod: the C library's number reading follows the
    // regional settings, and sat.ini always uses a point.
    if (number.front() == '+')
        number.erase(0, 1);
    double result = 0;
    std::from_chars(number.data(), number.data() + number.size(), result);
    return { std::isfinite(result) ? result : 0, text.mid(i).trimmed() };
}

double ReadLenient(const QString& text)
{
    return ReadLenientWithRest(text).value;
}

std::optional<double> ReadStrict(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // Thousands separators are refused: with a decimal comma "5.5" would
    // otherwise read as 55. A full-stop number is understood in any region.
    QLocale regional = locale;
    regional.setNumberOptions(regional.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = regional.toDouble(trimmed, &ok);
    if (!ok) {
        QLocale plain = QLocale::c();
        plain.setNumberOptions(QLocale::RejectGroupSeparator);
        value = plain.toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double RoundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode rounds halves to even
}

} // namespace aostrack
