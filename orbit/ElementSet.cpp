#include "orbit/ElementSet.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace aostrack {

namespace {
void CheckIndex(int index)
{
    if (index < 1 || index > SatTable::Capacity)
        throw std::out_of_range("satellite record " + std::to_string(index) + " outside 1.."
            + std::to_string(SatTable::Capacity));
}
} // namespace

const SatRecord& SatTable::Record(int index) const
{
    CheckIndex(index);
    static const SatRecord empty;
    if (index > SatCount())
        return empty;
    return m_records[static_cast<std::size_t>(index - 1)];
}

std::vector<std::string> SatTable::Names() const
{
    std::vector<std::string> names;
    names.reserve(m_records.size());
    for (const SatRecord& r : m_records)
        names.push_back(r.SatName);
    return names;
}

void SatTable::Reserve(int count)
{
    m_records.reserve(static_cast<std::size_t>(std::clamp(count, 0, Capacity)));
}

bool SatTable::Append(SatRecord record)
{
    if (SatCount() >= Capacity)
        return false;
    m_records.push_back(std::move(record));
    return true;
}

ElementSet SelectSatellite(const SatTable& table, int index)
{
    return table.Record(index).Elements;
}

} // namespace aostrack
