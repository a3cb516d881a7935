// sat.ini: the decoding of its bytes and every key's reading.
#include "core/Configuration.h"

#include <QByteArray>
#include <cstdint>

using namespace aostrack;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = DecodeSettingsText(bytes);
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::German, QLocale::Germany) }) {
        try {
            const Configuration config
                = ParseConfiguration(text, QStringLiteral("/station"), locale);
            (void)RotorLogLine(config);
            (void)RotorDevicePath(config);
            (void)QthText(config, locale);
            (void)ParkModeText(config);
        } catch (const StartupError&) {
            // a refused file is a result, not a finding
        }
    }
    return 0;
}
