#pragma once
// Element sets as read from a two-line element file, the satellite table that
// holds every set of the loaded file, and the selection of the current set.
#include <string>
#include <vector>

namespace aostrack {

// The nine numbers of one element set that the orbit engine propagates, and
// which object they describe. All zero until a satellite has been selected.
struct ElementSet {
    double Epoch = 0; // YYDDD.DDDDDDDD, UT; the year is 2000 + YY
    double Inclination = 0; // degrees
    double RAAN = 0; // right ascension of the ascending node, degrees
    double Eccentricity = 0; // 0 to below 1
    double ArgPerigee = 0; // argument of perigee, degrees
    double EpochMeanAnomaly = 0; // mean anomaly at epoch, degrees
    double MeanMotion = 0; // revolutions per day
    double Decay = 0; // first derivative of the mean motion as written, rev/day^2
    double EpochRev = 0; // revolution number at epoch
    double BStar = 0; // SGP4 drag term, 1/earth radii (Plan13 does not use it)
    int CatalogNumber = 0; // NORAD catalogue number, up to 9 digits; 0 when unknown
    std::string IntlDesignator; // international designator "1998-067A"; empty when unknown
    bool operator==(const ElementSet&) const = default;
};

// The rest of a two-line set that the model does not use but that another
// program reading our converted files needs.
struct ElementExtras {
    char Classification = 'U'; // U unclassified
    int EphemerisType = 0; // 0: SGP4/SDP4 mean elements
    int ElementSetNo = 999; // element set number as the source counts them
    double MeanMotionDdot = 0; // second derivative of the mean motion / 6, rev/day^3
    bool operator==(const ElementExtras&) const = default;
};

// One record of the satellite table: the lines exactly as read, the trimmed
// name and the numbers taken from the element lines. A record read from OMM
// data has no lines (ShownLines of orbit/Omm.h gives the texts to show).
struct SatRecord {
    std::string Line1;
    std::string Line2;
    std::string SatName;
    ElementSet Elements;
    ElementExtras Extras;
    bool FromOmm = false; // read from CSV, JSON or XML: always a whole set

    // The record can be propagated: an OMM record, or both element lines read.
    bool HasElementSet() const { return FromOmm || (!Line1.empty() && !Line2.empty()); }
    bool operator==(const SatRecord&) const = default;
};

// The satellite table: records numbered from 1 (not from 0), as many as the
// file holds. Records 1..ListCapacity that the last load did not fill read as
// empty (zeros and empty texts).
class SatTable {
public:
    // The window's satellite list shows the first ListCapacity records (it
    // says how many it left out); everything else takes every record.
    static constexpr int ListCapacity = 15000;

    // Number of records the load filled (= name lines read).
    int SatCount() const { return static_cast<int>(m_records.size()); }
    // Record 1..max(ListCapacity, SatCount); throws std::out_of_range outside.
    const SatRecord& Record(int index) const;
    // Names of records 1..SatCount in file order (list position p is record p + 1).
    std::vector<std::string> Names() const;

    // Used by the reader: room for about count records ahead of a load.
    void Reserve(int count);
    // Used by the reader: appends a record.
    void Append(SatRecord record);
    // Used by the reader: the last appended record (precondition: SatCount() > 0).
    SatRecord& Last() { return m_records.back(); }
    // Used by the reader: drops the last appended record (a refused one).
    void RemoveLast() { m_records.pop_back(); }

    bool operator==(const SatTable&) const = default;

private:
    std::vector<SatRecord> m_records;
};

// `CurrentElements` of record index of the table (as Record).
ElementSet SelectSatellite(const SatTable& table, int index);

} // namespace aostrack
