#pragma once
// Orbit Mean-Elements Messages (OMM): the keys of one record, the one
// conversion of a record's fields into a satellite-table record (every reader,
// CSV, JSON or XML, goes through it), the way back for the writers, and the
// two-line texts a set would have.
#include "orbit/ElementSet.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace aostrack {

// The keys of a record, in the order of the GP service's CSV header.
enum class OmmKey : std::size_t {
    ObjectName,
    ObjectId,
    Epoch,
    MeanMotion,
    Eccentricity,
    Inclination,
    RaOfAscNode,
    ArgOfPericenter,
    MeanAnomaly,
    EphemerisType,
    ClassificationType,
    NoradCatId,
    ElementSetNo,
    RevAtEpoch,
    Bstar,
    MeanMotionDot,
    MeanMotionDdot,
};
inline constexpr std::size_t OmmKeyCount = 17;
inline constexpr std::array<std::string_view, OmmKeyCount> OmmKeyNames = {
    "OBJECT_NAME",
    "OBJECT_ID",
    "EPOCH",
    "MEAN_MOTION",
    "ECCENTRICITY",
    "INCLINATION",
    "RA_OF_ASC_NODE",
    "ARG_OF_PERICENTER",
    "MEAN_ANOMALY",
    "EPHEMERIS_TYPE",
    "CLASSIFICATION_TYPE",
    "NORAD_CAT_ID",
    "ELEMENT_SET_NO",
    "REV_AT_EPOCH",
    "BSTAR",
    "MEAN_MOTION_DOT",
    "MEAN_MOTION_DDOT",
};
std::string_view OmmKeyName(OmmKey key);
std::optional<OmmKey> OmmKeyFromName(std::string_view name);

// The texts of one record by key; a key the record does not give is unset.
// A reader whose format carries numbers as numbers (JSON) may put them in
// Numbers instead of writing them out as text; they are checked the same way.
struct OmmFields {
    std::array<std::optional<std::string>, OmmKeyCount> Values;
    std::array<std::optional<double>, OmmKeyCount> Numbers;

    std::optional<std::string>& operator[](OmmKey key)
    {
        return Values[static_cast<std::size_t>(key)];
    }
    const std::optional<std::string>& operator[](OmmKey key) const
    {
        return Values[static_cast<std::size_t>(key)];
    }
    bool operator==(const OmmFields&) const = default;
};

// Why a record was not taken: the field and the reason.
struct OmmFault {
    std::string Field;
    std::string Reason;
    bool operator==(const OmmFault&) const = default;
};

// A record's fields as a satellite-table record, or the first fault. Numbers
// are read with a full stop and must be whole texts (".5696261E-4",
// "-.37E-6"); EPOCH is ISO 8601 UTC with up to six decimals of the second
// and a year 2000 to 2099 (the two-digit epoch year of the engine);
// NORAD_CAT_ID is a whole number 1 to 999999999. Missing optional fields
// take their two-line defaults (element set 999, class U, no drag terms).
struct OmmConversion {
    std::optional<SatRecord> Record;
    OmmFault Fault; // meaningful when Record is unset
};
OmmConversion SatRecordFromOmm(const OmmFields& fields);

// The fields of any record (also one read from a two-line file) for writing;
// numbers in their shortest exact form, EPOCH with microseconds.
OmmFields OmmFromSatRecord(const SatRecord& record);

// "2026-09-20T15:17:44.590560" as the epoch form YYDDD.DDDDDDDD; nothing
// for a malformed text or a year outside 2000..2099.
std::optional<double> EpochFromIso(std::string_view text);
// The epoch form back as ISO 8601 with microseconds (no zone letter).
std::string IsoFromEpoch(double epoch);

// A satellite's name as one line of a list: control characters (line
// breaks, tabs, NUL) become blanks, blanks at either end go.
std::string OneLineName(std::string_view name);

// "1998-067A" from the two-line designator "98067A" (years 57..99 are 19xx).
std::string IntlDesignatorFromTle(std::string_view columns);

// The records of several downloads as one catalogue: one record per
// catalogue number, the newest epoch winning, in the order in which the
// numbers first appear. Records without a number (0) are all kept.
std::vector<SatRecord> MergeByCatalogNumber(const std::vector<SatRecord>& records);

// The two element lines of the record as a two-line file writes them, with
// checksums, Alpha-5 up to 339999; nothing above 339999.
std::optional<std::pair<std::string, std::string>> FormatTleLines(const SatRecord& record);

// The two texts shown for a record where element lines stand: a two-line
// record's lines as read; for an OMM record the lines it would have, or above
// 339999 one line with number, designator and epoch (and an empty second).
// Worked out when shown, not for each of 15000 records at loading.
std::pair<std::string, std::string> ShownLines(const SatRecord& record);

} // namespace aostrack
