// The rotor's serial settings ("9600,n,8,1"), as ROTOR_PORT_SETTINGS gives them.
#include "rotor/SerialSettings.h"

#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text
        = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)ParseSerialSettings(text).Error();
    (void)ParseSerialSettings(
        QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)))
        .Ok();
    return 0;
}
