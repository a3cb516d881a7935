#include "orbit/Engine.h"

namespace aostrack {

// placeholder until the engine lands
SatelliteState ComputeSatellite(const ElementSet& elements, const Station& station,
                                std::chrono::sys_seconds instant, double tunedFreqKHz,
                                const Attitude& attitude)
{
    return OrbitModel(elements, station, attitude).Compute(instant, tunedFreqKHz);
}

double SolveKepler(double meanAnomaly, double) { return meanAnomaly; }

struct OrbitModel::Orbit {};

OrbitModel::OrbitModel(const ElementSet& elements, const Station& station, const Attitude& attitude)
    : m_el(elements), m_station(station), m_attitude(attitude)
{
}

SatelliteState OrbitModel::Compute(std::chrono::sys_seconds, double) const { return {}; }
OrbitModel::Horizon OrbitModel::Look(std::chrono::sys_seconds) const { return {}; }
double OrbitModel::MaxEarthFixedSpeed(double, double) const { return 0; }
void OrbitModel::Propagate(std::chrono::sys_seconds, Orbit&) const {}

} // namespace aostrack
