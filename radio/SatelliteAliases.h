#pragma once
// Other names operators know satellites by ("QO-100" for ES'HAIL 2), taken
// from the station's own data so that --sat finds them.
#include <QList>
#include <QString>

namespace aostrack {

// One more name and the satellites it stands for: those whose name holds
// NamePart, as frequency rows find theirs. A list that names satellites by
// catalogue number (a transmitter list) gives the name of that number's set.
struct SatelliteAlias {
    QString Alias; // "QO-100"
    QString NamePart; // "ES'HAIL 2"

    bool operator==(const SatelliteAlias&) const = default;
};

// The amateur designators ("QO-100", "SO-50", "RS-44": letters, a hyphen,
// a number) that the remarks (field 6) of the frequency database at path
// give a row's satellite, each with the row's key (field 1); designators the
// key already holds are left out. An unreadable file or an empty path gives
// none: aliases are a help, never a reason to stop.
QList<SatelliteAlias> ReadFrequencyAliases(const QString& path);

} // namespace aostrack
