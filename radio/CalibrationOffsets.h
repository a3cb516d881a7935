#pragma once
// Per-satellite calibration offsets of the transceiver (the radio's
// frequency error and the satellite's drift), kept in offsets.ini beside
// sat.ini: one "CATALOGUE_NUMBER=RX_HZ,TX_HZ" line per satellite. The file is
// written only when the operator changes an offset.
#include "core/Result.h"

#include <QMap>
#include <QString>

namespace aostrack {

struct CalibrationOffsets {
    double RxHz = 0;
    double TxHz = 0;
    bool operator==(const CalibrationOffsets&) const = default;
};

using OffsetTable = QMap<int, CalibrationOffsets>;

// offsets.ini in the folder of sat.ini.
QString OffsetsPathFor(const QString& iniPath);

// The table; a missing file is an empty one. A damaged line fails with
// "<path> line N: <why>".
Result<OffsetTable> ReadOffsets(const QString& path);

// Sets one satellite's offsets and writes the whole file (in one step), but
// only when they differ from what the file holds.
Result<void> StoreOffsets(
    const QString& path, int catalogNumber, const CalibrationOffsets& offsets);

} // namespace aostrack
