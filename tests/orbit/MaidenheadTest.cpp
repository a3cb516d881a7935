// Maidenhead locators: centres worked out by hand from the grid's steps
// (field 20 x 10 degrees, square 2 x 1, subsquare 5' x 2.5', extended 30" x 15")
// and real stations that must lie inside their square.
#include "orbit/Maidenhead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

using namespace aostrack;

TEST(Maidenhead, CentresOfKnownSquares)
{
    struct Case {
        const char* locator;
        double lat;
        double lon;
        const char* why;
    };
    const Case cases[] = {
        { "JN58", 48.5, 11.0, "square: 48-49 N, 10-12 E" },
        { "JN58td", 48.14583333, 11.625, "Munich, 48.14 N 11.58 E" },
        { "jn58TD", 48.14583333, 11.625, "letters in any case" },
        { "JN58td25", 48.14791667, 11.60416667, "extended square" },
        { "FN31pr", 41.72916667, -72.70833333, "Newington CT, 41.71 N 72.73 W" },
        { "AA00", -89.5, -179.0, "south-west corner of the grid" },
        { "RR99xx", 89.97916667, 179.95833333, "north-east corner" },
        { "QF22le", -37.8125, 144.9583333, "Melbourne, 37.81 S 144.96 E" },
    };
    for (const Case& c : cases) {
        const std::optional<LocatorPoint> centre = LocatorCentre(c.locator);
        ASSERT_TRUE(centre) << c.locator;
        EXPECT_NEAR(centre->Lat, c.lat, 1e-7) << c.locator << ": " << c.why;
        EXPECT_NEAR(centre->Lon, c.lon, 1e-7) << c.locator << ": " << c.why;
        // And back: the centre's locator of the same length is the locator.
        const std::string back = PositionLocator(
            centre->Lat, centre->Lon, static_cast<int>(std::string_view(c.locator).size() / 2));
        EXPECT_TRUE(std::equal(back.begin(), back.end(), c.locator, c.locator + back.size(),
            [](char a, char b) { return std::toupper(a) == std::toupper(b); }))
            << c.locator << " came back as " << back;
    }
    // Real stations inside their squares.
    EXPECT_EQ(PositionLocator(48.1371, 11.5754), "JN58sd"); // Munich, the example station
    EXPECT_EQ(PositionLocator(41.7147, -72.7272), "FN31pr"); // ARRL headquarters
    EXPECT_EQ(PositionLocator(90, 180), "RR99xx"); // the edges fall into the last square
}

TEST(Maidenhead, BadLocatorsAreRefusedWithTheReason)
{
    struct Case {
        const char* locator;
        const char* problem;
    };
    const Case cases[] = {
        { "", "a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
        { "JN5", "a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
        { "JN58t", "a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
        { "SN58", "character 1 of a locator must be a letter A to R" },
        { "JNA8", "character 3 of a locator must be a digit" },
        { "JN58yd", "character 5 of a locator must be a letter A to X" },
        { "JN58td2x", "character 8 of a locator must be a digit" },
        { "JN 58", "a locator has 4, 6 or 8 characters, as JN58 or JN58sd" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LocatorProblem(c.locator), c.problem) << '"' << c.locator << '"';
        EXPECT_FALSE(LocatorCentre(c.locator)) << '"' << c.locator << '"';
    }
}
