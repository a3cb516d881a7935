// Number texts and readings: worked examples of the station's displays and
// sat.ini values, in the English and German regional settings.
#include "core/NumberText.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace aostrack;

namespace {
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
}

TEST(FormatPattern, NormalPatterns)
{
    EXPECT_EQ(FormatPattern(1.5, "#.00", kEnglish), "1.50");
    EXPECT_EQ(FormatPattern(7.1, "#.00", kEnglish), "7.10");
    EXPECT_EQ(FormatPattern(123.456, "0.00", kEnglish), "123.46");
    EXPECT_EQ(FormatPattern(1234.5678, "0.000 km", kEnglish), "1234.568 km");
    EXPECT_EQ(FormatPattern(145.8, "0.00 dB", kEnglish), "145.80 dB");
    EXPECT_EQ(FormatPattern(5, "00", kEnglish), "05");
    EXPECT_EQ(FormatPattern(45, "000", kEnglish), "045");
    EXPECT_EQ(FormatPattern(340.5, "000.00000000", kEnglish), "340.50000000");
    EXPECT_EQ(FormatPattern(12.0, "0.0", kEnglish), "12.0");
}

TEST(FormatPattern, NoLeadingZeroWithHash)
{
    EXPECT_EQ(FormatPattern(0.5, "#.00", kEnglish), ".50");
    EXPECT_EQ(FormatPattern(-0.25, "#.00", kEnglish), "-.25");
    EXPECT_EQ(FormatPattern(0, "#.00", kEnglish), ".00");
}

TEST(FormatPattern, PercentMultipliesByHundred)
{
    EXPECT_EQ(FormatPattern(0.5, "0.0 %", kEnglish), "50.0 %");
    EXPECT_EQ(FormatPattern(1, "0.0 %", kEnglish), "100.0 %");
    EXPECT_EQ(FormatPattern(0, "0.0 %", kEnglish), "0.0 %");
}

TEST(FormatPattern, HalvesAwayFromZero)
{
    EXPECT_EQ(FormatPattern(0.125, "0.00", kEnglish), "0.13");
    EXPECT_EQ(FormatPattern(-0.125, "0.00", kEnglish), "-0.13");
    EXPECT_EQ(FormatPattern(2.675, "0.00", kEnglish), "2.68"); // stored as 2.67499999...
    EXPECT_EQ(FormatPattern(9.995, "0.00", kEnglish), "10.00");
    EXPECT_EQ(FormatPattern(0.05, "0.0", kEnglish), "0.1");
    EXPECT_EQ(FormatPattern(3.45, "0.0", kEnglish), "3.5");
}

TEST(FormatPattern, TinyNegativeShowsNoMinus)
{
    EXPECT_EQ(FormatPattern(-0.001, "0.00", kEnglish), "0.00");
}

TEST(FormatPattern, MaximumValues)
{
    EXPECT_EQ(FormatPattern(2147483647.0, "0.000", kEnglish), "2147483647.000");
    EXPECT_EQ(FormatPattern(1e15, "0", kEnglish), "1000000000000000");
    EXPECT_EQ(FormatPattern(435800000.123, "0.000", kEnglish), "435800000.123");
}

TEST(FormatPattern, GermanDecimalComma)
{
    EXPECT_EQ(FormatPattern(0.5, "#.00", kGerman), ",50");
    EXPECT_EQ(FormatPattern(-0.25, "#.00", kGerman), "-,25");
    EXPECT_EQ(FormatPattern(1234.5678, "0.000 km", kGerman), "1234,568 km");
    EXPECT_EQ(FormatPattern(145800.123, "0.000", kGerman), "145800,123");
}

TEST(FormatPlain, Normal)
{
    EXPECT_EQ(FormatPlain(0), " 0");
    EXPECT_EQ(FormatPlain(2.5), " 2.5");
    EXPECT_EQ(FormatPlain(-2.5), "-2.5");
    EXPECT_EQ(FormatPlain(145800), " 145800");
    EXPECT_EQ(FormatPlain(435845.125), " 435845.125");
    EXPECT_EQ(
        FormatPlain(145800.1 + 0.2), " 145800.3"); // 15 significant digits hide the binary tail
}

TEST(ReadLenient, Normal)
{
    EXPECT_DOUBLE_EQ(ReadLenient("51.5"), 51.5);
    EXPECT_DOUBLE_EQ(ReadLenient("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(ReadLenient("+7"), 7);
    EXPECT_DOUBLE_EQ(ReadLenient("1.5e3"), 1500);
    EXPECT_DOUBLE_EQ(ReadLenient(".5"), 0.5);
}

TEST(ReadLenient, TrailingTextAndBlanks)
{
    EXPECT_DOUBLE_EQ(ReadLenient("51.5N"), 51.5);
    EXPECT_DOUBLE_EQ(ReadLenient("  5 1 . 5 "), 51.5);
    EXPECT_DOUBLE_EQ(ReadLenient("12,5"), 12); // a comma ends the number
    EXPECT_DOUBLE_EQ(ReadLenient("3e"), 3);
    EXPECT_DOUBLE_EQ(ReadLenient("2.5 kHz"), 2.5);
}

TEST(ReadLenient, MalformedGivesZero)
{
    EXPECT_DOUBLE_EQ(ReadLenient("north"), 0);
    EXPECT_DOUBLE_EQ(ReadLenient(""), 0);
    EXPECT_DOUBLE_EQ(ReadLenient("-"), 0);
    EXPECT_DOUBLE_EQ(ReadLenient("."), 0);
    EXPECT_DOUBLE_EQ(ReadLenient("1e999"), 0); // no infinity slips through
}

TEST(ReadLenient, IgnoresRegionalSettings)
{
    const QLocale saved;
    QLocale::setDefault(kGerman);
    EXPECT_DOUBLE_EQ(ReadLenient("51.5"), 51.5);
    QLocale::setDefault(saved);
}

TEST(ReadStrict, Normal)
{
    EXPECT_EQ(ReadStrict("5", kEnglish), 5.0);
    EXPECT_EQ(ReadStrict(" 5.5 ", kEnglish), 5.5);
    EXPECT_EQ(ReadStrict("-4.5", kEnglish), -4.5);
    EXPECT_EQ(ReadStrict("5,5", kGerman), 5.5);
    EXPECT_EQ(ReadStrict("5.5", kGerman), 5.5); // not 55: no thousands separators
    EXPECT_EQ(ReadStrict("1e2", kEnglish), 100.0);
}

TEST(ReadStrict, Malformed)
{
    EXPECT_EQ(ReadStrict("five", kEnglish), std::nullopt);
    EXPECT_EQ(ReadStrict("AUTO", kEnglish), std::nullopt);
    EXPECT_EQ(ReadStrict("", kEnglish), std::nullopt);
    EXPECT_EQ(ReadStrict("5x", kEnglish), std::nullopt);
    EXPECT_EQ(ReadStrict("1,000", kEnglish), std::nullopt);
    EXPECT_EQ(ReadStrict("inf", kEnglish), std::nullopt);
}

TEST(RoundHalfEven, Halves)
{
    EXPECT_EQ(RoundHalfEven(4.5), 4);
    EXPECT_EQ(RoundHalfEven(5.5), 6);
    EXPECT_EQ(RoundHalfEven(-4.5), -4);
    EXPECT_EQ(RoundHalfEven(-5.5), -6);
    EXPECT_EQ(RoundHalfEven(2.4), 2);
    EXPECT_EQ(RoundHalfEven(2.6), 3);
}
