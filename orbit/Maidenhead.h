#pragma once
// Maidenhead grid locators ("JN58sd"), the way hams give their station:
// pairs of field (A-R: 20 x 10 degrees), square (0-9: 2 x 1 degrees),
// subsquare (A-X: 5 x 2.5 minutes) and extended square (0-9: 30 x 15
// seconds), longitude first in each pair. Letters in any case.
#include <optional>
#include <string>
#include <string_view>

namespace aostrack {

struct LocatorPoint {
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, east positive
    bool operator==(const LocatorPoint&) const = default;
};

// Why text is not a locator of 4, 6 or 8 characters ("JN5": "4, 6 or 8
// characters"), or empty when it is one.
std::string LocatorProblem(std::string_view locator);

// The centre of the locator's square, subsquare or extended square; nullopt
// when LocatorProblem has something to say.
std::optional<LocatorPoint> LocatorCentre(std::string_view locator);

// The locator of pairs pairs (2 to 4) holding the point; subsquare letters in
// lower case ("JN58sd"). Latitude -90..90, longitude -180..180 (the east and
// north edges fall into the last square).
std::string PositionLocator(double lat, double lon, int pairs = 3);

} // namespace aostrack
