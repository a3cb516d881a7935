#include "orbit/ElementSet.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace aostrack {

namespace {
void CheckIndex(int index, int count)
{
    const int last = std::max(SatTable::ListCapacity, count);
    if (index < 1 || index > last)
        throw std::out_of_range(
            "satellite record " + std::to_string(index) + " outside 1.." + std::to_string(last));
}
} // namespace

const SatRecord& SatTable::Record(int index) const
{
    CheckIndex(index, SatCount());
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
    // The count is the caller's guess from the text (lines, array entries);
    // a hostile file of empty lines must not reserve gigabytes, so beyond
    // the public catalogue's size the table grows as records arrive.
    constexpr int guessLimit = 65536;
    m_records.reserve(static_cast<std::size_t>(std::clamp(count, 0, guessLimit)));
}

void SatTable::Append(SatRecord record)
{
    m_records.push_back(std::move(record));
}

ElementSet SelectSatellite(const SatTable& table, int index)
{
    return table.Record(index).Elements;
}

} // namespace aostrack
