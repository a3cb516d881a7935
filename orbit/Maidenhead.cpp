#include "orbit/Maidenhead.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>

namespace aostrack {

namespace {

// One pair of a locator: its base character, how many values it takes and
// the cell size in degrees of longitude (latitude cells are half as tall).
struct PairKind {
    char first;
    int count;
    double lonStepDeg;
};

constexpr std::array<PairKind, 4> kPairs { {
    { 'A', 18, 20.0 },
    { '0', 10, 2.0 },
    { 'A', 24, 2.0 / 24 },
    { '0', 10, 2.0 / 240 },
} };

int PairValue(char c, const PairKind& kind)
{
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const int value = upper - kind.first;
    return value >= 0 && value < kind.count ? value : -1;
}

} // namespace

std::string LocatorProblem(std::string_view locator)
{
    if (locator.size() != 4 && locator.size() != 6 && locator.size() != 8)
        return "a locator has 4, 6 or 8 characters, as JN58 or JN58sd";
    for (std::size_t i = 0; i < locator.size(); ++i) {
        const PairKind& kind = kPairs[i / 2];
        if (PairValue(locator[i], kind) < 0) {
            const std::string wanted = kind.first == '0'
                ? std::string("a digit")
                : std::string("a letter A to ") + static_cast<char>(kind.first + kind.count - 1);
            return "character " + std::to_string(i + 1) + " of a locator must be " + wanted;
        }
    }
    return {};
}

std::optional<LocatorPoint> LocatorCentre(std::string_view locator)
{
    if (!LocatorProblem(locator).empty())
        return std::nullopt;
    double lon = -180;
    double lat = -90;
    double lonStep = 0;
    for (std::size_t pair = 0; pair * 2 < locator.size(); ++pair) {
        const PairKind& kind = kPairs[pair];
        lonStep = kind.lonStepDeg;
        lon += PairValue(locator[pair * 2], kind) * lonStep;
        lat += PairValue(locator[pair * 2 + 1], kind) * lonStep / 2;
    }
    return LocatorPoint { lat + lonStep / 4, lon + lonStep / 2 };
}

std::string PositionLocator(double lat, double lon, int pairs)
{
    pairs = std::clamp(pairs, 2, 4);
    // Offsets from the south-west corner of the grid, in degrees.
    double east = std::clamp(lon + 180, 0.0, 360.0);
    double north = std::clamp(lat + 90, 0.0, 180.0);
    std::string text;
    for (int pair = 0; pair < pairs; ++pair) {
        const PairKind& kind = kPairs[pair];
        const int x
            = std::min(static_cast<int>(std::floor(east / kind.lonStepDeg)), kind.count - 1);
        const int y
            = std::min(static_cast<int>(std::floor(north / (kind.lonStepDeg / 2))), kind.count - 1);
        east -= x * kind.lonStepDeg;
        north -= y * kind.lonStepDeg / 2;
        const bool lower = pair == 2;
        const char base = lower ? 'a' : kind.first;
        text += static_cast<char>(base + x);
        text += static_cast<char>(base + y);
    }
    return text;
}

} // namespace aostrack
