#pragma once
// The land of the world map on disk (data/land-50m.bin, Natural Earth 1:50m):
// where the program finds it and reading it.
#include "core/Result.h"
#include "passes/MapGeometry.h"

#include <QString>

namespace aostrack {

inline constexpr const char* LandFileName = "land-50m.bin";

// The land file beside the program (the build copies it there), else in
// ../share/aostrack/ from the program's folder (an installed program); the
// first of these paths when neither exists.
QString FindLandFile(const QString& appDir);

// The whole file decoded; a failure names the file and says why.
Result<LandData> LoadLandFile(const QString& path);

} // namespace aostrack
