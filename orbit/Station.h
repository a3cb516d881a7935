#pragma once
// The ground station as the orbit engine sees it.

namespace aostrack {

struct Station {
    double StationLat = 0; // degrees, north positive (geodetic)
    double StationLon = 0; // degrees, east positive, west negative
    double StationHeight = 0; // km above the ellipsoid (QTH_HEIGHT is taken as km)
    bool operator==(const Station&) const = default;
};

// Direction of the satellite's antenna axis in the orbit-plane frame. Both 0
// (the axis along the line from perigee to apogee) unless set otherwise.
struct Attitude {
    double AttitudeLon = 0; // degrees
    double AttitudeLat = 0; // degrees
    bool operator==(const Attitude&) const = default;
};

} // namespace aostrack
