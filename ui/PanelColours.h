#pragma once
// The data panel's field colours, shared by the layout and the tracker view.
#include <QColor>

namespace aostrack {

// Background of the value fields.
inline const QColor PanelGrey(224, 224, 224);
// Background of azimuth and elevation while the satellite is above the horizon.
inline const QColor AboveHorizonGreen(0, 255, 0);

} // namespace aostrack
