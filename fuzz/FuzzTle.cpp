// Two-line element files: the reader as a local file and as a download, the
// checks, and the engine fed with every set the reader keeps.
#include "orbit/ElementCheck.h"
#include "orbit/Engine.h"
#include "orbit/Tle.h"

#include <cstdint>
#include <sstream>
#include <string>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const TleSource source : { TleSource::LocalFile, TleSource::Download }) {
        std::istringstream in(text);
        TleLoad load;
        try {
            load = ReadTle(in, "fuzz", source);
        } catch (const TleFileError&) {
            continue; // JSON or XML: refused here, read by the catalogue loader
        }
        for (const TleRecordIssue& issue : load.Refused)
            (void)DescribeTleIssue("fuzz", issue);
        const int propagated = load.SatCount < 8 ? load.SatCount : 8;
        for (int index = 1; index <= propagated; ++index) {
            const ElementSet elements = SelectSatellite(load.Table, index);
            if (CheckElementSet(elements))
                continue; // a bare name: nothing the engine is given
            // The engine must take every set the reader keeps, at its epoch
            // and far from it, without undefined behaviour.
            const OrbitModel model(elements, Station { 48.1, 11.6, 0.5 });
            for (const long long unixSeconds : { 0LL, 1707700000LL, 4102444800LL })
                (void)model.Compute(
                    std::chrono::sys_seconds { std::chrono::seconds { unixSeconds } });
        }
    }
    return 0;
}
