// Downloaded pages: every check a page passes before it may replace the TLE
// file, with and without a length from the server.
#include "update/ElementText.h"

#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)PageBytesFault(body, true);
    (void)PageBytesFault(body, false);
    const QString text = RemovePreTags(DecodePage(body).toUpper());
    (void)HoldsElementLines(text);
    (void)IsBlankText(text);
    (void)CountCompleteElementSets(text);
    (void)ElementRecordsFault(text);
    (void)JoinPageText(text, text);
    return 0;
}
