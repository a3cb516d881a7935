// OMM element data as CSV, JSON and XML: the catalogue loader with every
// form detected from the content, the writers fed with every record it keeps,
// and the engine with a few of them.
#include "core/ElementFile.h"
#include "orbit/Engine.h"
#include "orbit/Omm.h"

#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const TleSource source : { TleSource::LocalFile, TleSource::Download }) {
        TleLoad load;
        try {
            load = ReadElementData(bytes, "fuzz", source);
        } catch (const TleFileError&) {
            continue; // JSON or XML that does not parse: refused whole
        }
        for (const TleRecordIssue& issue : load.Refused)
            (void)DescribeTleIssue("fuzz", issue);
        std::vector<SatRecord> records;
        for (int index = 1; index <= load.SatCount && index <= 8; ++index) {
            const SatRecord& record = load.Table.Record(index);
            (void)ShownLines(record);
            if (!record.HasElementSet())
                continue;
            records.push_back(record);
            // Every kept record passed CheckElementSet: the engine must take it.
            const OrbitModel model(record.Elements, Station { 48.1, 11.6, 0.5 });
            (void)model.Compute(std::chrono::sys_seconds { std::chrono::seconds { 1789000000 } });
        }
        // What was read must write and read back in every form.
        for (const ElementFormat format :
            { ElementFormat::Tle, ElementFormat::Csv, ElementFormat::Json, ElementFormat::Xml })
            (void)ReadElementData(WriteElementData(records, format).Data, "written");
    }
    return 0;
}
