#pragma once
// The one error type of the orbit engine.
#include <stdexcept>

namespace aostrack {

// An element set the model cannot propagate: mean motion not above 0 (also
// the all-zero set before any selection), eccentricity outside 0..1, or a set
// that SGP4 refuses (see Sgp4Error).
class OrbitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace aostrack
