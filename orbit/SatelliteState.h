#pragma once
// Everything the orbit engine knows about the selected satellite at one
// instant. Field names are the ones printed by the command-line tool.
#include <cstdint>
#include <string_view>

namespace aostrack {

// The illumination texts; IlluminationText views one of these (static storage,
// so a state costs no allocation and stays valid for as long as it is kept).
inline constexpr std::string_view IlluminationSunlight = "satellite in sunlight";
inline constexpr std::string_view IlluminationVisible = "satellite may visible";
inline constexpr std::string_view IlluminationEclipse = "satellite in eclipse";

struct SatelliteState {
    // Look angles and range (station-centred)
    double SatAzimuth = 0; // degrees, 0 to below 360, clockwise from north
    double SatElevation = 0; // degrees, -90..90
    double SatRange = 0; // km
    double RangeRate = 0; // km/s, positive while the distance grows
    double SubSatLat = 0; // degrees north (geodetic)
    double SubSatLon = 0; // degrees east, above -180 to 180
    double PathLoss = 0; // dB, free space, at the tuned frequency

    // Orbit state
    double DayFraction = 0; // UT fraction of the day of the instant
    double MeanAnomaly = 0; // degrees 0..360
    std::int32_t MAPhase = 0; // mean anomaly in 256ths of a revolution, 0..255
    std::int32_t OrbitNumber = 0;
    double SatHeight = 0; // km, orbit radius - 6378.137
    double OrbitRadius = 0; // km
    double EccAnomaly = 0; // degrees
    double NodeNow = 0; // degrees 0..360
    double PerigeeNow = 0; // degrees 0..360
    double ElapsedDays = 0; // days from the epoch, negative before it
    double SiderealNow = 0; // Greenwich sidereal angle, degrees
    std::int32_t CalcDayNumber = 0; // day number of the instant's date

    // Sun and illumination
    double SunAngle = 0; // degrees -90..90, sun above the plane normal to the antenna axis
    double Illumination = 0; // 0..1, exactly 0 in eclipse
    std::string_view IlluminationText = IlluminationSunlight;
    double SunElevation = 0; // degrees, at the station
    bool InEclipse = false; // in the earth's cylindrical shadow
    bool MayBeVisible = false; // satellite above 0 deg while the sun is below -10 deg

    bool operator==(const SatelliteState&) const = default;
};

} // namespace aostrack
