#include "core/StateFields.h"

namespace aostrack {

std::vector<StateField> SatelliteStateFields(
    const QString& name, int catalogNumber, const SatelliteState& s)
{
    const auto text = [](std::string_view view) {
        return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
    };
    return {
        { QStringLiteral("Name"), name },
        { QStringLiteral("CatalogNumber"), catalogNumber },
        { QStringLiteral("SatAzimuth"), s.SatAzimuth },
        { QStringLiteral("SatElevation"), s.SatElevation },
        { QStringLiteral("SatRange"), s.SatRange },
        { QStringLiteral("RangeRate"), s.RangeRate },
        { QStringLiteral("SubSatLat"), s.SubSatLat },
        { QStringLiteral("SubSatLon"), s.SubSatLon },
        { QStringLiteral("PathLoss"), s.PathLoss },
        { QStringLiteral("DayFraction"), s.DayFraction },
        { QStringLiteral("MeanAnomaly"), s.MeanAnomaly },
        { QStringLiteral("MAPhase"), s.MAPhase },
        { QStringLiteral("OrbitNumber"), s.OrbitNumber },
        { QStringLiteral("SatHeight"), s.SatHeight },
        { QStringLiteral("SunAngle"), s.SunAngle },
        { QStringLiteral("Illumination"), s.Illumination },
        { QStringLiteral("IlluminationText"), text(s.IlluminationText) },
        { QStringLiteral("SunElevation"), s.SunElevation },
        { QStringLiteral("InEclipse"), s.InEclipse },
        { QStringLiteral("MayBeVisible"), s.MayBeVisible },
    };
}

} // namespace aostrack
