// OMM element data as CSV, JSON and XML: the catalogue loader with every
// form detected from the content, the writers fed with every record it keeps
// (each form must read back as itself, whole), and the engine with a few.
#include "core/ElementFile.h"
#include "orbit/Engine.h"
#include "orbit/Omm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace aostrack;

namespace {

[[noreturn]] void Finding(const char* what, const char* detail)
{
    std::fprintf(stderr, "omm fuzz: %s\n%s\n", what, detail);
    std::abort();
}

} // namespace

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
        // What was read must write in every form and read back as that form,
        // every record written, none refused, in the same order.
        for (const ElementFormat format :
            { ElementFormat::Tle, ElementFormat::Csv, ElementFormat::Json, ElementFormat::Xml }) {
            const ElementWrite written = WriteElementData(records, format);
            TleLoad back;
            try {
                back = ReadElementData(written.Data, "written");
            } catch (const TleFileError& error) {
                Finding("the program's own output cannot be read", error.what());
            }
            if (back.Format != format)
                Finding("written in one form, read as another", written.Data.constData());
            if (!back.Refused.empty())
                Finding("a written record is refused",
                    DescribeTleIssue("written", back.Refused.front()).c_str());
            std::vector<int> numbers;
            for (const SatRecord& record : records) {
                if (format != ElementFormat::Tle || FormatTleLines(record))
                    numbers.push_back(record.Elements.CatalogNumber);
            }
            if (back.SatCount != static_cast<int>(numbers.size()))
                Finding("records lost or gained on the way back", written.Data.constData());
            for (int index = 1; index <= back.SatCount; ++index) {
                if (back.Table.Record(index).Elements.CatalogNumber
                    != numbers[static_cast<std::size_t>(index - 1)])
                    Finding("records changed places on the way back", written.Data.constData());
            }
        }
    }
    return 0;
}
