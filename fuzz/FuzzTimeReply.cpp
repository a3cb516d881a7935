// RFC 868 replies and the TIMESERVER text: decoding, the logged hex dump and
// the server address.
#include "clock/TimeProtocol.h"

#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)HexDump(reply);
    if (const auto decoded = DecodeTimeReply(reply))
        (void)DefaultValidTimeRange().Contains(decoded->SyncedDate);
    (void)ParseTimeServer(QString::fromUtf8(reply));
    return 0;
}
