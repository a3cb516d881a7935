#pragma once
// The SatNOGS DB transmitter list (TRANSMITTERS=, /api/transmitters/?format=json):
// a JSON array of objects, frequencies in Hz or null. The operator's own rows
// (TRANSMITTERS_LOCAL=) come in the same form and replace imported rows by
// uuid, so local edits survive every update of the imported file.
#include "core/Result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace aostrack {

struct Transmitter {
    QString Uuid;
    QString Description;
    QString Type; // "Transmitter", "Transceiver", "Transponder"
    QString Mode; // downlink mode as listed: "FM", "USB", "CW", "BPSK", ...
    QString UplinkMode;
    QString Status; // "active", "inactive", "invalid"
    bool Alive = false;
    bool Invert = false;
    std::optional<double> UplinkLowHz;
    std::optional<double> UplinkHighHz;
    std::optional<double> DownlinkLowHz;
    std::optional<double> DownlinkHighHz;
    std::optional<double> Baud;
    // The satellite the row belongs to: norad_follow_id when set (objects
    // still under a provisional number), else norad_cat_id.
    int CatalogNumber = 0;
    int ListedCatalogNumber = 0; // norad_cat_id as listed
    // A CTCSS tone named in the description ("FM Voice CTCSS 67.0 Hz"); the
    // list has no field of its own for it.
    std::optional<double> ToneHz;

    bool operator==(const Transmitter&) const = default;
};

struct TransmitterList {
    QList<Transmitter> Rows; // in file order
    int SkippedByStatus = 0; // rows left out for a status other than "active"
    int SkippedDamaged = 0; // array members that are not objects with a uuid
};

// Reads a transmitter list. Rows whose status is not "active" are left out
// unless allStatuses. Older dumps (no norad_follow_id, other extra fields)
// read the same. An unreadable or damaged file fails with
// "<path>: <reason>" (the JSON parser's reason and byte offset).
Result<TransmitterList> ReadTransmitterList(const QString& path, bool allStatuses = false);

// imported with local laid over it: a local row with an imported row's uuid
// takes its place, other local rows are added at the end.
TransmitterList MergeLocalTransmitters(TransmitterList imported, const TransmitterList& local);

// Rows of doppler.sql (key,downlink kHz,uplink kHz,mode,tone Hz,remark) as
// single-frequency transmitters without a uuid, for satellites that no
// transmitter row covers: an uplink or tone of 0 is none. Rows whose uplink
// or tone is not a number keep their downlink alone.
QList<Transmitter> TransmittersFromFrequencyRows(const QStringList& rows, int catalogNumber);

// The rows of one satellite, transponders first, otherwise in list order.
QList<Transmitter> TransmittersOf(const TransmitterList& list, int catalogNumber);

} // namespace aostrack
